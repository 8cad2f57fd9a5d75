// The host keeps each component's settings between sessions, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/core/profile.h"
#include "support/file_size_limit.h"
#include "support/run_host.h"

namespace {

TEST(SettingsPersistence, HostSavesTheComponentSettingsAtTheEndOfEverySession) {
    temp_directory profile;
    auto run = run_host({"--profile", profile.path(), "library", "list"});
    ASSERT_EQ(run.status, 0) << run.err;
    auto saved = read_whole_file(profile.file("configuration/snr_tagshelf.cfg"));
    ASSERT_TRUE(saved.has_value());
    EXPECT_GE(saved->size(), 9u * 20u) << "one record per setting";
    EXPECT_FALSE(std::filesystem::exists(profile.file("configuration/snr_tagshelf.cfg.tmp")));
}

TEST(SettingsPersistence, SettingsAreGivenBackUnchangedAtTheNextStart) {
    temp_directory profile;
    run_host({"--profile", profile.path(), "library", "list"});
    auto first = read_whole_file(profile.file("configuration/snr_tagshelf.cfg"));
    run_host({"--profile", profile.path(), "library", "list"});
    auto second = read_whole_file(profile.file("configuration/snr_tagshelf.cfg"));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, *second);
}

TEST(SettingsPersistence, DamagedSettingsFileDoesNotStopTheHostButFailsTheSession) {
    temp_directory profile;
    std::filesystem::create_directories(profile.file("configuration"));
    write_file_atomically(profile.file("configuration/snr_tagshelf.cfg"),
                          std::string("\x01\x02garbage", 9));
    auto run = run_host({"--profile", profile.path(), "library", "add", "/m/a.mp3"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run_host({"--profile", profile.path(), "library", "list"}).out,
              native_path("/m/a.mp3") + "\n");
}

TEST(SettingsPersistence, ASettingsFileReadInPartIsKeptBesideBeforeItIsSavedOver) {
    temp_directory profile;
    const std::string settings = profile.file("configuration/snr_tagshelf.cfg");
    auto run = run_host({"--profile", profile.path(), "shell"},
                        "library add /m/a.mp3 /m/b.mp3\nstorage use config\n"
                        "fields set /m/a.mp3 RATING 5\nfields set /m/b.mp3 RATING 4\n");
    ASSERT_EQ(run.status, 0) << run.err;
    // One bad byte inside the stored entries, twice over: each damaged file is kept
    // under a name of its own, and a file read in full is kept by nobody.
    auto damaged = read_whole_file(settings);
    ASSERT_TRUE(damaged && damaged->size() > 24);
    (*damaged)[24] = 0xFF;
    for (const char* kept : {".damaged", ".damaged.2"}) {
        write_file_atomically(settings, *damaged);
        run = run_host({"--profile", profile.path(), "library", "list"});
        EXPECT_NE(run.err.find("was read in part"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("kept it as " + settings + kept), std::string::npos) << run.err;
        EXPECT_EQ(read_whole_file(settings + kept), damaged);
    }
    run_host({"--profile", profile.path(), "library", "list"});
    EXPECT_FALSE(std::filesystem::exists(settings + ".damaged.3"));
}

TEST(SettingsPersistence, FailedSaveKeepsThePreviousFileAndLeavesNoTemporaryFile) {
    temp_directory profile;
    const std::string settings = profile.file("configuration/snr_tagshelf.cfg");
    write_file_atomically(settings, std::string("previous"));
    const std::vector<uint8_t> larger(4096, 0xAB);
    {
        file_size_limit limit(100);
        EXPECT_THROW(write_file_atomically(settings, larger), std::runtime_error);
    }
    EXPECT_EQ(read_whole_file(settings),
              std::vector<uint8_t>({'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    EXPECT_FALSE(std::filesystem::exists(settings + ".tmp"));
}

}  // namespace
