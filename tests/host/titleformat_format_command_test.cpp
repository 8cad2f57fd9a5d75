// The format command of the real host program.
#include <gtest/gtest.h>

#include "support/run_host.h"

namespace {

TEST(FormatCommand, PrintsOneLinePerTrack) {
    temp_directory profile;
    auto result = run_host({"--profile", profile.path(), "format",
                            "%filename_ext%|%subsong%|%directoryname%|%path%|[%nope%]$add(,1)",
                            "/music/a.mp3", "/music/Live Set/b c.flac#2"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "a.mp3|0|music|" + native_path("/music/a.mp3") + "|1\n" +
                              "b c.flac|2|Live Set|" + native_path("/music/Live Set/b c.flac") +
                              "|1\n");
}

TEST(FormatCommand, ScriptThatDoesNotCompileIsAnError) {
    temp_directory profile;
    auto result = run_host({"--profile", profile.path(), "format", "[%artist%", "/music/a.mp3"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("the script does not compile: a '[' section is not closed with "
                              "']' (at the end of the script)"),
              std::string::npos)
        << result.err;
}

TEST(FormatCommand, MissingTrackIsAUsageError) {
    temp_directory profile;
    auto result = run_host({"--profile", profile.path(), "format", "%path%"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: sonarith-host format SCRIPT TRACK..."), std::string::npos)
        << result.err;
}

}  // namespace
