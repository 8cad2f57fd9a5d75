// What some tests need of the system beyond what every system offers. Where the
// system lacks it, the test is skipped with the reason, which is kept here, once
// per feature, for every test that needs it.
#pragma once

#include <gtest/gtest.h>

enum class system_feature {
    // dialogs of the host's headless window layer: the component's dialog calls
    // reach it where the system has no windows of its own
    headless_dialogs,
    // an open dialog that takes a bare file name for the file with the default
    // extension added
    bare_name_default_extension,
};

// nullptr where this system has `feature`; otherwise why a test that needs it
// cannot run here.
const char* missing(system_feature feature);

// Skips the running test where this system lacks `feature`; stands first in the
// test's body.
#define SKIP_WITHOUT(feature)                                        \
    if (const char* skip_reason_ = missing(system_feature::feature)) \
    GTEST_SKIP() << skip_reason_
