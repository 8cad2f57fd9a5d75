// The current test run again in a process of its own, for tests that kill a
// process part-way as a crash or a power cut would. The child runs the test from
// its start: the test asks in_child() which part it plays. A profile is held by
// one session at a time, so the child's test_host works on a copy of the
// parent's profile, whose files replace the parent's once the child is killed.
#pragma once

#include <memory>
#include <string>

#include "support/run_host.h"
#include "support/test_process.h"

class crash_child {
public:
    // In the parent: starts the child over a copy of `profile`.
    explicit crash_child(const std::string& profile);
    // Waits until the child has called ready(); false when it ended first.
    bool wait_until_ready();
    // Kills the child at once, and puts what it left in its profile in place of
    // the parent's; true when the child was still running.
    bool kill();

    // Whether this process is such a child.
    static bool in_child();
    // In a child, the copy of the parent's profile that its session works on.
    static std::string working_profile();
    // In a child, the parent's profile, by which the test names tracks and files.
    static std::string parent_profile();
    // In a child: tells the parent that it has come to where it may be killed.
    static void ready();
    // In a child: waits to be killed.
    [[noreturn]] static void wait_for_the_kill();
    // In a child: ends it at once, with `status`, leaving everything as it is.
    [[noreturn]] static void end(int status);

private:
    std::string m_profile;
    temp_directory m_control;  // the child's profile, and where it says it is ready
    std::unique_ptr<test_process> m_process;
};
