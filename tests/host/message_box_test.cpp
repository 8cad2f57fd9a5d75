// Message boxes of the stand-in host: printed, and answered as the user said.
#include <gtest/gtest.h>

#include "sdk/window.h"
#include "support/test_host.h"

namespace {

TEST(MessageBoxes, DefaultAnswerIsTheAffirmative) {
    test_host host(false);
    EXPECT_EQ(uMessageBox(nullptr, "Clear?", "Question", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(uMessageBox(nullptr, "Failed", "snr_tagshelf", MB_OKCANCEL | MB_ICONEXCLAMATION),
              IDOK);
    ASSERT_EQ(host.session().windows().prompts().message_boxes().size(), 2u);
    EXPECT_EQ(host.session().windows().prompts().message_boxes()[1].caption, "snr_tagshelf");
    EXPECT_EQ(host.session().windows().prompts().message_boxes()[1].style, 49u);
}

TEST(MessageBoxes, AnswerNoGivesNoAndCancel) {
    host_options options;
    options.answer = false;
    test_host host(false, options);
    EXPECT_EQ(uMessageBox(nullptr, "Clear?", "Question", MB_YESNO), IDNO);
    EXPECT_EQ(uMessageBox(nullptr, "Failed", "snr_tagshelf", 49), IDCANCEL);
    EXPECT_EQ(uMessageBox(nullptr, "Failed", "snr_tagshelf", 48), IDOK) << "OK is the only button";
}

}  // namespace
