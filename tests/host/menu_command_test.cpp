// The track context menu through the real host program: listing the quick-tag
// commands and running them, with the results kept across sessions.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "host/core/profile.h"
#include "sdk/guid.h"
#include "support/run_host.h"

namespace {

const GUID storage_method_setting = {
    0x59C51906, 0x7C93, 0x44C9, {0x82, 0x00, 0x78, 0xF5, 0xA1, 0x6A, 0x72, 0x5A}};
// The text-file method, which keeps its file in the profile.
const GUID text_storage = {
    0x55F4AA48, 0x445B, 0x4CD1, {0xB4, 0x9B, 0x97, 0xB2, 0xA9, 0x4B, 0x3B, 0x96}};

// A profile whose settings choose the text-file storage, as if the user
// had picked it on the preferences page.
void choose_storage(const temp_directory& profile) {
    std::vector<uint8_t> record(16);
    guid_to_bytes(storage_method_setting, record.data());
    record.insert(record.end(), {16, 0, 0, 0});
    uint8_t method[16];
    guid_to_bytes(text_storage, method);
    record.insert(record.end(), method, method + 16);
    std::filesystem::create_directories(profile.file("configuration"));
    write_file_atomically(profile.file("configuration/snr_tagshelf.cfg"), record);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        found.push_back(line);
    return found;
}

TEST(MenuCommand, FreshProfileHasNoCommandsUntilAStorageIsChosen) {
    temp_directory profile;
    auto listed = run_host({"--profile", profile.path(), "menu", "list"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "");
}

TEST(MenuCommand, ListShowsPathNameDescriptionAndGuidOfEveryCommand) {
    temp_directory profile;
    choose_storage(profile);
    auto listed = run_host({"--profile", profile.path(), "menu", "list"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    auto rows = lines(listed.out);
    ASSERT_EQ(rows.size(), 8u) << listed.out;
    const std::regex row(
        R"(([^\t]+)\t([^\t]*)\t(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}))");
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(rows[0], parts, row)) << rows[0];
    EXPECT_EQ(parts[1], "Tag Shelf/Rate 5");
    EXPECT_EQ(parts[2], "RATING=5");
    ASSERT_TRUE(std::regex_match(rows[7], parts, row)) << rows[7];
    EXPECT_EQ(parts[1], "Tag Shelf/Rate -1");
    EXPECT_EQ(parts[2], "RATING=$sub(%RATING%,1)");

    auto again = run_host({"--profile", profile.path(), "menu", "list"});
    EXPECT_EQ(again.out, listed.out) << "command GUIDs are stable across sessions";
}

TEST(MenuCommand, UnknownCommandIsAClearError) {
    temp_directory profile;
    choose_storage(profile);
    auto run = run_host({"--profile", profile.path(), "menu", "run", "Tag Shelf/Rate 9", "a.mp3"});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("no context-menu command 'Tag Shelf/Rate 9'"), std::string::npos)
        << run.err;
}

TEST(MenuCommand, CommandsListedUnderOneNameAreToldApartAndReachedByTheirGuid) {
    temp_directory profile;
    choose_storage(profile);
    const std::string track = "/music/a.mp3";
    // Two commands of the user's own: "Rate" at the top level, and "/Rate", whose
    // empty menu path lists it under the same name.
    auto made = run_host({"--profile", profile.path(), "shell"},
                         "library add " + track +
                             "\n"
                             "prefs tab 1\n"
                             "prefs click 1026\nprefs type 1008 Rate\n"
                             "prefs type 1006 FIRST\nprefs type 1007 one\n"
                             "prefs click 1026\nprefs type 1008 /Rate\n"
                             "prefs type 1006 SECOND\nprefs type 1007 two\n");
    ASSERT_EQ(made.status, 0) << made.err;
    std::vector<std::string> guids;
    for (const auto& row : lines(run_host({"--profile", profile.path(), "menu", "list"}).out)) {
        if (row.rfind("Rate\t", 0) == 0)
            guids.push_back(row.substr(row.rfind('\t') + 1));
    }
    ASSERT_EQ(guids.size(), 2u) << "both are listed as Rate";
    ASSERT_NE(guids[0], guids[1]);

    auto first = run_host({"--profile", profile.path(), "menu", "run", "Rate", track});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.err.find("2 commands are called 'Rate'; ran the first, " + guids[0]),
              std::string::npos)
        << first.err;
    auto second = run_host({"--profile", profile.path(), "menu", "run", guids[1], track});
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.err, "") << "a GUID names one command";
    auto fields = run_host({"--profile", profile.path(), "fields", "list", track});
    EXPECT_EQ(fields.out, "FIRST=one\nSECOND=two\n");
}

TEST(MenuCommand, RatingSetFromTheMenuIsThereInTheNextSession) {
    temp_directory profile;
    choose_storage(profile);
    // Entries of tracks outside the media library are pruned at every start.
    run_host({"--profile", profile.path(), "library", "add", "/music/a.mp3", "/music/b.flac#1"});
    auto rated = run_host({"--profile", profile.path(), "menu", "run", "Tag Shelf/Rate 3",
                           "/music/a.mp3", "/music/b.flac#1"});
    ASSERT_EQ(rated.status, 0) << rated.err;
    for (const char* track : {"/music/a.mp3", "/music/b.flac#1"}) {
        auto read = run_host({"--profile", profile.path(), "fields", "get", track, "RATING"});
        EXPECT_EQ(read.out, "3\n") << track << ": " << read.err;
    }
}

TEST(MenuCommand, RatePlusOneTwiceOnATrackRatedThreeGivesFive) {
    temp_directory profile;
    choose_storage(profile);
    const std::string track = "/music/a.mp3";
    run_host({"--profile", profile.path(), "library", "add", track});
    auto rated = run_host({"--profile", profile.path(), "menu", "run", "Tag Shelf/Rate 3", track});
    ASSERT_EQ(rated.status, 0) << rated.err;
    for (int i = 0; i < 2; ++i) {
        auto raised =
            run_host({"--profile", profile.path(), "menu", "run", "Tag Shelf/Rate +1", track});
        ASSERT_EQ(raised.status, 0) << raised.err;
    }
    auto read = run_host({"--profile", profile.path(), "format", "%RATING%", track});
    EXPECT_EQ(read.out, "5\n") << read.err;
}

}  // namespace
