// The title-formatting language: literal text, fields, sections, quoting, and
// what a script that is not well formed does.
#include <gtest/gtest.h>

#include <string>

#include "host/titleformat/script_parser.h"
#include "titleformat_support.h"

namespace {

using TitleFormatLanguage = TitleFormatTest;

TEST_F(TitleFormatLanguage, ScriptsGiveTheExpectedText) {
    const format_case cases[] = {
        {"", ""},
        {"plain text, (with) punctuation", "plain text, (with) punctuation"},
        {"%filename%", "Song"},
        {"%FileName_Ext%", "Song.mp3"},
        {"%directoryname%", "Album"},
        {"%subsong%", "0"},
        {"%nope%", "?"},
        {"%%", "?"},
        {"%filename% - %filename_ext%", "Song - Song.mp3"},
        // Sections vanish when nothing inside them was found.
        {"[%nope%]", ""},
        {"[a %nope% b]", ""},
        {"[a %filename% b]", "a Song b"},
        {"[a %filename% %nope%]", "a Song ?"},
        {"[a [%nope%] b]", ""},
        {"[a [%filename%] b]", "a Song b"},
        {"[%nope%]%filename%", "Song"},
        {"[literal only]", ""},
        {"[%subsong%, (z)]", "0, (z)"},
        {"[$add(%nope%,1)]", ""},
        {"[$add(%subsong%,1)]", "1"},
        // Quoted text is literal; two quotes stand for one.
        {"'%filename%'", "%filename%"},
        {"'[x]' '$add(1,2)'", "[x] $add(1,2)"},
        {"''", "'"},
        {"it''s", "it's"},
        {"'it''s'", "it's"},
        {"'a''''b'", "a''b"},
        {"$if(%filename%,'a,b',c)", "a,b"},
        // Nesting.
        {"$upper($left(%filename%,2))", "SO"},
        {"$if2(%nope%,[%nope%]fallback)", "fallback"},
        {"$if(%filename%,[x%nope%],y)", ""},
        {"$add($add(1,$add(2,3)),$mul(2,$sub(5,1)))", "14"},
        // A parenthesis inside a parameter closes the call; the rest is text.
        {"$if(%filename%,(b),c)", "(b,c)"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(format(row.script), row.expected) << "script: " << row.script;
    }
}

TEST_F(TitleFormatLanguage, HostFieldsDescribeTheTracksLocation) {
    std::string folder = host.profile() + "/music/Live Set";
    auto track = host.track("Live Set/two.parts.flac", 3);
    EXPECT_EQ(format("%path%", track), native_path(folder + "/two.parts.flac"));
    EXPECT_EQ(format("%filename%|%filename_ext%", track), "two.parts|two.parts.flac");
    EXPECT_EQ(format("%directoryname%|%subsong%", track), "Live Set|3");
}

TEST_F(TitleFormatLanguage, OneCompiledScriptFormatsManyTracks) {
    auto compiled = compile("%filename%#%subsong%");
    const char* names[] = {"a.mp3", "b.ogg", "c.wav"};
    for (uint32_t i = 0; i < 3; ++i) {
        string8 out;
        ASSERT_TRUE(host.track(names[i], i)->format_title(nullptr, out, compiled));
        EXPECT_EQ(out.str(), std::string(1, char('a' + i)) + "#" + std::to_string(i));
    }
}

TEST_F(TitleFormatLanguage, MalformedScriptsDoNotCompile) {
    const char* malformed[] = {
        "%abc",      "abc%def", "$add(1,2", "$add",      "$add x",      "$(1)",
        "$ add(1)",  "[abc",    "abc]",     "$if(a,[b)", "$if(a,b]c)",  "'abc",
        "$if(a,'b)", "[%a%]]",  "[[%a%]",   "$",         "$if(a,$b(c)",
    };
    auto service = compiler();
    ASSERT_TRUE(service);
    for (const char* script : malformed) {
        service_ptr_t<titleformat_object> compiled = compile("kept");
        auto before = compiled.get_ptr();
        EXPECT_FALSE(service->compile(compiled, script)) << "compiled: " << script;
        EXPECT_EQ(compiled.get_ptr(), before) << "a failed compile replaced the object: " << script;
    }
    service_ptr_t<titleformat_object> compiled;
    EXPECT_FALSE(service->compile(compiled, nullptr));
}

TEST_F(TitleFormatLanguage, CompileErrorsSayWhereTheScriptGoesWrong) {
    struct error_case {
        const char* script;
        size_t offset;
        const char* message;
    };
    const error_case cases[] = {
        {"ab %cd", 3, "a field reference is not closed with '%'"},
        {"x $add(1", 8, "a function call is not closed with ')'"},
        {"x [y", 4, "a '[' section is not closed with ']'"},
        {"x]", 1, "']' without a matching '['"},
        {"a 'b", 2, "quoted text is not closed with '"},
        {"$(1)", 0, "'$' is not followed by a function name"},
        {"$abc", 0, "a function name is not followed by '('"},
    };
    for (const auto& row : cases) {
        script_sequence tree;
        script_error error;
        EXPECT_FALSE(parse_script(row.script, tree, error)) << row.script;
        EXPECT_EQ(error.offset, row.offset) << row.script;
        EXPECT_EQ(error.message, row.message) << row.script;
    }
}

TEST_F(TitleFormatLanguage, DeepNestingIsRefusedInsteadOfExhaustingTheStack) {
    auto nested = [](size_t depth) {
        return std::string(depth, '[') + "%filename%" + std::string(depth, ']');
    };
    EXPECT_EQ(format(nested(100)), "Song");
    service_ptr_t<titleformat_object> compiled;
    EXPECT_FALSE(compiler()->compile(compiled, nested(100000).c_str()));
    std::string calls;
    for (int i = 0; i < 100000; ++i)
        calls += "$upper(";
    EXPECT_FALSE(compiler()->compile(compiled, calls.c_str()));
}

}  // namespace
