// The tab host of the test dialog: tab selection, placement and destruction.
#include "window_fixture.h"

namespace {

using TabTest = window_test;

std::vector<std::string> g_placements;

// Leaves WM_WINDOWPOSCHANGED to the default handling and notes what follows.
INT_PTR CALLBACK placement_proc(HWND, UINT message, WPARAM, LPARAM lparam) {
    std::string low = std::to_string(LOWORD(UINT_PTR(lparam)));
    std::string high = std::to_string(HIWORD(UINT_PTR(lparam)));
    if (message == WM_MOVE)
        g_placements.push_back("move " + low + "," + high);
    if (message == WM_SIZE)
        g_placements.push_back("size " + low + "x" + high);
    return FALSE;
}

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

TEST_F(TabTest, ADialogLeavingPlacementToTheDefaultHearsWhatChanged) {
    HWND placed = uCreateDialog(test_second_tab_template(), dialog(), placement_proc);
    ASSERT_NE(placed, nullptr);
    struct row {
        int x, y, cx, cy;
        UINT flags;
        std::vector<std::string> heard;
    };
    const row rows[] = {
        {5, 6, 100, 50, SWP_NOZORDER, {"move 5,6", "size 100x50"}},
        {7, 8, 0, 0, SWP_NOZORDER | SWP_NOSIZE, {"move 7,8"}},
        {0, 0, 120, 50, SWP_NOZORDER | SWP_NOMOVE, {"size 120x50"}},
        {7, 8, 120, 50, SWP_NOZORDER, {}},
    };
    for (const row& r : rows) {
        g_placements.clear();
        ASSERT_TRUE(SetWindowPos(placed, nullptr, r.x, r.y, r.cx, r.cy, r.flags));
        EXPECT_EQ(g_placements, r.heard) << r.x << "," << r.y << " " << r.cx << "x" << r.cy;
    }
    RECT client;
    GetClientRect(placed, &client);
    EXPECT_EQ(client.right, 120);
    EXPECT_EQ(client.bottom, 50);
}

TEST_F(TabTest, DestroyingTheHostTellsItBeforeItsTabs) {
    std::vector<HWND> tree{dialog()};
    for (size_t i = 0; i < tree.size(); ++i) {
        std::vector<HWND> children = windows().state(tree[i])->children;
        tree.insert(tree.end(), children.begin(), children.end());
    }
    // The host, its tab control, each tab with its controls.
    ASSERT_EQ(tree.size(), 1u + 1 + (1 + 11) + (1 + 2));
    windows().select_tab(control(IDT_TABS), 1);
    events().clear();
    ASSERT_TRUE(DestroyWindow(dialog()));
    EXPECT_EQ(events(), (std::vector<std::string>{"destroy host on tab 1", "destroy first tab",
                                                  "destroy second tab"}));
    for (HWND window : tree)
        EXPECT_FALSE(windows().is_window(window)) << "every window of the dialog goes with it";
}

}  // namespace
