// The host's profile directory and its files.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/core/file_lock.h"

// $SONARITH_PROFILE when set, else the user's own folder for it: ~/.sonarith,
// or on Windows sonarith in the user's roaming application data.
std::string default_profile_directory();
// How the help text names that default.
extern const char default_profile_description[];

// Reads a whole file; nothing when it does not exist. Raises on other errors.
std::optional<std::vector<uint8_t>> read_whole_file(const std::string& path);

// Replaces `path` so that a crash at any moment leaves either the old or the new
// content complete: writes a temporary file beside it, flushes it to disk, renames
// it over the old file and flushes the directory. Raises on failure.
void write_file_atomically(const std::string& path, const char* data, size_t size);
void write_file_atomically(const std::string& path, const std::vector<uint8_t>& data);
void write_file_atomically(const std::string& path, const std::string& text);

// One host session at a time on a profile, as the player runs one instance per
// profile: two sessions that read, change and save the same files would each
// save over what the other wrote. The session holds an exclusive lock on
// `session.lock` in the profile for its whole life; the system releases it when
// the process ends, however it ends.
class profile_lock {
public:
    // Takes the lock of the profile `directory` (which exists). While another
    // session holds it, calls `on_wait` once and waits for that session to end,
    // at most `limit` (with no limit, not at all); raises when it has not ended
    // by then.
    profile_lock(const std::string& directory, std::chrono::milliseconds limit,
                 const std::function<void()>& on_wait);

private:
    file_lock m_file;
};
