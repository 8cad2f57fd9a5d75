#include "support/crash_child.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

const char profile_variable[] = "TAGSHELF_CRASH_CHILD_PROFILE";
const char parent_variable[] = "TAGSHELF_CRASH_CHILD_PARENT_PROFILE";
const char ready_variable[] = "TAGSHELF_CRASH_CHILD_READY";

namespace fs = std::filesystem;

// Makes the profile `to` hold what `from` holds, but for the lock of the session
// that holds each.
void mirror_profile(const std::string& from, const std::string& to) {
    const auto is_lock = [](const fs::path& item) { return item.filename() == "session.lock"; };
    fs::create_directories(fs::u8path(to));
    for (const auto& item : fs::directory_iterator(fs::u8path(to))) {
        if (!is_lock(item.path()))
            fs::remove_all(item.path());
    }
    for (const auto& item : fs::directory_iterator(fs::u8path(from))) {
        if (!is_lock(item.path()))
            fs::copy(item.path(), fs::u8path(to) / item.path().filename(),
                     fs::copy_options::recursive);
    }
}

std::vector<std::string> child_command() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::vector<std::string> command = emulator_command();
    command.push_back(test_process::this_program());
    command.push_back(std::string("--gtest_filter=") + test->test_suite_name() + "." +
                      test->name());
    return command;
}

}  // namespace

crash_child::crash_child(const std::string& profile) : m_profile(profile) {
    mirror_profile(profile, m_control.file("profile"));
    m_process = std::make_unique<test_process>(
        child_command(), test_process::streams{"", "", ""},
        std::vector<std::string>{std::string(profile_variable) + "=" + m_control.file("profile"),
                                 std::string(parent_variable) + "=" + profile,
                                 std::string(ready_variable) + "=" + m_control.file("ready")});
}

bool crash_child::kill() {
    const bool killed = m_process->kill();
    mirror_profile(m_control.file("profile"), m_profile);
    return killed;
}

bool crash_child::wait_until_ready() {
    const auto ready = fs::u8path(m_control.file("ready"));
    while (!fs::exists(ready)) {
        if (!m_process->running())
            return fs::exists(ready);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool crash_child::in_child() {
    return std::getenv(profile_variable) != nullptr;
}

std::string crash_child::working_profile() {
    return std::getenv(profile_variable);
}

std::string crash_child::parent_profile() {
    return std::getenv(parent_variable);
}

void crash_child::ready() {
    std::ofstream(fs::u8path(std::getenv(ready_variable)));
}

void crash_child::wait_for_the_kill() {
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

void crash_child::end(int status) {
    std::_Exit(status);
}
