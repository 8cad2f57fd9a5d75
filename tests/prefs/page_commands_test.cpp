// The page commands of the host program, which use the preferences page as a user
// would; each run is a whole host session, so every step is a restart.
#include <gtest/gtest.h>

#include "support/run_host.h"

namespace {

class StorageCommands : public ::testing::Test {
protected:
    host_run host(std::vector<std::string> args) {
        args.insert(args.begin(), {"--profile", m_profile.path()});
        return run_host(args);
    }
    std::string song() const { return m_profile.file("song.mp3"); }

private:
    temp_directory m_profile;
};

TEST_F(StorageCommands, ValueSurvivesASwitchWithCopyAndARestart) {
    ASSERT_EQ(host({"library", "add", song()}).status, 0);
    ASSERT_EQ(host({"storage", "use", "sqlite"}).status, 0);
    ASSERT_EQ(host({"fields", "set", song(), "RATING", "4"}).status, 0);
    host_run copied = host({"storage", "use", "text", "--copy"});
    ASSERT_EQ(copied.status, 0) << copied.err;
    EXPECT_NE(copied.err.find("Copy data?"), std::string::npos) << "the question was asked";

    host_run value = host({"fields", "get", song(), "RATING"});
    EXPECT_EQ(value.status, 0) << value.err;
    EXPECT_EQ(value.out, "4\n");
}

TEST_F(StorageCommands, StatsPrintTheLabelABlankLineAndTheCounts) {
    host_run off = host({"storage", "stats"});
    EXPECT_EQ(off.status, 0);
    EXPECT_EQ(off.out, "\nNone\n");

    host({"library", "add", song(), song() + "#1"});
    host({"storage", "use", "text"});
    host({"fields", "set", song(), "RATING", "4"});
    host({"fields", "add", song() + "#1", "MOOD", "calm"});
    host({"fields", "add", song() + "#1", "MOOD", "warm"});
    host_run stats = host({"storage", "stats"});
    EXPECT_EQ(stats.status, 0) << stats.err;
    EXPECT_EQ(stats.out, "Text file (sonarith\\tagshelf.txt)\n\nFile entries: 2     Values: 3\n");
}

TEST_F(StorageCommands, CopyAnsweredNoKeepsTheMethodAndSaysSo) {
    host({"storage", "use", "sqlite"});
    host_run declined = host({"--answer", "no", "storage", "use", "text", "--copy"});
    EXPECT_EQ(declined.status, 1);
    EXPECT_NE(declined.err.find("unchanged"), std::string::npos) << declined.err;
    EXPECT_EQ(host({"storage", "stats"}).out.rfind("SQLite database", 0), 0u);
}

TEST_F(StorageCommands, ClearEmptiesTheActiveStorage) {
    host({"library", "add", song()});
    host({"storage", "use", "config"});
    host({"fields", "set", song(), "RATING", "4"});
    host_run cleared = host({"storage", "clear"});
    EXPECT_EQ(cleared.status, 0) << cleared.err;
    EXPECT_EQ(cleared.out, "Sonarith config file\n\nFile entries: 0     Values: 0\n");
    EXPECT_EQ(host({"fields", "get", song(), "RATING"}).out, "");
}

TEST_F(StorageCommands, RemoveDeadDropsEntriesOfMissingFiles) {
    host({"library", "add", song()});
    host({"storage", "use", "sqlite"});
    host({"fields", "set", song(), "RATING", "4"});
    host_run cleaned = host({"storage", "remove-dead"});
    EXPECT_EQ(cleaned.status, 0) << cleaned.err;
    EXPECT_NE(cleaned.out.find("File entries: 0"), std::string::npos) << cleaned.out;
}

TEST_F(StorageCommands, MistakesAreExplained) {
    struct row {
        std::vector<std::string> args;
        int status;
        std::string says;
    };
    const row rows[] = {
        {{"storage", "use", "floppy"}, 2, "unknown storage method 'floppy'"},
        {{"storage", "use"}, 2, "missing METHOD"},
        {{"storage", "use", "text", "--copy"}, 1, "--copy needs a storage method in use"},
        {{"storage", "clear"}, 1, "no storage method is in use"},
        {{"storage", "remove-dead"}, 1, "no storage method is in use"},
    };
    for (const row& r : rows) {
        host_run run = host(r.args);
        EXPECT_EQ(run.status, r.status) << r.args.back();
        EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
    }
}

TEST_F(StorageCommands, UsingTheActiveMethodAgainChangesNothing) {
    host({"storage", "use", "sqlite"});
    host_run again = host({"storage", "use", "sqlite"});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("already the active storage method"), std::string::npos);
}

TEST(PageCommandsInAShell, PageStaysOpenSoANewCommandCanBeEditedAndUsed) {
    temp_directory profile;
    host_run run = run_host({"--profile", profile.path(), "shell"},
                            "storage use text\n"
                            "prefs click 1026\n"
                            "prefs type 1008 'Mine/Stamp'\n"
                            "prefs type 1006 stamp\n"
                            "prefs type 1007 yes\n"
                            "menu list\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Mine/Stamp\tSTAMP=yes"), std::string::npos) << run.out;
    host_run later = run_host({"--profile", profile.path(), "menu", "list"});
    EXPECT_NE(later.out.find("Mine/Stamp\tSTAMP=yes"), std::string::npos) << later.out;
}

}  // namespace
