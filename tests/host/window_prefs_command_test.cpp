// The prefs commands of the host, run in a host session whose only preferences
// page is the test dialog, so that what they print and do is the test page's.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "host/cli/commands.h"
#include "host/cli/preferences_window.h"
#include "support/test_host.h"
#include "window_test_dialog.h"

namespace {

struct command_result {
    int status;
    std::string out;
    std::string err;
};

class PrefsCommandTest : public ::testing::Test {
protected:
    explicit PrefsCommandTest(bool with_page = true) {
        host_options options;
        options.profile_directory = profile.path();
        options.ask_on_terminal = false;
        session = std::make_unique<host_session>(options);
        if (with_page)
            session->registry().add_service(preferences_page::class_guid, make_test_page());
        session->start();
        test_dialog_events().clear();
    }

    command_result run(const command_args& words) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        int status = run_command(*session, words);
        std::fflush(stdout);
        std::fflush(stderr);
        std::string out = testing::internal::GetCapturedStdout();
        std::string err = testing::internal::GetCapturedStderr();
        return {status, out, err};
    }
    std::vector<std::string>& events() { return test_dialog_events(); }

    temp_directory profile;
    std::unique_ptr<host_session> session;
};

TEST_F(PrefsCommandTest, ShowAllListsEveryControlOfEachTabWithItsState) {
    auto result = run({"prefs", "show", "all"});
    ASSERT_EQ(result.status, 0) << result.err;
    const char* expected_lines[] = {
        "page \"Test Page\"\n",
        "tab 0 \"First\"\n",
        "  100  tab control: 2 tabs, tab 0 selected\n       0* \"First\"\n       1  \"Second\"\n",
        "  201  check box \"Enable\": unchecked\n",
        "  203  combo box: 3 lines, line 0 selected\n       0* \"alpha\"\n",
        "  204  list box: 2 lines, none selected\n",
        "  207  multi-line edit \"\"\n",
        "  210  check box \"Option\": unchecked, disabled\n",
        "  -    group box \"Group\"\n",
        "tab 1 \"Second\"\n",
        "  301  push button \"Other\"\n",
    };
    for (const char* line : expected_lines)
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "\nin:\n" << result.out;
    EXPECT_LT(result.out.find("tab 0"), result.out.find("201  check box"));
    EXPECT_GT(result.out.find("tab 1"), result.out.find("201  check box"))
        << "each tab shows only its own controls";
}

