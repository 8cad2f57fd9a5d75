// Message boxes of the stand-in host (printed, and answered as the user said),
// and its console.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/host_access.h"

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

TEST(Console, KeepsAtLeastTheLastTenThousandLinesAndNeverMoreThanTwice) {
    test_host host(false);
    const std::vector<std::string>& lines = host.session().console().lines();
    const size_t before = lines.size();
    for (int n = 0; n < 45'000; ++n) {
        const std::string line = "line " + std::to_string(n);
        service_enum<console_receiver>([&](const service_ptr_t<console_receiver>& console) {
            console->print(line.data(), line.size());
            return true;
        });
        ASSERT_LE(lines.size(), 20'000u) << "after line " << n;
    }
    ASSERT_GE(lines.size(), 10'000u);
    EXPECT_EQ(lines.back(), "line 44999");
    // The lines kept are the last ones, in order.
    for (size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(lines[i], "line " + std::to_string(45'000 - lines.size() + i)) << i;
    EXPECT_EQ(before, 0u) << "a new session starts with an empty console";
}

}  // namespace
