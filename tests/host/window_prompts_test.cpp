// Message boxes and file dialogs: printed for the user and answered from the
// host's options or from the terminal.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "sdk/host_access.h"
#include "support/system_features.h"
#include "window_fixture.h"

namespace {

// What a prompt printed, read back from a temporary file.
std::string printed(FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string out;
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, file))
        out.append(buffer, n);
    return out;
}

TEST(MessageBoxAnswer, EachStyleGetsTheButtonTheOptionsAskFor) {
    struct row {
        UINT style;
        std::optional<bool> answer;
        int expected;
    };
    const row rows[] = {
        {MB_YESNO, true, IDYES},
        {MB_YESNO, false, IDNO},
        {MB_YESNO, std::nullopt, IDYES},
        {MB_OKCANCEL, false, IDCANCEL},
        {MB_OKCANCEL, std::nullopt, IDOK},
        {MB_OK, false, IDOK},
        {MB_YESNOCANCEL, false, IDNO},
        {MB_RETRYCANCEL, true, IDRETRY},
        {MB_YESNO | MB_ICONQUESTION, false, IDNO},
    };
    for (const row& r : rows) {
        FILE* out = std::tmpfile();
        user_prompts prompts(r.answer, std::nullopt, false, nullptr, out);
        EXPECT_EQ(prompts.message_box("text", "caption", r.style), r.expected)
            << "style " << r.style << " answer " << (r.answer ? int(*r.answer) : -1);
        std::fclose(out);
    }
}

TEST(MessageBoxAnswer, CaptionTextAndAnswerArePrinted) {
    FILE* out = std::tmpfile();
    user_prompts prompts(false, std::nullopt, false, nullptr, out);
    prompts.message_box("First line.\nSecond line.", "Clear storage?", MB_YESNO);
    EXPECT_EQ(printed(out),
              "message box \"Clear storage?\":\n  First line.\n  Second line.\n"
              "  [Yes] [No] -> No\n");
    std::fclose(out);
    ASSERT_EQ(prompts.message_boxes().size(), 1u);
    EXPECT_EQ(prompts.message_boxes()[0].caption, "Clear storage?");
}

TEST(MessageBoxAnswer, OnATerminalTheUserIsAskedUntilTheAnswerIsAButton) {
    FILE* in = std::tmpfile();
    std::fputs("maybe\nN\n\n", in);
    std::rewind(in);
    FILE* out = std::tmpfile();
    user_prompts prompts(std::nullopt, std::nullopt, true, in, out);
    EXPECT_EQ(prompts.message_box("Sure?", "Question", MB_YESNO), IDNO);
    EXPECT_NE(printed(out).find("please answer one of [Yes] [No]"), std::string::npos);
    EXPECT_EQ(prompts.message_box("Sure?", "Question", MB_YESNO), IDYES) << "Return alone";
    EXPECT_EQ(prompts.message_box("Done.", "Note", MB_OK), IDOK) << "nothing to ask";
    // Standard input ends: the box is closed without a choice.
    EXPECT_EQ(prompts.message_box("Sure?", "Question", MB_OKCANCEL), IDCANCEL);
    std::fclose(in);
    std::fclose(out);
}

TEST(MessageBoxAnswer, WithoutAHostNothingIsDoneUnasked) {
    ASSERT_EQ(sdk_host(), nullptr);
    EXPECT_EQ(uMessageBox(nullptr, "Clear?", "Question", MB_YESNO), IDNO);
    EXPECT_EQ(uMessageBox(nullptr, "Failed", "snr_tagshelf", MB_OKCANCEL), IDOK)
        << "Cancel would switch the storage off";
    EXPECT_EQ(uMessageBox(nullptr, "Done", "Note", MB_OK), IDOK);
    string8 path("kept");
    EXPECT_FALSE(uGetOpenFileName(nullptr, "A|*.a", 1, "a", "Open", nullptr, path, false));
    EXPECT_EQ(path.str(), "kept");
}

class PromptTest : public window_test {
protected:
    PromptTest() : window_test(options()) {}
    static host_options options() {
        host_options o;
        o.answer = false;
        return o;
    }
};

TEST_F(PromptTest, TheDialogGetsTheAnswerOfTheHostOptions) {
    windows().click(control(IDT_ASK));
    EXPECT_EQ(last_test_dialog_event(), "202 answered " + std::to_string(IDNO));
    EXPECT_EQ(state(IDT_STATUS).text, "no");
    prompts().set_answer(true);
    windows().click(control(IDT_ASK));
    EXPECT_EQ(state(IDT_STATUS).text, "yes");
    auto shown = prompts().message_boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Question");
    EXPECT_EQ(shown[0].text, "Proceed?");
}

TEST_F(PromptTest, FileDialogWithoutAnAnswerIsCancelled) {
    windows().click(control(IDT_BROWSE));
    EXPECT_EQ(last_test_dialog_event(), "209 cancelled");
    auto shown = prompts().file_dialogs();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Open notes");
    EXPECT_EQ(shown[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    // The name it starts from, which the system's dialog tells in the folder it shows.
    EXPECT_EQ(std::filesystem::u8path(shown[0].initial_name).filename().u8string(), "start.txt")
        << shown[0].initial_name;
    EXPECT_FALSE(shown[0].save);
}

TEST_F(PromptTest, FileDialogAddsTheDefaultExtensionToABareNameInTheWorkingDirectory) {
    SKIP_WITHOUT(bare_name_default_extension);
    // An open dialog takes only a file that exists.
    temp_directory folder;
    std::ofstream(folder.file("notes.txt")) << "notes";
    const std::filesystem::path started_in = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::u8path(folder.path()));
    prompts().set_file_answer("notes");
    windows().click(control(IDT_BROWSE));
    EXPECT_EQ(last_test_dialog_event(), "209 chose " + folder.file("notes.txt"));
    std::filesystem::current_path(started_in);
}

TEST_F(PromptTest, FileDialogKeepsAnExtensionOfItsOwn) {
    temp_directory folder;
    std::ofstream(folder.file("list.qtg")) << "list";
    prompts().set_file_answer(folder.file("list.qtg"));
    windows().click(control(IDT_BROWSE));
    EXPECT_EQ(state(IDT_STATUS).text, folder.file("list.qtg"));
}

}  // namespace
