// The host's media library, driven through the real host program.
#include <gtest/gtest.h>

#include "support/run_host.h"

namespace {

TEST(LibraryCommand, AddedTracksAreListedInALaterSession) {
    temp_directory profile;
    auto added = run_host(
        {"--profile", profile.path(), "library", "add", "/music/a.mp3", "/music/b.flac#2"});
    ASSERT_EQ(added.status, 0) << added.err;
    auto listed = run_host({"--profile", profile.path(), "library", "list"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "/music/a.mp3\n/music/b.flac#2\n");
}

TEST(LibraryCommand, RemovedTrackLeavesTheLibrary) {
    temp_directory profile;
    run_host({"--profile", profile.path(), "library", "add", "/music/a.mp3", "/music/c.mp3"});
    auto removed = run_host({"--profile", profile.path(), "library", "remove", "/music/A.MP3"});
    EXPECT_EQ(removed.status, 0) << "paths compare without regard to case: " << removed.err;
    auto listed = run_host({"--profile", profile.path(), "library", "list"});
    EXPECT_EQ(listed.out, "/music/c.mp3\n");
}

TEST(LibraryCommand, MissingArgumentsAreAUsageError) {
    temp_directory profile;
    auto result = run_host({"--profile", profile.path(), "library", "add"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: sonarith-host library add TRACK..."), std::string::npos)
        << result.err;
}

TEST(LibraryCommand, UnknownCommandIsReportedNotCrashed) {
    temp_directory profile;
    auto result = run_host({"--profile", profile.path(), "frobnicate"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("unknown command 'frobnicate'"), std::string::npos) << result.err;
}

}  // namespace
