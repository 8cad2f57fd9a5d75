// The tab host of the test dialog: tab selection, placement and destruction.
#include "window_fixture.h"

namespace {

using TabTest = window_test;

TEST_F(TabTest, DialogStartsWithItsParameterAndTheFirstTabShown) {
    EXPECT_EQ(events().front(), "init param=42");
    EXPECT_EQ(state(IDT_TABS).items, (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(state(IDT_TABS).selection, 0) << "the first tab inserted is selected";
    EXPECT_TRUE(IsWindowVisible(test_tab_window(0)));
    EXPECT_FALSE(IsWindowVisible(test_tab_window(1)));
    EXPECT_FALSE(IsWindowVisible(control(IDT_OTHER))) << "hidden with its tab";
}

TEST_F(TabTest, SwitchingTabsAsksBeforeAndTellsAfter) {
    events().clear();
    windows().select_tab(control(IDT_TABS), 1);
    EXPECT_EQ(events(), (std::vector<std::string>{"selchanging from 0", "selchange to 1"}));
    EXPECT_FALSE(IsWindowVisible(test_tab_window(0)));
    EXPECT_TRUE(IsWindowVisible(test_tab_window(1)));

    events().clear();
    windows().select_tab(control(IDT_TABS), 1);
    EXPECT_TRUE(events().empty()) << "clicking the selected tab changes nothing";
    EXPECT_THROW(windows().select_tab(control(IDT_TABS), 2), user_action_error);
}

TEST_F(TabTest, DialogCodeSelectingATabSendsNoNotification) {
    events().clear();
    HWND tabs = GetDlgItem(dialog(), IDT_TABS);
    EXPECT_EQ(TabCtrl_SetCurSel(tabs, 1), 0);
    EXPECT_EQ(TabCtrl_SetCurSel(tabs, 5), -1);
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), 1);
    EXPECT_TRUE(events().empty());
}

TEST_F(TabTest, MovingTheHostPlacesBothTabsInTheDisplayArea) {
    ASSERT_TRUE(MoveWindow(dialog(), 10, 20, 300, 225, TRUE));
    RECT tabs;
    GetWindowRect(control(IDT_TABS), &tabs);
    RECT area = tabs;
    TabCtrl_AdjustRect(control(IDT_TABS), FALSE, &area);
    for (int i = 0; i < 2; ++i) {
        RECT placed;
        GetWindowRect(test_tab_window(i), &placed);
        EXPECT_EQ(placed.left, area.left);
        EXPECT_EQ(placed.top, area.top);
        EXPECT_EQ(placed.right, area.right);
        EXPECT_EQ(placed.bottom, area.bottom);
    }
    RECT larger = area;
    TabCtrl_AdjustRect(control(IDT_TABS), TRUE, &larger);
    EXPECT_EQ(larger.left, tabs.left);
    EXPECT_EQ(larger.bottom, tabs.bottom);
}

TEST_F(TabTest, DestroyingTheHostTellsItBeforeItsTabs) {
    size_t before = windows().window_count();
    windows().select_tab(control(IDT_TABS), 1);
    events().clear();
    ASSERT_TRUE(DestroyWindow(dialog()));
    EXPECT_EQ(events(), (std::vector<std::string>{"destroy host on tab 1", "destroy first tab",
                                                  "destroy second tab"}));
    // The host, its tab control, each tab with its controls.
    constexpr size_t dialog_windows = 1 + 1 + (1 + 11) + (1 + 2);
    EXPECT_EQ(windows().window_count(), before - dialog_windows);
}

}  // namespace
