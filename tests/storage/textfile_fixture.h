// A host session with a fresh profile and the text-file storage closed and empty,
// plus helpers to write, read and describe what the storage keeps.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "storage/textfile/tagshelf_storage_textfile.h"
#include "support/test_host.h"

class TextFileStorageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    tagshelf_storage_textfile& storage() { return tagshelf_storage_textfile_instance(); }
    tagshelf_store& store() { return tagshelf_storage_textfile::store(); }

    std::string data_file() const { return host.profile() + "/tagshelf.txt"; }
    std::string backup_file() const { return host.profile() + "/tagshelf.txt.backup"; }
    std::string temporary_file() const { return host.profile() + "/tagshelf.txt.tmp"; }

    // The message of the failure that `action` raises, or "" when it succeeds.
    template <class F>
    static std::string failure_of(F&& action) {
        try {
            action();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }

    // The host's track handle for a location given by its full path.
    metadb_handle_ptr track(const std::string& path, uint32_t subsong = 0);
    // The profile's "music" folder path of `name`, as the host names tracks.
    std::string music(const std::string& name) const {
        return file_url(host.profile() + "/music/" + name);
    }
    // Appends a value through a writer of the open storage.
    void add(const std::string& path, uint32_t subsong, const char* name, const char* value);

    // What the open storage holds, one line per entry with fields, keyed by
    // "path#subsong": "NAME=value|value;NAME=value".
    std::map<std::string, std::string> contents();
    // Opens, reads the contents and closes again.
    std::map<std::string, std::string> reopened_contents();
    // Console lines of this session so far.
    const std::vector<std::string>& console() { return host.session().console().lines(); }

    test_host host;
};

// CR LF after every line.
std::string crlf_lines(const std::vector<std::string>& lines);
// The file header line's text.
extern const char* const textfile_header;

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
