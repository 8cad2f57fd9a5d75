// Controls driven as a user would drive them, and the dialog code's own messages
// to them.
#include "support/system_features.h"
#include "window_fixture.h"

namespace {

using ControlTest = window_test;

TEST_F(ControlTest, ClickingACheckBoxTogglesItsMarkBeforeTheDialogHears) {
    windows().click(control(IDT_ENABLE));
    EXPECT_EQ(last_test_dialog_event(), "201 clicked checked=1");
    EXPECT_TRUE(state(IDT_OPTION).enabled) << "the dialog enables the option on a tick";

    windows().click(control(IDT_ENABLE));
    EXPECT_EQ(last_test_dialog_event(), "201 clicked checked=0");
    EXPECT_FALSE(state(IDT_OPTION).enabled);
}

TEST_F(ControlTest, TickingOnlyClicksWhenTheMarkDiffers) {
    events().clear();
    windows().set_check(control(IDT_ENABLE), false);
    EXPECT_TRUE(events().empty()) << "already unticked";
    windows().set_check(control(IDT_ENABLE), true);
    windows().set_check(control(IDT_ENABLE), true);
    EXPECT_EQ(std::count(events().begin(), events().end(), "201 clicked checked=1"), 1);
    EXPECT_EQ(state(IDT_ENABLE).check, BST_CHECKED);
}

TEST_F(ControlTest, DisabledAndHiddenControlsRefuseTheUser) {
    events().clear();
    EXPECT_THROW(windows().click(control(IDT_OPTION)), user_action_error);
    EXPECT_THROW(windows().click(control(IDT_OTHER)), user_action_error) << "on the hidden tab";
    EXPECT_THROW(windows().type_text(control(IDT_ENABLE), "x"), user_action_error);
    EXPECT_THROW(windows().click(control(IDT_CHOICE)), user_action_error);
    EXPECT_TRUE(events().empty());
    try {
        windows().click(control(IDT_OPTION));
    } catch (const user_action_error& e) {
        EXPECT_STREQ(e.what(), "cannot click check box 210 \"Option\": it is disabled");
    }
}

TEST_F(ControlTest, ChoosingAComboLineTellsTheDialogWhichLineAndText) {
    EXPECT_EQ(state(IDT_CHOICE).selection, 0) << "set by the dialog while it started";
    windows().select(control(IDT_CHOICE), 2);
    EXPECT_EQ(last_test_dialog_event(), "203 selchange 2 gamma");
    EXPECT_THROW(windows().select(control(IDT_CHOICE), 3), user_action_error);
    EXPECT_THROW(windows().select(control(IDT_CHOICE), -1), user_action_error)
        << "a user cannot choose no line of a drop-down list";
    EXPECT_EQ(state(IDT_CHOICE).selection, 2);
}

TEST_F(ControlTest, ListSelectionAndCancellationAreNotified) {
    windows().select(control(IDT_LINES), 1);
    EXPECT_EQ(last_test_dialog_event(), "204 selchange 1");
    windows().select(control(IDT_LINES), -1);
    EXPECT_EQ(last_test_dialog_event(), "204 selcancel");
    EXPECT_EQ(state(IDT_LINES).selection, -1);

    windows().select_tab(control(IDT_TABS), 1);
    events().clear();
    windows().select(control(IDT_QUIET_LIST), -1);
    EXPECT_TRUE(events().empty()) << "a list box without LBS_NOTIFY stays silent";
}

TEST_F(ControlTest, DialogCodeChangesNotifyOnlyWhereWin32Does) {
    events().clear();
    HWND tab = test_tab_window(0);
    SendDlgItemMessage(tab, IDT_LINES, LB_SETCURSEL, 1, 0);
    CheckDlgButton(tab, IDT_ENABLE, BST_CHECKED);
    SendDlgItemMessage(tab, IDT_CHOICE, CB_SETCURSEL, 1, 0);
    uSetDlgItemText(tab, IDT_NOTES, "multi");
    EXPECT_TRUE(events().empty()) << events().front();

    uSetDlgItemText(tab, IDT_NAME, "single");
    EXPECT_EQ(events(), std::vector<std::string>{"205 changed single"});
    uSetDlgItemText(tab, IDT_FIELD, "lower");
    EXPECT_EQ(last_test_dialog_event(), "206 changed LOWER");
}

TEST_F(ControlTest, TypingSendsAChangeForEveryCharacter) {
    uSetDlgItemText(test_tab_window(0), IDT_NAME, "old");
    events().clear();
    windows().type_text(control(IDT_NAME), "héj");
    EXPECT_EQ(events(),
              (std::vector<std::string>{"205 changed h", "205 changed hé", "205 changed héj"}));
}

TEST_F(ControlTest, TypingIntoTheUpperCasingEditShowsUpperCase) {
    windows().type_text(control(IDT_FIELD), "rating é");
    EXPECT_EQ(state(IDT_FIELD).text, "RATING É");
    EXPECT_EQ(last_test_dialog_event(), "206 changed RATING É");
}

TEST_F(ControlTest, EmptyingAnEditSendsOneChange) {
    windows().type_text(control(IDT_NAME), "abc");
    events().clear();
    windows().type_text(control(IDT_NAME), "");
    EXPECT_EQ(events(), std::vector<std::string>{"205 changed "});
    windows().type_text(control(IDT_NAME), "");
    EXPECT_EQ(events().size(), 1u) << "deleting in an empty edit changes nothing";
}

TEST_F(ControlTest, OnlyMultiLineEditsTakeLineBreaks) {
    windows().type_text(control(IDT_NAME), "first\nsecond");
    EXPECT_EQ(state(IDT_NAME).text, "first");
    windows().type_text(control(IDT_NOTES), "first\nsecond");
    EXPECT_EQ(state(IDT_NOTES).text, "first\nsecond");
}

TEST_F(ControlTest, ListLinesFollowInsertionsDeletionsAndSelection) {
    HWND tab = test_tab_window(0);
    HWND list = GetDlgItem(tab, IDT_LINES);
    SendMessage(list, LB_SETCURSEL, 1, 0);
    EXPECT_EQ(uSendMessageText(list, LB_INSERTSTRING, 0, "zero"), 0);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2) << "the selection stays on its line";
    EXPECT_EQ(uSendMessageText(list, LB_INSERTSTRING, WPARAM(-1), "last"), 3);
    EXPECT_EQ(uSendMessageText(list, LB_INSERTSTRING, 9, "far"), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 2, 0), 3);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), LB_ERR) << "deleting the selected line";
    EXPECT_EQ(state(IDT_LINES).items, (std::vector<std::string>{"zero", "one", "last"}));
    EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 7, 0), LB_ERR);

    std::string text(size_t(SendMessage(list, LB_GETTEXTLEN, 2, 0)), '\0');
    std::vector<char> buffer(text.size() + 1);
    SendMessage(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(buffer.data()));
    EXPECT_STREQ(buffer.data(), "last");

    SendMessage(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ControlTest, ListRedrawStaysOffUntilTheDialogTurnsItBackOn) {
    SKIP_WITHOUT(headless_dialogs);
    HWND list = GetDlgItem(test_tab_window(0), IDT_LINES);
    SendMessage(list, WM_SETREDRAW, FALSE, 0);
    EXPECT_FALSE(state(IDT_LINES).redraw);
    SendMessage(list, WM_SETREDRAW, TRUE, 0);
    EXPECT_TRUE(state(IDT_LINES).redraw);
}

