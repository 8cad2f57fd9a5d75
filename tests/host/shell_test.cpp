// The host's shell: many commands in one session, split into words as a POSIX
// shell splits them.
#include <gtest/gtest.h>

#include <stdexcept>

#include "host/cli/shell_words.h"
#include "support/run_host.h"

namespace {

TEST(ShellWords, SplitsAsAPosixShellWithoutExpansion) {
    struct row {
        const char* line;
        std::vector<std::string> words;
    };
    const row rows[] = {
        {"library add a.mp3", {"library", "add", "a.mp3"}},
        {"  spaced\t out  ", {"spaced", "out"}},
        {"format '%RATING% $shelf_list(/,:)' x", {"format", "%RATING% $shelf_list(/,:)", "x"}},
        {"fields set x NAME \"two words\"", {"fields", "set", "x", "NAME", "two words"}},
        {"a\\ b", {"a b"}},
        {"\"say \\\"hi\\\" \\n\"", {"say \"hi\" \\n"}},
        {"'it'\\''s'", {"it's"}},
        {"''", {""}},
        {"$HOME ~ *", {"$HOME", "~", "*"}},
        {"# a comment", {}},
        {"run x # trailing comment", {"run", "x"}},
        {"a#b", {"a#b"}},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(split_shell_words(r.line), r.words) << r.line;
    }
}

TEST(ShellWords, UnterminatedQuotesAreErrors) {
    EXPECT_THROW(split_shell_words("say 'unfinished"), std::invalid_argument);
    EXPECT_THROW(split_shell_words("say \"unfinished"), std::invalid_argument);
    EXPECT_THROW(split_shell_words("ends with \\"), std::invalid_argument);
}

TEST(Shell, RunsManyCommandsInOneSessionAndGoesOnAfterErrors) {
    temp_directory profile;
    auto run = run_host({"--profile", profile.path(), "shell"},
                        "library add /m/a.mp3\n"
                        "no such command\n"
                        "library add 'unfinished\n"
                        "library add '/m/b c.mp3'\n"
                        "library list\n");
    EXPECT_EQ(run.out, native_path("/m/a.mp3") + "\n" + native_path("/m/b c.mp3") + "\n");
    EXPECT_NE(run.err.find("unknown command 'no'"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("unterminated single quote"), std::string::npos) << run.err;
    EXPECT_EQ(run.status, 0) << "the status is the last command's";
}

TEST(Shell, StorageCommandsSeeWhatChangedSinceThePageWasOpened) {
    temp_directory profile;
    auto run = run_host({"--profile", profile.path(), "shell"},
                        "storage use config\n"
                        "storage stats\n"
                        "fields set /m/a.mp3 RATING 5\n"
                        "fields add /m/a.mp3 MOOD calm\n"
                        "storage stats\n"
                        "storage use none\n"
                        "storage use config\n");
    const std::string before = "File entries: 0     Values: 0\n";
    const std::string after = "File entries: 1     Values: 2\n";
    size_t first = run.out.find(before);
    ASSERT_NE(first, std::string::npos) << run.out;
    size_t second = run.out.find(before, first + 1);
    ASSERT_NE(second, std::string::npos) << "storage stats before the writes: " << run.out;
    EXPECT_NE(run.out.find(after, second), std::string::npos)
        << "storage stats after the writes: " << run.out;
    EXPECT_EQ(run.out.find("already the active"), std::string::npos) << run.out;
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(Shell, HelpListsTheCommandsAndExitEndsTheShell) {
    temp_directory profile;
    auto run = run_host({"--profile", profile.path(), "shell"}, "help\nexit\nlibrary add /x\n");
    EXPECT_NE(run.out.find("library add TRACK..."), std::string::npos) << run.out;
    auto listed = run_host({"--profile", profile.path(), "library", "list"});
    EXPECT_EQ(listed.out, "") << "nothing after exit ran";
}

}  // namespace
