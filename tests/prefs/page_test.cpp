// The page as a whole: how the host lists it, its two tabs and where they sit, the
// tab remembered between openings, and the page drawn for a person to look at.
#include "frame/config_vars.h"
#include "host/ui/html_renderer.h"
#include "prefs/my_preferences_page.h"
#include "prefs_fixture.h"
#include "support/dialog_units.h"

namespace {

using PreferencesPage = prefs_test;

TEST_F(PreferencesPage, HostListsItAsTagShelfUnderItsBranch) {
    auto& page = my_preferences_page_instance();
    EXPECT_STREQ(page.page_name(), "Tag Shelf");
    EXPECT_EQ(page.page_guid(), guid_null);
    const GUID branch = {
        0x627C0767, 0x0793, 0x44F8, {0x80, 0x87, 0xBE, 0x49, 0x34, 0x31, 0x12, 0x82}};
    EXPECT_EQ(page.parent_guid(), branch);
    EXPECT_FALSE(page.can_reset());
    string8 help;
    EXPECT_TRUE(page.help_address(help));
    EXPECT_EQ(help.str(),
              "https://help.sonarith.example/preferences/"
              "00000000-0000-0000-0000-000000000000/Tag Shelf");
    EXPECT_EQ(preferences_dialog::pages(session().registry()).front().get_ptr(),
              static_cast<preferences_page*>(&page))
        << "the prefs commands act on the first page";
}

TEST_F(PreferencesPage, HasTheGeneralAndCommandTabsShowingOneAtATime) {
    EXPECT_EQ(dialog().tab_names(), (std::vector<std::string>{"General", "Context menu commands"}));
    EXPECT_EQ(dialog().selected_tab(), 0);
    EXPECT_TRUE(windows().is_window_visible(control(IDC_SWITCH)));
    EXPECT_FALSE(
        windows().is_window_visible(find_control(IDC_NEW)));
    dialog().select_tab(1);
    EXPECT_FALSE(
        windows().is_window_visible(find_control(IDC_SWITCH)));
    EXPECT_TRUE(
        windows().is_window_visible(find_control(IDC_NEW)));
}

TEST_F(PreferencesPage, BothTabsFillTheTabControlsDisplayArea) {
    HWND tabs = dialog().tab_control();
    RECT area;
    GetClientRect(tabs, &area);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    RECT tabs_on_screen;
    GetWindowRect(tabs, &tabs_on_screen);
    for (int id : {IDC_SWITCH, IDC_NEW}) {
        HWND tab = windows().state(find_control(id))->parent;
        RECT placed;
        GetWindowRect(tab, &placed);
        EXPECT_EQ(placed.left, tabs_on_screen.left + area.left) << id;
        EXPECT_EQ(placed.top, tabs_on_screen.top + area.top) << id;
        EXPECT_EQ(placed.right - placed.left, area.right - area.left) << id;
        EXPECT_EQ(placed.bottom - placed.top, area.bottom - area.top) << id;
    }
}

TEST_F(PreferencesPage, OpensOnTheTabShownLast) {
    dialog().select_tab(1);
    close_page();
    EXPECT_EQ(cfg_prefs_last_tab.get(), 1);
    open_page();
    EXPECT_EQ(dialog().selected_tab(), 1);
    EXPECT_TRUE(
        windows().is_window_visible(find_control(IDC_NEW)));
    dialog().select_tab(0);
    close_page();
    EXPECT_EQ(cfg_prefs_last_tab.get(), 0);
}

TEST_F(PreferencesPage, AStoredTabThatDoesNotExistOpensTheFirst) {
    for (int32_t stored : {5, 2, -1}) {
        cfg_prefs_last_tab = stored;
        open_page();
        EXPECT_EQ(dialog().selected_tab(), 0) << stored;
        EXPECT_TRUE(
            windows().is_window_visible(find_control(IDC_SWITCH)))
            << stored;
        close_page();
        EXPECT_EQ(cfg_prefs_last_tab.get(), 0) << stored;
    }
}

// The pixels a control's place maps to in `dialog`, a dialog of the page's font.
std::string place_style(HWND dialog, const dialog_control& control) {
    RECT place = dialog_units_to_pixels(dialog, {control.x, control.y, control.cx, control.cy});
    return "left:" + std::to_string(place.left) + "px;top:" + std::to_string(place.top) +
           "px;width:" + std::to_string(place.right) + "px";
}

TEST_F(PreferencesPage, DrawingShowsBothTabsWithEveryControlInPlaceWithItsText) {
    std::string html = dialog().render_html();
    EXPECT_NE(html.find("Tag Shelf: General"), std::string::npos);
    EXPECT_NE(html.find("Tag Shelf: Context menu commands"), std::string::npos);
    for (const dialog_template* tpl :
         {&prefs_general_tab_template(), &prefs_commands_tab_template()}) {
        for (size_t i = 0; i < tpl->control_count; ++i) {
            const dialog_control& control = tpl->controls[i];
            if (control.text[0]) {
                EXPECT_NE(html.find(html_escape(control.text)), std::string::npos) << control.text;
            }
            const std::string place = place_style(dialog().page_window(), control);
            EXPECT_NE(html.find(place), std::string::npos)
                << control.id << " " << control.text << " at " << place;
        }
    }
    EXPECT_NE(html.find(html_escape(function_processing_text)), std::string::npos);
    EXPECT_NE(html.find("Tag Shelf/Rate +1"), std::string::npos);
    EXPECT_NE(html.find("None (disabled)"), std::string::npos);
}

}  // namespace
