#include "host/core/profile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "sdk/file.h"

namespace fs = std::filesystem;

std::optional<std::vector<uint8_t>> read_whole_file(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) {
        if (!fs::exists(fs::u8path(path)))
            return std::nullopt;
        throw std::runtime_error("Cannot read " + path);
    }
    // Read in blocks of the file's size where it has one: a library file may hold
    // a million lines.
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    in.clear();
    in.seekg(0, std::ios::beg);
    const size_t block = size_t(std::max<std::streamoff>(size + 1, 1 << 16));
    std::vector<uint8_t> data;
    while (in) {
        size_t at = data.size();
        data.resize(at + block);
        in.read(reinterpret_cast<char*>(data.data() + at), std::streamsize(block));
        data.resize(at + size_t(in.gcount()));
    }
    if (in.bad())
        throw std::runtime_error("Cannot read " + path);
    return data;
}

void write_file_atomically(const std::string& path, const std::vector<uint8_t>& data) {
    write_file_atomically(path, reinterpret_cast<const char*>(data.data()), data.size());
}

void write_file_atomically(const std::string& path, const std::string& text) {
    write_file_atomically(path, text.data(), text.size());
}

profile_lock::profile_lock(const std::string& directory, std::chrono::milliseconds limit,
                           const std::function<void()>& on_wait)
    : m_file(directory + path_separator + "session.lock") {
    if (m_file.try_lock())
        return;
    std::string running = " is running";
    if (limit.count() > 0) {
        on_wait();
        // The system offers no waiting lock with a time limit everywhere, so the
        // lock is tried again a few times a second until the other session ends.
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (m_file.try_lock())
                return;
        }
        char waited[32];
        std::snprintf(waited, sizeof waited, "%g", double(limit.count()) / 1000);
        running = std::string(" is still running after ") + waited + " s";
    }
    throw std::runtime_error("another session of the profile " + directory + running +
                             "; this session ends having read and written nothing of it");
}
