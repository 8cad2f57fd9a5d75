#include "support/test_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <stdexcept>

extern char** environ;

struct test_process::system_state {
    pid_t pid = -1;
    int input = -1;  // the write end of the input pipe, or -1
    bool ended = false;
    int status = -1;
    long peak_kib = 0;

    // Takes the program's end, when `options` lets wait4 find it.
    void reap(int options) {
        int raw = 0;
        rusage usage{};
        pid_t got;
        while ((got = wait4(pid, &raw, options, &usage)) < 0 && errno == EINTR) {
        }
        if (got != pid)
            return;
        ended = true;
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        peak_kib = usage.ru_maxrss;
    }
};

namespace {

void add_redirect(posix_spawn_file_actions_t& actions, int fd, const std::string& path, int flags) {
    posix_spawn_file_actions_addopen(&actions, fd, path.empty() ? "/dev/null" : path.c_str(), flags,
                                     0644);
}

}  // namespace

test_process::test_process(const std::vector<std::string>& command, const streams& files,
                           const std::vector<std::string>& environment)
    : m_state(std::make_unique<system_state>()) {
    // A program that stops reading must fail send(), not end this one.
    signal(SIGPIPE, SIG_IGN);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipe_ends[2] = {-1, -1};
    if (files.in.empty()) {
        if (pipe2(pipe_ends, O_CLOEXEC) != 0)
            throw std::runtime_error("cannot make a pipe");
        posix_spawn_file_actions_adddup2(&actions, pipe_ends[0], STDIN_FILENO);
    } else {
        add_redirect(actions, STDIN_FILENO, files.in, O_RDONLY);
    }
    add_redirect(actions, STDOUT_FILENO, files.out, O_WRONLY | O_CREAT | O_TRUNC);
    add_redirect(actions, STDERR_FILENO, files.err, O_WRONLY | O_CREAT | O_TRUNC);

    std::vector<char*> argv;
    for (const auto& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** entry = environ; *entry; ++entry)
        envp.push_back(*entry);
    for (const auto& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    const int failed =
        posix_spawnp(&m_state->pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (pipe_ends[0] >= 0)
        close(pipe_ends[0]);
    if (failed) {
        if (pipe_ends[1] >= 0)
            close(pipe_ends[1]);
        throw std::runtime_error("cannot start " + command[0] + ": " + std::strerror(failed));
    }
    m_state->input = pipe_ends[1];
}

test_process::~test_process() {
    kill();
    close_input();
}

bool test_process::send(const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t wrote = write(m_state->input, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += size_t(wrote);
    }
    return true;
}

void test_process::close_input() {
    if (m_state->input >= 0)
        close(m_state->input);
    m_state->input = -1;
}

bool test_process::running() {
    if (!m_state->ended)
        m_state->reap(WNOHANG);
    return !m_state->ended;
}

int test_process::wait() {
    if (!m_state->ended)
        m_state->reap(0);
    return m_state->status;
}

long test_process::peak_resident_kib() const {
    return m_state->peak_kib;
}

bool test_process::kill() {
    if (!running())
        return false;
    ::kill(m_state->pid, SIGKILL);
    wait();
    return true;
}

std::string test_process::this_program() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0)
        throw std::runtime_error("cannot find this program's file");
    return std::string(path, size_t(length));
}