TEST_F(PrefsCommandTest, ShowWithoutATabShowsTheSelectedOne) {
    auto first = run({"prefs", "show"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("tab 0 \"First\"\n"), std::string::npos) << first.out;
    EXPECT_EQ(first.out.find("tab 1"), std::string::npos) << first.out;
    EXPECT_EQ(first.out.find("301  push button"), std::string::npos) << first.out;

    keep_preferences_open keep_open(*session);
    run({"prefs", "tab", "1"});
    auto second = run({"prefs", "show"});
    EXPECT_NE(second.out.find("tab 1 \"Second\"\n"), std::string::npos) << second.out;
    EXPECT_NE(second.out.find("301  push button \"Other\""), std::string::npos) << second.out;
    EXPECT_EQ(second.out.find("201  check box"), std::string::npos) << second.out;
}

TEST_F(PrefsCommandTest, ShowOfOneTabNamesItByWordOrNumber) {
    auto by_word = run({"prefs", "show", "second"});
    ASSERT_EQ(by_word.status, 0) << by_word.err;
    EXPECT_EQ(by_word.out.find("201"), std::string::npos);
    EXPECT_NE(by_word.out.find("301  push button"), std::string::npos);
    EXPECT_EQ(run({"prefs", "show", "1"}).out, by_word.out);
    auto unknown = run({"prefs", "show", "third"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(
        unknown.err.find("no tab is called \"third\"; the tabs are 0 \"First\", 1 \"Second\""),
        std::string::npos)
        << unknown.err;
}

TEST_F(PrefsCommandTest, LookingAtThePageLeavesItsSelectedTabAlone) {
    run({"prefs", "show"});
    EXPECT_EQ(events().back(), "destroy second tab");
    EXPECT_NE(std::find(events().begin(), events().end(), "destroy host on tab 0"), events().end());
}

TEST_F(PrefsCommandTest, EachActionSendsWhatTheUsersActionWould) {
    struct row {
        command_args words;
        std::string event;
    };
    const row rows[] = {
        {{"prefs", "click", "201"}, "201 clicked checked=1"},
        {{"prefs", "check", "201", "on"}, "201 clicked checked=1"},
        {{"prefs", "select", "203", "2"}, "203 selchange 2 gamma"},
        {{"prefs", "select", "204", "none"}, "204 selcancel"},
        {{"prefs", "type", "206", "rating"}, "206 changed RATING"},
        {{"prefs", "type", "207", "two words"}, "207 changed two words"},
        {{"prefs", "tab", "1"}, "selchange to 1"},
        {{"prefs", "click", "301"}, "301 command 0"},
    };
    for (const row& r : rows) {
        events().clear();
        auto result = run(r.words);
        EXPECT_EQ(result.status, 0) << r.words[1] << ": " << result.err;
        EXPECT_NE(std::find(events().begin(), events().end(), r.event), events().end())
            << r.words[1] << " " << r.words[2] << " should send " << r.event;
        EXPECT_EQ(events().back(), "destroy second tab") << "the page is closed after the command";
    }
}

TEST_F(PrefsCommandTest, AControlOnAnotherTabIsReachedThroughItsTab) {
    run({"prefs", "click", "301"});
    std::vector<std::string> expected = {"init param=42", "selchanging from 0", "selchange to 1",
                                         "301 command 0", "destroy host on tab 1"};
    std::vector<std::string> first(events().begin(), events().begin() + 5);
    EXPECT_EQ(first, expected);
}

TEST_F(PrefsCommandTest, BadRequestsAreClearErrors) {
    struct row {
        command_args words;
        int status;
        std::string message;
    };
    const row rows[] = {
        {{"prefs", "click", "999"}, 1, "the page \"Test Page\" has no control 999"},
        {{"prefs", "click", "210"}, 1, "cannot click check box 210 \"Option\": it is disabled"},
        {{"prefs", "click", "204"}, 1, "cannot click list box 204"},
        {{"prefs", "select", "203", "7"}, 1, "combo box 203: it has 3 lines"},
        {{"prefs", "type", "201", "x"}, 1, "it is not an edit"},
        {{"prefs", "tab", "2"}, 1, "there is no tab 2; the tabs are 0 to 1"},
        {{"prefs", "click"}, 2, "missing ID"},
        {{"prefs", "click", "abc"}, 2, "ID must be a number, not 'abc'"},
        {{"prefs", "check", "201", "maybe"}, 2, "must be on or off"},
        {{"prefs", "select", "203"}, 2, "missing ID and INDEX"},
        {{"prefs", "type", "205", "a", "b"}, 2, "quote a TEXT that has spaces"},
        {{"prefs", "render"}, 2, "missing FILE.html"},
    };
    for (const row& r : rows) {
        events().clear();
        auto result = run(r.words);
        EXPECT_EQ(result.status, r.status) << r.words[1] << ": " << result.err;
        EXPECT_NE(result.err.find(r.message), std::string::npos) << result.err;
        if (r.status == 1) {
            EXPECT_EQ(events().back(), "destroy second tab") << "closed after a refusal too";
        }
    }
}

TEST_F(PrefsCommandTest, RenderWritesBothTabsToAFile) {
    std::string file = profile.file("page.html");
    auto result = run({"prefs", "render", file});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "wrote " + file + "\n");
    std::ifstream in(file);
    std::stringstream html;
    html << in.rdbuf();
    EXPECT_NE(html.str().find("<h2>Test Page: First</h2>"), std::string::npos);
    EXPECT_NE(html.str().find("<h2>Test Page: Second</h2>"), std::string::npos);
    EXPECT_NE(html.str().find("data-id=\"301\""), std::string::npos);
    EXPECT_NE(html.str().find("data-id=\"201\""), std::string::npos);

    auto unwritable = run({"prefs", "render", profile.file("missing/dir/page.html")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos);
}

class PrefsWithoutPageTest : public PrefsCommandTest {
protected:
    PrefsWithoutPageTest() : PrefsCommandTest(false) {}
};

TEST_F(PrefsWithoutPageTest, CommandsSayThatNoPageIsRegistered) {
    for (const command_args& words :
         {command_args{"prefs", "show"}, command_args{"prefs", "click", "1022"}}) {
        auto result = run(words);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("no preferences page is registered"), std::string::npos)
            << result.err;
    }
}

TEST_F(PrefsCommandTest, TheHostsHelpSiteGivesPagesTheirHelpAddress) {
    auto pages = session->registry().all<preferences_page>();
    ASSERT_EQ(pages.size(), 1u);
    string8 address;
    ASSERT_TRUE(pages[0]->help_address(address));
    EXPECT_EQ(address.str(),
              "https://help.sonarith.example/preferences/00000000-0000-0000-0000-000000000000/"
              "Test Page");
}

}  // namespace
