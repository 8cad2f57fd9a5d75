// The fields commands of the host program: fields stored through the public
// service survive a restart of the host with each storage method.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "host/core/profile.h"
#include "sdk/guid.h"
#include "support/run_host.h"

namespace {

constexpr GUID cfg_storage_method_guid = {
    0x59C51906, 0x7C93, 0x44C9, {0x82, 0x00, 0x78, 0xF5, 0xA1, 0x6A, 0x72, 0x5A}};

// Writes a settings file that selects `method`, as the preferences would have.
void configure_storage_method(const temp_directory& profile, const GUID& method) {
    std::string record(36, '\0');
    guid_to_bytes(cfg_storage_method_guid, reinterpret_cast<uint8_t*>(record.data()));
    record[16] = 16;
    guid_to_bytes(method, reinterpret_cast<uint8_t*>(record.data() + 20));
    std::filesystem::create_directories(profile.file("configuration"));
    write_file_atomically(profile.file("configuration/snr_tagshelf.cfg"), record);
}

struct method_row {
    const char* name;
    GUID guid;
};

const method_row methods[] = {
    {"config file", {0x99F8068B, 0x28CF, 0x4C3C, {0x81, 0xAB, 0x09, 0xD8, 0x46, 0x47, 0xA5, 0xF7}}},
    {"sqlite", {0x4D8C0737, 0x63D6, 0x40DD, {0x8C, 0xCD, 0x60, 0x6B, 0x3B, 0xBD, 0x49, 0x61}}},
    {"text file", {0x55F4AA48, 0x445B, 0x4CD1, {0xB4, 0x9B, 0x97, 0xB2, 0xA9, 0x4B, 0x3B, 0x96}}},
};

TEST(FieldsCommand, FieldsSurviveARestartWithEveryStorageMethod) {
    for (const auto& method : methods) {
        SCOPED_TRACE(method.name);
        temp_directory profile;
        configure_storage_method(profile, method.guid);
        const std::string song = profile.file("music/song.mp3");
        auto host = [&](std::vector<std::string> words) {
            words.insert(words.begin(), {"--profile", profile.path()});
            return run_host(words);
        };

        ASSERT_EQ(host({"library", "add", song}).status, 0);
        auto set = host({"fields", "set", song, "RATING", "5"});
        ASSERT_EQ(set.status, 0) << set.err;
        ASSERT_EQ(host({"fields", "add", song, "MOOD", "calm"}).status, 0);
        ASSERT_EQ(host({"fields", "add", song, "MOOD", "warm"}).status, 0);

        auto get = host({"fields", "get", song, "RATING"});
        EXPECT_EQ(get.status, 0) << get.err;
        EXPECT_EQ(get.out, "5\n");
        EXPECT_EQ(host({"fields", "get", song, "MOOD", "1"}).out, "warm\n");
        EXPECT_EQ(host({"fields", "list", song}).out, "RATING=5\nMOOD=calm\nMOOD=warm\n");

        auto missing = host({"fields", "get", song, "MOOD", "2"});
        EXPECT_EQ(missing.status, 1);
        EXPECT_EQ(missing.out, "");

        ASSERT_EQ(host({"fields", "remove", song, "MOOD"}).status, 0);
        EXPECT_EQ(host({"fields", "list", song}).out, "RATING=5\n");
        ASSERT_EQ(host({"fields", "remove", song}).status, 0);
        EXPECT_EQ(host({"fields", "get", song, "RATING"}).status, 1);
        EXPECT_EQ(host({"fields", "list", song}).out, "");
    }
}

TEST(FieldsCommand, WithoutAStorageTheCommandsSaySoAndFail) {
    temp_directory profile;
    for (const auto& words : std::vector<std::vector<std::string>>{
             {"fields", "get", "a.mp3", "RATING"},
             {"fields", "set", "a.mp3", "RATING", "5"},
             {"fields", "list", "a.mp3"},
             {"fields", "remove", "a.mp3"},
         }) {
        std::vector<std::string> args = {"--profile", profile.path()};
        args.insert(args.end(), words.begin(), words.end());
        auto run = run_host(args);
        EXPECT_EQ(run.status, 2) << words[1];
        EXPECT_NE(run.err.find("no tagshelf storage is active"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST(FieldsCommand, WritingRefreshesTheTrackAndListingNamesTracksWhenThereAreSeveral) {
    temp_directory profile;
    configure_storage_method(profile, methods[0].guid);
    const std::string one = profile.file("one.mp3");
    const std::string two = profile.file("two.mp3");
    run_host({"--profile", profile.path(), "library", "add", one, two});
    auto set = run_host({"--profile", profile.path(), "--verbose", "fields", "set", one, "A", "1"});
    EXPECT_NE(set.err.find("[host] refresh 1 track(s) " + one), std::string::npos) << set.err;
    run_host({"--profile", profile.path(), "fields", "set", two, "B", "2"});
    auto list = run_host({"--profile", profile.path(), "fields", "list", one, two});
    EXPECT_EQ(list.out, one + "\tA=1\n" + two + "\tB=2\n");
}

TEST(FieldsCommand, BadArgumentsShowTheUsage) {
    temp_directory profile;
    auto run = run_host({"--profile", profile.path(), "fields", "get", "a.mp3", "X", "first"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage: sonarith-host fields get TRACK NAME [INDEX]"), std::string::npos)
        << run.err;
}

}  // namespace
