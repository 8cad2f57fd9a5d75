// How hooks take part in formatting: the extra hook of a call comes first, then
// the display hooks registered with the host, then the host's own fields and
// functions; text of a hook that declines is dropped, and the found flag a hook
// sets decides conditions.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "titleformat_support.h"

namespace {

const GUID test_input_type = {
    0x1D2E3F40, 0x5A6B, 0x4C7D, {0x8E, 0x9F, 0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}};

// What a test hook does for one field name.
struct field_answer {
    std::string text;     // written to the sink
    bool found = true;    // the found flag it sets
    bool handled = true;  // its answer
    bool throws = false;  // raises instead of answering
};

using answer_table = std::map<std::string, field_answer>;

// Writes the answer for `name` when the table has one; true when it handled it.
bool answer_from(const answer_table& table, titleformat_text_out* out, const char* name,
                 size_t length, bool& found) {
    auto entry = table.find(std::string(name, length));
    if (entry == table.end())
        return false;
    const field_answer& answer = entry->second;
    if (answer.throws)
        throw std::runtime_error("hook failure");
    out->write(test_input_type, answer.text.c_str(), answer.text.size());
    if (answer.found)
        found = true;
    return answer.handled;
}

// Writes every parameter as <text:length>: shows what a hook receives.
void echo_params(titleformat_text_out* out, titleformat_hook_function_params* params) {
    for (size_t i = 0; i < params->get_param_count(); ++i) {
        const char* text;
        size_t length;
        params->get_param(i, text, length);
        std::string item = "<" + std::string(text, length) + ":" + std::to_string(length) + ">";
        out->write(test_input_type, item.c_str());
    }
}

// A display hook registered in the host's registry. Besides its table it answers
// %track_path% with the path of the track being formatted, $echo(...) with its
// parameters, and $declined() by writing text and then declining.
class test_display_hook : public metadb_display_hook {
public:
    explicit test_display_hook(answer_table fields) : m_fields(std::move(fields)) {}

    bool resolve_field(metadb_handle* track, titleformat_text_out* out, const char* name,
                       size_t name_length, bool& found) override {
        if (name[name_length] != '\0')
            unterminated_names++;
        if (std::string(name, name_length) == "track_path") {
            out->write(test_input_type, track->get_location().get_path());
            found = true;
            return true;
        }
        return answer_from(m_fields, out, name, name_length, found);
    }

    bool resolve_function(metadb_handle*, titleformat_text_out* out, const char* name,
                          size_t name_length, titleformat_hook_function_params* params,
                          bool& found) override {
        std::string function(name, name_length);
        if (function == "echo") {
            echo_params(out, params);
            found = true;
            return true;
        }
        if (function == "declined")
            out->write(test_input_type, "junk");
        return false;
    }

    std::atomic<int> unterminated_names{0};

private:
    answer_table m_fields;
};

// An extra hook handed to one formatting call.
class test_extra_hook final : public titleformat_hook {
public:
    explicit test_extra_hook(answer_table fields) : m_fields(std::move(fields)) {}
    bool resolve_field(titleformat_text_out* out, const char* name, size_t name_length,
                       bool& found) override {
        return answer_from(m_fields, out, name, name_length, found);
    }
    bool resolve_function(titleformat_text_out* out, const char* name, size_t name_length,
                          titleformat_hook_function_params*, bool& found) override {
        if (std::string(name, name_length) != "add")
            return false;
        out->write(test_input_type, "extra add");
        found = true;
        return true;
    }

private:
    answer_table m_fields;
};

class TitleFormatHooks : public TitleFormatTest {
protected:
    TitleFormatHooks() {
        first = make_service<test_display_hook>(answer_table{
            {"who", {"display"}},
            {"filename", {"display's filename"}},
            {"declines_after_writing", {"junk", true, false}},
            {"empty_found", {""}},
            {"handled_not_found", {"text", false}},
            {"throws", {"", true, true, true}},
        });
        second = make_service<test_display_hook>(answer_table{
            {"who", {"second display"}},
            {"only_second", {"second"}},
        });
        host.session().registry().add_service(metadb_display_hook::class_guid, first);
        host.session().registry().add_service(metadb_display_hook::class_guid, second);
    }

    service_ptr_t<test_display_hook> first;
    service_ptr_t<test_display_hook> second;
    test_extra_hook extra{answer_table{{"who", {"extra"}}, {"path", {"extra's path"}}}};
};

TEST_F(TitleFormatHooks, ExtraHookThenDisplayHooksThenHostFields) {
    const std::string path = native_path(host.profile() + "/music/Album/Song.mp3");
    struct order_case {
        const char* script;
        bool with_extra;
        std::string expected;
    };
    const order_case cases[] = {
        {"%who%", true, "extra"},
        {"%who%", false, "display"},
        {"%only_second%", true, "second"},
        {"%path%", true, "extra's path"},
        {"%path%", false, path},
        {"%filename%", true, "display's filename"},
        {"%filename_ext%", true, "Song.mp3"},
        {"%unknown%", true, "?"},
        {"$add(1,2)", true, "extra add"},
        {"$add(1,2)", false, "3"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(format(row.script, row.with_extra ? &extra : nullptr), row.expected)
            << row.script << (row.with_extra ? " with" : " without") << " the extra hook";
    }
}

TEST_F(TitleFormatHooks, HookTextAndFoundFlagsDecideWhatShows) {
    const format_case cases[] = {
        // A hook that writes and then declines leaves no trace.
        {"%declines_after_writing%", "?"},
        {"$declined()", "[UNKNOWN FUNCTION]"},
        // Handled with found set: even an empty value makes a section show.
        {"[x%empty_found%]", "x"},
        {"$if(%empty_found%,T,F)", "T"},
        // Handled without found: the text shows, but conditions see nothing.
        {"%handled_not_found%", "text"},
        {"[x%handled_not_found%]", ""},
        {"$if(%handled_not_found%,T,F)", "F"},
        {"$if2(%handled_not_found%,fallback)", "fallback"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(format(row.script), row.expected) << "script: " << row.script;
    }
}

TEST_F(TitleFormatHooks, HooksReceiveEvaluatedParametersAndTerminatedNames) {
    EXPECT_EQ(format("$echo(%filename%,$add(1,2),,'a,b')"),
              "<display's filename:18><3:1><:0><a,b:3>");
    EXPECT_EQ(format("[$echo()]"), "");
    EXPECT_EQ(format("%track_path%"), song->get_location().get_path());
    EXPECT_EQ(first->unterminated_names.load(), 0);
}

TEST_F(TitleFormatHooks, HookThatThrowsFailsTheFormattingAndKeepsTheOutput) {
    auto compiled = compile("a %throws% b");
    string8 out("previous");
    EXPECT_FALSE(song->format_title(nullptr, out, compiled));
    EXPECT_EQ(out.str(), "previous");
}

TEST_F(TitleFormatHooks, ManyThreadsShareOneCompiledScript) {
    auto compiled = compile("%who%|%filename_ext%|$add(%subsong%,1)");
    std::vector<metadb_handle_ptr> tracks;
    for (uint32_t i = 0; i < 4; ++i)
        tracks.push_back(host.track("t" + std::to_string(i) + ".mp3", i));
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (uint32_t i = 0; i < tracks.size(); ++i) {
        threads.emplace_back([&, i] {
            std::string expected =
                "display|t" + std::to_string(i) + ".mp3|" + std::to_string(i + 1);
            for (int round = 0; round < 200; ++round) {
                string8 out;
                if (!tracks[i]->format_title(nullptr, out, compiled) || out.str() != expected)
                    wrong++;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
