// The HTML drawing of dialogs, and the preferences page's templates drawn with it.
#include <set>

#include "host/ui/html_renderer.h"
#include "prefs/prefs_templates.h"
#include "support/dialog_units.h"
#include "window_fixture.h"

namespace {

INT_PTR CALLBACK quiet_proc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// One drawn window: its opening tag and what follows up to the next window.
struct drawn_window {
    std::string tag;
    std::string content;
    std::string attribute(const std::string& name) const {
        size_t start = tag.find(name + "=\"");
        if (start == std::string::npos)
            return "";
        start += name.size() + 2;
        return tag.substr(start, tag.find('"', start) - start);
    }
};

std::vector<drawn_window> drawn_windows(const std::string& html) {
    const std::string marker = "<div class=\"w ";
    std::vector<drawn_window> found;
    size_t at = html.find(marker);
    while (at != std::string::npos) {
        size_t tag_end = html.find('>', at);
        size_t next = html.find(marker, tag_end);
        found.push_back({html.substr(at, tag_end + 1 - at),
                         html.substr(tag_end + 1, (next == std::string::npos ? html.size() : next) -
                                                      tag_end - 1)});
        at = next;
    }
    return found;
}

// The templates are made into dialogs in a window of the host's own, as the
// preferences dialog shows a page: the system's window where it has windows.
class RenderTest : public ::testing::Test {
protected:
    test_host host;
    user_windows& windows() { return host.session().dialog_windows(); }
};

TEST_F(RenderTest, EveryControlOfThePreferencesTemplatesIsDrawnAtItsPlaceWithItsText) {
    const dialog_template* templates[] = {&prefs_tab_host_template(), &prefs_general_tab_template(),
                                          &prefs_commands_tab_template()};
    HWND frame = windows().create_frame(nullptr, "templates", RECT{0, 0, 800, 600});
    for (const dialog_template* tpl : templates) {
        HWND dialog = uCreateDialog(*tpl, frame, quiet_proc);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        html_renderer renderer("templates");
        renderer.add_view(windows(), dialog, "page");
        auto drawn = drawn_windows(renderer.document());
        ASSERT_EQ(drawn.size(), tpl->control_count + 1) << "the dialog and each control";
        const RECT size = dialog_units_to_pixels(dialog, {0, 0, tpl->cx, tpl->cy});
        EXPECT_EQ(drawn[0].attribute("style").rfind(
                      "left:0px;top:0px;width:" + std::to_string(size.right) +
                          "px;height:" + std::to_string(size.bottom) + "px;font-family:'Tahoma'",
                      0),
                  0u)
            << drawn[0].tag;
        for (size_t i = 0; i < tpl->control_count; ++i) {
            const dialog_control& c = tpl->controls[i];
            const drawn_window& w = drawn[i + 1];
            const RECT at = dialog_units_to_pixels(dialog, {c.x, c.y, c.cx, c.cy});
            std::string place = "left:" + std::to_string(at.left) +
                                "px;top:" + std::to_string(at.top) +
                                "px;width:" + std::to_string(at.right) + "px;height:";
            const std::string style = w.attribute("style");
            if (c.kind == control_class::combo_box) {
                // Drawn closed, its list not shown: one line of text high, as tall
                // as the system makes it for the font (14 units at most).
                ASSERT_EQ(style.rfind(place, 0), 0u) << "control " << c.id << ": " << style;
                const int height = std::stoi(style.substr(place.size()));
                EXPECT_GE(height, dialog_units_to_pixels(dialog, {0, 0, 0, 8}).bottom) << c.id;
                EXPECT_LE(height, dialog_units_to_pixels(dialog, {0, 0, 0, 14}).bottom) << c.id;
            } else {
                EXPECT_EQ(style, place + std::to_string(at.bottom) + "px")
                    << "control " << c.id << " " << c.text;
            }
            if (c.id != IDC_STATIC) {
                EXPECT_EQ(w.attribute("data-id"), std::to_string(c.id));
            }
            EXPECT_NE(w.content.find(html_escape(c.text)), std::string::npos)
                << "control " << c.id << " shows its text: " << w.content;
            EXPECT_EQ(w.tag.find("disabled") != std::string::npos, (c.style & WS_DISABLED) != 0)
                << "control " << c.id;
        }
        DestroyWindow(dialog);
    }
    windows().destroy_window(frame);
}

TEST(PrefsTemplates, EveryControlLiesInsideItsDialogAndIdsAreUnique) {
    const dialog_template* templates[] = {&prefs_tab_host_template(), &prefs_general_tab_template(),
                                          &prefs_commands_tab_template()};
    for (const dialog_template* tpl : templates) {
        std::set<int> ids;
        for (size_t i = 0; i < tpl->control_count; ++i) {
            const dialog_control& c = tpl->controls[i];
            EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.cx <= tpl->cx && c.y + c.cy <= tpl->cy)
                << "control " << c.id << " " << c.text;
            EXPECT_TRUE(c.style & WS_VISIBLE) << "control " << c.id;
            if (c.id != IDC_STATIC) {
                EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
            }
        }
    }
}

using RenderStateTest = window_test;

TEST_F(RenderStateTest, TheDrawingShowsWhatAUserWouldSee) {
    windows().click(control(IDT_ENABLE));
    windows().select(control(IDT_LINES), 1);
    uSetDlgItemText(test_tab_window(0), IDT_STATUS, "<b> & \"x\"");
    html_renderer renderer("Test <page>");
    renderer.add_view(windows(), dialog(), "First tab");
    std::string html = renderer.document();

    EXPECT_NE(html.find("<title>Test &lt;page&gt;</title>"), std::string::npos);
    EXPECT_NE(html.find("<h2>First tab</h2>"), std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt; &amp; &quot;x&quot;"), std::string::npos);
    EXPECT_NE(html.find("<span class=\"box\">&#10003;</span><span class=\"text\">Enable"),
              std::string::npos);
    EXPECT_NE(html.find("<div class=\"line selected\">two</div>"), std::string::npos);
    EXPECT_NE(html.find("<span class=\"tab selected\">First</span>"), std::string::npos);
    EXPECT_NE(html.find("alpha<span class=\"arrow\">"), std::string::npos)
        << "the combo box shows its selected line";
    EXPECT_EQ(html.find("Other"), std::string::npos) << "the hidden tab is not drawn";
    EXPECT_EQ(html.find("<script"), std::string::npos);
}

}  // namespace
