// The host's file operations: done on disk, and followed by the media library.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/run_host.h"

namespace fs = std::filesystem;

namespace {

void touch(const std::string& path) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "audio";
}

TEST(FileCommand, MovedFileStaysInTheLibraryUnderItsNewPathWithEverySubsong) {
    temp_directory dir;
    touch(dir.file("old/a.flac"));
    run_host({"--profile", dir.file("profile"), "library", "add", dir.file("old/a.flac"),
              dir.file("old/a.flac#1"), dir.file("keep.mp3")});
    auto moved = run_host({"--profile", dir.file("profile"), "file", "move", dir.file("old/a.flac"),
                           dir.file("new/b.flac")});
    ASSERT_EQ(moved.status, 0) << moved.err;
    EXPECT_TRUE(fs::exists(dir.file("new/b.flac")));
    EXPECT_FALSE(fs::exists(dir.file("old/a.flac")));
    auto listed = run_host({"--profile", dir.file("profile"), "library", "list"});
    EXPECT_EQ(listed.out, dir.file("new/b.flac") + "\n" + dir.file("new/b.flac") + "#1\n" +
                              dir.file("keep.mp3") + "\n");
}

TEST(FileCommand, MovingAFolderMovesEveryFileUnderIt) {
    temp_directory dir;
    touch(dir.file("album/1.mp3"));
    touch(dir.file("album/cd2/2.mp3"));
    run_host({"--profile", dir.file("profile"), "library", "add", dir.file("album/1.mp3"),
              dir.file("album/cd2/2.mp3")});
    auto moved = run_host(
        {"--profile", dir.file("profile"), "file", "move", dir.file("album"), dir.file("renamed")});
    ASSERT_EQ(moved.status, 0) << moved.err;
    EXPECT_NE(moved.out.find("moved 2 file(s)"), std::string::npos) << moved.out;
    auto listed = run_host({"--profile", dir.file("profile"), "library", "list"});
    EXPECT_EQ(listed.out, dir.file("renamed/1.mp3") + "\n" + dir.file("renamed/cd2/2.mp3") + "\n");
}

TEST(FileCommand, DeletedFileLeavesTheLibraryAndCopyIsNotAdded) {
    temp_directory dir;
    touch(dir.file("a.mp3"));
    touch(dir.file("b.mp3"));
    run_host(
        {"--profile", dir.file("profile"), "library", "add", dir.file("a.mp3"), dir.file("b.mp3")});
    auto copied = run_host(
        {"--profile", dir.file("profile"), "file", "copy", dir.file("b.mp3"), dir.file("c.mp3")});
    ASSERT_EQ(copied.status, 0) << copied.err;
    EXPECT_TRUE(fs::exists(dir.file("c.mp3")));
    auto deleted =
        run_host({"--profile", dir.file("profile"), "file", "delete", dir.file("a.mp3")});
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_FALSE(fs::exists(dir.file("a.mp3")));
    auto listed = run_host({"--profile", dir.file("profile"), "library", "list"});
    EXPECT_EQ(listed.out, dir.file("b.mp3") + "\n");
}

TEST(FileCommand, SourceThatDoesNotExistIsOnlyAnnouncedAndSaysSo) {
    temp_directory dir;
    touch(dir.file("real.mp3"));
    struct row {
        std::vector<std::string> command;
        const char* printed;
    };
    const row rows[] = {
        {{"file", "move", dir.file("typo.mp3"), dir.file("b.mp3")},
         "no such file; sent the move notification for 1 path\n"},
        {{"file", "copy", dir.file("typo.mp3"), dir.file("c.mp3")},
         "no such file; sent the copy notification for 1 path\n"},
        {{"file", "delete", dir.file("typo.mp3")},
         "no such file; sent the delete notification for 1 path\n"},
        {{"file", "copy", dir.file("real.mp3"), dir.file("d.mp3")}, "copied 1 file(s)\n"},
        {{"file", "move", dir.file("d.mp3"), dir.file("e.mp3")}, "moved 1 file(s)\n"},
        {{"file", "delete", dir.file("e.mp3")}, "deleted 1 file(s)\n"},
    };
    for (const auto& r : rows) {
        std::vector<std::string> args = {"--profile", dir.file("profile")};
        args.insert(args.end(), r.command.begin(), r.command.end());
        auto result = run_host(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, r.printed) << r.command[1];
    }
    EXPECT_FALSE(fs::exists(dir.file("b.mp3")));
    EXPECT_FALSE(fs::exists(dir.file("c.mp3")));
}

TEST(FileCommand, MissingArgumentsAreAUsageError) {
    temp_directory dir;
    auto result = run_host({"--profile", dir.path(), "file", "move", "only-one"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: sonarith-host file move SRC DST"), std::string::npos);
}

}  // namespace