TEST_F(ControlTest, ReadingTextCutsAtCharacterBoundaries) {
    SKIP_WITHOUT(headless_dialogs);
    HWND tab = test_tab_window(0);
    uSetDlgItemText(tab, IDT_NOTES, "aé");  // 'a' and a two-byte character
    char buffer[3] = {'x', 'x', 'x'};
    EXPECT_EQ(SendDlgItemMessage(tab, IDT_NOTES, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)),
              1);
    EXPECT_STREQ(buffer, "a");
    string8 whole;
    EXPECT_TRUE(uGetDlgItemText(tab, IDT_NOTES, whole));
    EXPECT_EQ(whole.str(), "aé");
}

TEST_F(ControlTest, CallsOnWindowsThatAreGoneFailQuietly) {
    HWND tab = test_tab_window(1);
    HWND button = GetDlgItem(tab, IDT_OTHER);
    ASSERT_TRUE(DestroyWindow(tab));
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(SendMessage(button, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_FALSE(EnableWindow(button, TRUE));
    EXPECT_EQ(GetDlgItem(tab, IDT_OTHER), nullptr);
    string8 text("kept?");
    EXPECT_FALSE(uGetWindowText(button, text));
    EXPECT_TRUE(text.is_empty());
    EXPECT_FALSE(DestroyWindow(tab));
    EXPECT_THROW(windows().click(button), user_action_error);
}

}  // namespace
