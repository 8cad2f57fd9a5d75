// A program that a test starts and may kill: the host program, or a copy of the
// test program itself. Its standard input comes from a file or from the test as
// it goes; its output and errors go to files.
#pragma once

#include <memory>
#include <string>
#include <vector>

class test_process {
public:
    struct streams {
        std::string in;   // a file to read; "" for a pipe that send() feeds
        std::string out;  // files to write; "" for the null device
        std::string err;
    };
    // Starts `command` (the program, then its arguments) with `environment`
    // ("NAME=value" each) added to this process's own. Throws when it cannot start.
    test_process(const std::vector<std::string>& command, const streams& files,
                 const std::vector<std::string>& environment = {});
    // Kills the program when it still runs.
    ~test_process();
    test_process(const test_process&) = delete;
    test_process& operator=(const test_process&) = delete;

    // Writes `text` to the program's input pipe; false when it has stopped reading.
    bool send(const std::string& text);
    // Closes the input pipe: the program reads the end of its input.
    void close_input();
    // Whether the program has not ended yet.
    bool running();
    // Waits for the end: the exit status, or -1 when the program did not exit by
    // itself (killed, or a crash).
    int wait();
    // After wait(): the program's peak resident memory in KiB, or 0 where the
    // system does not say.
    long peak_resident_kib() const;
    // Ends the program at once, as a crash or a power cut would, and waits for it;
    // true when it was still running.
    bool kill();

    // The file of the running test program.
    static std::string this_program();

    struct system_state;

private:
    std::unique_ptr<system_state> m_state;
};
