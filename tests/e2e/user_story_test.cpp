// What a user does with the host program, from start to end, with a restart of the
// host between every phase: each run_host call is one whole host session.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "support/run_host.h"
#include "support/test_process.h"

namespace fs = std::filesystem;

namespace {

class host_user {
public:
    explicit host_user(const std::string& answer = "yes") : m_answer(answer) {
        fs::create_directories(m_dir.file("music"));
    }

    // One host session; fails the test when the command does not succeed.
    std::string run(std::vector<std::string> command) {
        host_run result = raw(std::move(command));
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    }
    host_run raw(std::vector<std::string> command, const std::string& input = "") {
        std::vector<std::string> args = {"--profile", profile(), "--answer", m_answer};
        args.insert(args.end(), command.begin(), command.end());
        return run_host(args, input);
    }
    // A shell session that reads the lines the test sends it, its output going to
    // the files "out" and "err"; wait() ends it once its input is closed.
    std::unique_ptr<test_process> shell() const {
        return std::make_unique<test_process>(
            host_command({"--profile", profile(), "--answer", m_answer, "shell"}),
            test_process::streams{"", file("out"), file("err")});
    }
    std::string track(const std::string& name) const { return m_dir.file("music/" + name); }
    std::string profile() const { return m_dir.file("profile"); }
    std::string file(const std::string& name) const { return m_dir.file(name); }
    void answer(const std::string& answer) { m_answer = answer; }

private:
    temp_directory m_dir;
    std::string m_answer;
};

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string line(const std::string& text) {
    std::string copy = text;
    while (!copy.empty() && (copy.back() == '\n' || copy.back() == '\r'))
        copy.pop_back();
    return copy;
}

class StoryPerMethod : public ::testing::TestWithParam<const char*> {};

TEST_P(StoryPerMethod, RateTagMoveDeleteAndRestartKeepEverything) {
    host_user user;
    const std::string a = user.track("a.flac"), b = user.track("b.flac"), c = user.track("c.flac");
    for (const auto& file : {a, b, c})
        std::ofstream(file) << "x";
    user.run({"library", "add", a, b, b + "#1", c});
    user.run({"storage", "use", GetParam()});

    user.run({"menu", "run", "Tag Shelf/Rate 3", a, b});
    user.run({"menu", "run", "Tag Shelf/Rate +1", a});
    user.run({"fields", "add", b + "#1", "MOOD", "calm"});
    user.run({"fields", "add", b + "#1", "MOOD", "warm"});
    EXPECT_EQ(line(user.run({"format", "%RATING%", a})), "4");
    EXPECT_EQ(line(user.run({"format", "$shelf_sep(MOOD,/)|$shelf_num(MOOD)", b + "#1"})),
              "calm/warm|2");

    user.run({"file", "move", a, user.track("moved.flac")});
    EXPECT_EQ(line(user.run({"fields", "get", user.track("moved.flac"), "RATING"})), "4");
    EXPECT_EQ(user.raw({"fields", "get", a, "RATING"}).status, 1) << "nothing left at the old path";

    user.run({"file", "delete", b});
    EXPECT_EQ(user.run({"fields", "list", b + "#1"}), "") << "every subsong of a deleted file goes";

    std::string stats = user.run({"storage", "stats"});
    EXPECT_NE(stats.find("File entries: 1     Values: 1"), std::string::npos) << stats;
}

// A folder of rated tracks is moved outside the player and the library rescanned:
// the ratings follow the files. Beside it, a file whose folder and file name two
// library tracks share loses its rating rather than being guessed at, and a file
// that stayed where it was, outside the library, loses it as before.
TEST_P(StoryPerMethod, RatingsFollowAFolderMovedOutsideThePlayer) {
    host_user user;
    const std::string old_root = user.file("old/Music"), new_root = user.file("new/Music");
    std::vector<std::string> old_tracks, new_tracks;
    std::string ratings;
    for (int n = 1; n <= 30; ++n) {
        const std::string name =
            "/Artist/Album/" + std::string(n < 10 ? "0" : "") + std::to_string(n) + " Title.flac";
        old_tracks.push_back(old_root + name);
        new_tracks.push_back(new_root + name);
        ratings += std::to_string(n % 5) + "\n";
    }
    const std::string twice = "/Artist/Twice/01 Song.flac";
    const std::string stays = user.file("old/Live/01 Intro.flac");
    const std::vector<std::string> unrated = {new_root + twice,
                                              user.file("new/Copy/Twice/01 Song.flac"),
                                              user.file("new/Live/01 Intro.flac")};
    std::vector<std::string> files = old_tracks;
    files.insert(files.end(), {old_root + twice, stays, unrated[1], unrated[2]});
    for (const auto& file : files) {
        fs::create_directories(fs::path(file).parent_path());
        std::ofstream(file) << "x";
    }
    auto words = [](const std::vector<std::string>& paths) {
        std::string line;
        for (const auto& path : paths)
            line += " '" + path + "'";
        return line;
    };

    std::string rate = "library add" + words(old_tracks) + words({old_root + twice, stays}) + "\n";
    for (int n = 0; n < 30; ++n)
        rate += "menu run 'Tag Shelf/Rate " + std::to_string((n + 1) % 5) + "' '" + old_tracks[n] +
                "'\n";
    rate += "fields set '" + old_root + twice + "' RATING 5\nfields set '" + stays + "' RATING 5\n";
    user.run({"storage", "use", GetParam()});
    ASSERT_EQ(user.raw({"shell"}, rate).status, 0);

    fs::rename(old_root, new_root);
    const std::string rescan = "library remove" + words(old_tracks) +
                               words({old_root + twice, stays}) + "\nlibrary add" +
                               words(new_tracks) + words(unrated) + "\n";
    ASSERT_EQ(user.raw({"shell"}, rescan).status, 0);

    std::vector<std::string> format = {"format", "%RATING%"};
    format.insert(format.end(), new_tracks.begin(), new_tracks.end());
    host_run after = user.raw(format);
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(after.out, ratings);
    EXPECT_NE(after.err.find("Tag Shelf: 30 entries followed their moved files."),
              std::string::npos)
        << after.err;
    format.resize(2);
    format.insert(format.end(), unrated.begin(), unrated.end());
    EXPECT_EQ(user.run(format), "?\n?\n?\n") << "never guessed, never taken from an existing file";
    EXPECT_NE(user.run({"storage", "stats"}).find("File entries: 30     Values: 30"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(EveryStorageMethod, StoryPerMethod,
                         ::testing::Values("config", "sqlite", "text"));

TEST(Story, SwitchWithCopyCarriesTheDataAndTheChoiceSurvivesARestart) {
    host_user user;
    const std::string a = user.track("a.flac");
    user.run({"library", "add", a});
    user.run({"storage", "use", "sqlite"});
    user.run({"fields", "set", a, "RATING", "5"});
    user.run({"storage", "use", "text", "--copy"});
    EXPECT_EQ(line(user.run({"fields", "get", a, "RATING"})), "5");
    std::string stats = user.run({"storage", "stats"});
    EXPECT_EQ(stats.substr(0, stats.find('\n')), "Text file (sonarith\\tagshelf.txt)");
    EXPECT_TRUE(fs::exists(user.profile() + "/tagshelf.txt"));
}

TEST(Story, SwitchWithCopyAnsweredNoChangesNothing) {
    host_user user;
    const std::string a = user.track("a.flac");
    user.run({"library", "add", a});
    user.run({"storage", "use", "sqlite"});
    user.run({"fields", "set", a, "RATING", "5"});
    user.answer("no");
    host_run refused = user.raw({"storage", "use", "text", "--copy"});
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.err.find("All data in target will be lost when copying. Are you sure?"),
              std::string::npos)
        << refused.err;
    std::string stats = user.run({"storage", "stats"});
    EXPECT_EQ(stats.substr(0, stats.find('\n')), "SQLite database (sonarith\\tagshelf_sqlite.db)");
}

TEST(Story, QuickTagsTravelThroughAnExchangeFile) {
    host_user user;
    const std::string exported = user.file("mine.qtg");
    // Make a command of one's own on the preferences page, then export the list.
    auto made = user.raw({"shell"},
                         "prefs tab 1\nprefs click 1026\n"
                         "prefs type 1008 'Tag Shelf/Mark favourite'\n"
                         "prefs type 1006 favourite\nprefs type 1007 yes\n");
    ASSERT_EQ(made.status, 0) << made.err;
    auto saved = user.raw({"--file", exported, "prefs", "click", "1040"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    ASSERT_TRUE(fs::exists(exported));

    user.run({"prefs", "click", "1038"});  // Reset, answered yes: the eight defaults
    user.run({"storage", "use", "config"});
    EXPECT_EQ(user.run({"menu", "list"}).find("Mark favourite"), std::string::npos);

    auto loaded = user.raw({"--file", exported, "prefs", "click", "1039"});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    std::string menu = user.run({"menu", "list"});
    EXPECT_NE(menu.find("Tag Shelf/Mark favourite\tFAVOURITE=yes\t{"), std::string::npos) << menu;

    const std::string a = user.track("a.flac");
    user.run({"library", "add", a});
    user.run({"menu", "run", "Tag Shelf/Mark favourite", a});
    EXPECT_EQ(line(user.run({"fields", "get", a, "FAVOURITE"})), "yes");
}

TEST(Story, ForeignExchangeFileIsRefusedAndTheCommandsStay) {
    host_user user;
    std::ofstream(user.file("foreign.qtg"), std::ios::binary) << "definitely not a command list";
    auto result = user.raw({"--file", user.file("foreign.qtg"), "prefs", "click", "1039"});
    EXPECT_NE(result.err.find("ERROR : invalid file."), std::string::npos) << result.err;
    user.run({"storage", "use", "sqlite"});
    EXPECT_NE(user.run({"menu", "list"}).find("Tag Shelf/Rate -1"), std::string::npos);
}

TEST(Story, DamagedTextFileAtStartUpIsReportedInTheConsoleAndABox) {
    host_user user;
    const std::string a = user.track("a.flac");
    user.run({"library", "add", a});
    user.run({"storage", "use", "text"});
    user.run({"fields", "set", a, "RATING", "5"});
    std::ofstream(user.profile() + "/tagshelf.txt", std::ios::binary) << "garbage\r\n";
    fs::remove(user.profile() + "/tagshelf.txt.backup");

    host_run result = user.raw({"fields", "get", a, "RATING"});
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.err.find("ERROR : Storage initialization failed (Couldn't read file "
                              "tagshelf.txt. Incorrect file header.)"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("snr_tagshelf"), std::string::npos) << "the box's caption";
    EXPECT_NE(result.err.find("Error message: Couldn't read file tagshelf.txt. Incorrect file "
                              "header."),
              std::string::npos)
        << result.err;
    std::ifstream kept(user.profile() + "/tagshelf.txt", std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(kept)), {});
    EXPECT_EQ(content, "garbage\r\n") << "a file that failed to load is never overwritten";
}

TEST(Story, AWriteTheTextFileCouldNotKeepFailsTheSession) {
    host_user user;
    const std::string a = user.track("a.flac");
    user.run({"library", "add", a});
    user.run({"storage", "use", "text"});
    // A directory where the previous file is set aside makes the save fail.
    fs::create_directories(user.profile() + "/tagshelf.txt.backup/in-the-way");
    host_run set = user.raw({"fields", "set", a, "RATING", "5"});
    EXPECT_EQ(set.status, 1);
    EXPECT_NE(set.err.find("ERROR : Closing storage failed (Opening file tagshelf.txt for "
                           "writing failed.)"),
              std::string::npos)
        << set.err;
}

// Waits until the text of the file at `path` holds `wanted`.
bool wait_for_text(const std::string& path, const std::string& wanted) {
    for (int i = 0; i < 400; ++i) {
        if (read_text(path).find(wanted) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// One host session, fed line by line: the storage is open when another program
// takes the database, so a write fails and the user answers the error box; the
// other program lets go before the last commands. Whether the storage stays
// active depends on the answer; the session must say what happened, and its exit
// status that it failed, whatever its last command answered.
TEST(Story, WriteWhileAnotherProgramHoldsTheDatabaseIsReportedAsSuch) {
    struct row {
        const char* answer;
        const char* write;  // the write that fails, on the track TRACK
        const char* then;   // commands after the failed write
    };
    const row rows[] = {
        {"yes", "fields set TRACK RATING 5", ""},  // OK: ignore the error; the write was not made
        {"no", "fields set TRACK RATING 5", "storage use sqlite\n"},  // Cancel: storage off
        {"yes", "menu run 'Tag Shelf/Rate 5' TRACK", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.answer) + ": " + r.write);
        host_user user;
        const std::string a = user.track("a.flac");
        user.run({"library", "add", a});
        user.run({"storage", "use", "sqlite"});

        const std::string out = user.file("out"), err = user.file("err");
        user.answer(r.answer);
        auto session = user.shell();
        // The page is opened first, so that what it showed then cannot stand in for
        // what is true later.
        session->send("storage stats\nfields set '" + a + "' RATING 4\nfields get '" + a +
                      "' RATING\n");
        ASSERT_TRUE(wait_for_text(out, "\n4\n")) << read_text(out) << read_text(err);

        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open((user.profile() + "/tagshelf_sqlite.db").c_str(), &other),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE TRANSACTION", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        std::string write = r.write;
        write.replace(write.find("TRACK"), 5, "'" + a + "'");
        session->send(write + "\n");
        EXPECT_TRUE(wait_for_text(err, "] -> ")) << "the box was answered: " << read_text(err);
        sqlite3_exec(other, "END TRANSACTION", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        session->send(std::string(r.then) + "exit\n");
        session->close_input();
        const int status = session->wait();

        const std::string shown = read_text(err);
        EXPECT_NE(shown.find("ERROR : Couldn't open tagshelf storage for writing. (database is "
                             "locked)"),
                  std::string::npos)
            << shown;
        EXPECT_NE(shown.find("Press cancel to disable snr_tagshelf or ok to ignore error and "
                             "continue."),
                  std::string::npos)
            << shown;
        if (write.rfind("fields", 0) == 0) {
            EXPECT_NE(shown.find("sonarith-host fields set: the write was not made: the tagshelf "
                                 "storage could not be opened for writing"),
                      std::string::npos)
                << shown;
        }
        EXPECT_EQ(shown.find("no tagshelf storage is active"), std::string::npos) << shown;
        EXPECT_EQ(status, 1) << shown;
        EXPECT_EQ(user.run({"fields", "get", a, "RATING"}), "4\n");

        std::string stats = user.run({"storage", "stats"});
        EXPECT_NE(stats.find("SQLite database"), std::string::npos)
            << "still or again active: " << stats;
        if (std::string(r.answer) == "no") {
            // Cancel switched the storage off; choosing it again on the page switches
            // it back on, rather than finding it "already" active.
            EXPECT_EQ(read_text(out).find("already the active storage method"), std::string::npos)
                << read_text(out);
            EXPECT_NE(read_text(out).find("File entries: 1     Values: 1"), std::string::npos)
                << read_text(out);
        }
    }
}

// Every regular file under `directory` with its bytes.
std::map<std::string, std::string> files_in(const std::string& directory) {
    std::map<std::string, std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(directory)) {
        if (item.is_regular_file())
            files[item.path().string()] = read_text(item.path().string());
    }
    return files;
}

TEST(Story, ASecondSessionOfAProfileWaitsForTheFirstAndOthersDoNot) {
    host_user user;
    const std::string a = user.track("a.flac"), b = user.track("b.flac");
    user.run({"library", "add", a});
    auto first = user.shell();
    first->send("library list\n");
    ASSERT_TRUE(wait_for_text(user.file("out"), a)) << read_text(user.file("err"));
    const auto before = files_in(user.profile());

    host_run second = user.raw({"--wait", "1", "library", "add", b});
    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.err.find("waiting for another session of the profile " + user.profile()),
              std::string::npos)
        << second.err;
    EXPECT_NE(second.err.find("is still running after 1 s; this session ends having read and "
                              "written nothing of it"),
              std::string::npos)
        << second.err;
    EXPECT_EQ(files_in(user.profile()), before);

    host_user other;
    host_run elsewhere = other.raw({"--wait", "0", "library", "add", b});
    EXPECT_EQ(elsewhere.status, 0) << "another profile is not held: " << elsewhere.err;

    first->send("exit\n");
    first->close_input();
    EXPECT_EQ(first->wait(), 0);
    host_run after = user.raw({"--wait", "0", "library", "list"});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(after.out, a + "\n");
}

TEST(Story, HelpAndBadInputGiveClearMessagesNotCrashes) {
    host_user user;
    host_run help = run_host({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"library add", "fields get", "format", "menu run", "file move",
                                "storage use", "prefs show", "shell", "demo"}) {
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    }
    struct row {
        std::vector<std::string> command;
        int status;
        const char* message;
    };
    const row rows[] = {
        {{"fields", "get"}, 2, "usage: sonarith-host fields get"},
        {{"menu", "run", "No such command", "x.flac"}, 1, "No such command"},
        {{"prefs", "click", "9999"}, 1, "9999"},
        {{"storage", "use", "floppy"}, 2, "floppy"},
        {{"whatever"}, 2, "unknown command 'whatever'"},
    };
    for (const auto& r : rows) {
        host_run result = user.raw(r.command);
        EXPECT_EQ(result.status, r.status) << r.command[0] << " " << result.err;
        EXPECT_NE(result.err.find(r.message), std::string::npos) << result.err;
    }
    host_run usage = user.raw({"menu", "run", "--help"});
    EXPECT_EQ(usage.status, 0);
    EXPECT_NE(usage.out.find("usage: sonarith-host menu run DISPLAY_NAME TRACK..."),
              std::string::npos)
        << usage.out;
    host_run bad_option = run_host({"--answer", "maybe", "library", "list"});
    EXPECT_EQ(bad_option.status, 2);
}

TEST(Story, AGroupWordAloneOrWithHelpListsTheGroupsCommands) {
    host_user user;
    struct row {
        const char* group;
        const char* listed;  // one of the group's commands with its usage
    };
    const row rows[] = {
        {"fields", "fields get TRACK NAME [INDEX]"},
        {"library", "library add TRACK..."},
        {"storage", "storage use none|config|sqlite|text [--copy]"},
        {"prefs", "prefs select ID INDEX"},
        {"menu", "menu run DISPLAY_NAME TRACK..."},
        {"file", "file move SRC DST"},
    };
    for (const auto& r : rows) {
        const std::string usage = std::string("usage: sonarith-host ") + r.group + " COMMAND ...";
        host_run help = user.raw({r.group, "--help"});
        EXPECT_EQ(help.status, 0) << r.group << ": " << help.err;
        EXPECT_EQ(help.out.rfind(usage, 0), 0u) << help.out;
        EXPECT_NE(help.out.find(r.listed), std::string::npos) << help.out;
        EXPECT_EQ(help.out.find("shell"), std::string::npos) << "only the group's commands";

        host_run alone = user.raw({r.group});
        EXPECT_EQ(alone.status, 2) << r.group;
        EXPECT_NE(alone.err.find(r.listed), std::string::npos) << alone.err;
        EXPECT_EQ(alone.err.find("unknown command"), std::string::npos) << alone.err;
    }
    host_run unknown = user.raw({"menu", "frob"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown menu command 'frob'"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("menu list"), std::string::npos) << unknown.err;
}

}  // namespace

namespace {

TEST(Demo, RunsToTheEndWithEveryCheckPassing) {
    host_run demo = run_host({"demo"});
    const std::string marker = "The demo's profile stays at ";
    size_t at = demo.out.find(marker);
    ASSERT_NE(at, std::string::npos) << demo.out << demo.err;
    std::string profile = demo.out.substr(at + marker.size());
    profile = profile.substr(0, profile.find('\n'));
    EXPECT_EQ(demo.status, 0) << demo.out;
    EXPECT_NE(demo.out.find("every check passed"), std::string::npos) << demo.out;
    EXPECT_EQ(demo.out.find("FAILED"), std::string::npos) << demo.out;
    if (profile.find("sonarith-demo-") != std::string::npos)
        fs::remove_all(profile);
}

}  // namespace

namespace {

TEST(ExampleComponent, ShowsTheRatingAsStarsThroughThePublicService) {
    host_user user;
    const std::string a = user.track("a.flac"), b = user.track("b.flac");
    user.run({"library", "add", a, b});
    user.run({"storage", "use", "config"});
    user.run({"fields", "set", a, "RATING", "3"});
    std::string shown =
        user.run({"--component", STAR_RATING_COMPONENT, "format", "[%stars%]|%filename%", a, b});
    EXPECT_EQ(shown, "\u2605\u2605\u2605\u2606\u2606|a\n|b\n");
}

}  // namespace
