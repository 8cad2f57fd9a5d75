// Shared by the title-formatting tests: scripts compiled through the compiler
// service that the in-process host registers, and tracks formatted through their
// own format_title, exactly as a component does it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/test_host.h"

class TitleFormatTest : public ::testing::Test {
protected:
    // The one compiler service registered with the host.
    service_ptr_t<titleformat_compiler> compiler() {
        auto found = host.session().registry().all<titleformat_compiler>();
        EXPECT_EQ(found.size(), 1u);
        return found.empty() ? nullptr : found.front();
    }

    // Compiles `script`, failing the test when it does not compile.
    service_ptr_t<titleformat_object> compile(const std::string& script) {
        service_ptr_t<titleformat_object> compiled;
        auto service = compiler();
        EXPECT_TRUE(service && service->compile(compiled, script.c_str()))
            << "does not compile: " << script;
        return compiled;
    }

    // `track` formatted with `script`; "<failed>" when formatting reports failure.
    std::string format(const std::string& script, const metadb_handle_ptr& track,
                       titleformat_hook* hook = nullptr) {
        auto compiled = compile(script);
        string8 out;
        if (!compiled || !track->format_title(hook, out, compiled))
            return "<failed>";
        return out.str();
    }

    std::string format(const std::string& script, titleformat_hook* hook = nullptr) {
        return format(script, song, hook);
    }

    test_host host;
    // music/Album/Song.mp3 in the test profile.
    metadb_handle_ptr song = host.track("Album/Song.mp3");
};

// One row of a table: a script and the text it must give.
struct format_case {
    const char* script;
    const char* expected;
};
