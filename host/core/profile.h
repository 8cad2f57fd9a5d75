// The host's profile directory and its files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// $SONARITH_PROFILE when set, else ~/.sonarith.
std::string default_profile_directory();

// Reads a whole file; nothing when it does not exist. Raises on other errors.
std::optional<std::vector<uint8_t>> read_whole_file(const std::string& path);

// Replaces `path` so that a crash at any moment leaves either the old or the new
// content complete: writes a temporary file beside it, flushes it to disk, renames
// it over the old file and flushes the directory. Raises on failure.
void write_file_atomically(const std::string& path, const std::vector<uint8_t>& data);
void write_file_atomically(const std::string& path, const std::string& text);
