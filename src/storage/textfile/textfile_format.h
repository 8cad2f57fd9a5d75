// The text file's format. All text is UTF-8; every line ends with CR LF. The file
// is a header line (the format's GUID), the entry count, and one record per
// entry: path line, subsong line, pair count line, then per value of the entry a
// pair record: name length line, the name's bytes, CR LF, value length line, the
// value's bytes, CR LF. Names and values are read by their length, so they may
// hold line breaks themselves. Integers are decimal, without sign, leading zeros
// or blanks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/abort.h"
#include "sdk/file.h"
#include "storage/store.h"

namespace textfile_format {

// The GUID on the header line, written upper case without braces.
inline constexpr GUID header_guid = {
    0xD08C788A, 0x7F13, 0x40C5, {0xB3, 0xB2, 0xE4, 0xB4, 0xED, 0x99, 0xE6, 0xF7}};
// The largest count or length a line may hold.
inline constexpr uint32_t max_count = 2147483647u;
// Subsong indexes use the whole unsigned 32-bit range.
inline constexpr uint32_t max_subsong = 4294967295u;

// Whether `line` starts with the header GUID. Hexadecimal digits may be of either
// case, and braces and hyphens may stand anywhere among them; what follows the
// 32nd digit is not looked at.
bool is_header(std::string_view line);

// Whether a path can be stored on a line of its own and read back unchanged:
// non-empty valid UTF-8, no CR LF inside, and no CR at its end (which the line's
// own CR LF would turn into a CR CR LF that does not end the line).
bool can_store_path(std::string_view path);

// Reads one data file through a buffer, by the format's rules for lines,
// integer lines and byte runs. Reading starts at the beginning of the file.
// Failures raise std::exception with the message the user is shown.
class reader {
public:
    explicit reader(file& source);

    bool at_end();
    // Bytes not yet read.
    uint64_t remaining() const { return m_size - m_consumed; }
    // A line ends only at CR LF or at the end of the file; neither is kept. A
    // lone LF, or a CR with anything but LF after it, belongs to the line; a CR
    // that is the file's last byte is dropped.
    std::string read_line();
    // A line holding a canonical decimal integer from 0 to `max`, else "Invalid
    // integer.".
    uint32_t read_integer_line(uint32_t max = max_count);
    // Exactly `length` bytes, else "Invalid file format or disk error.".
    std::string read_exact(size_t length);

private:
    bool fill();
    char next_byte();

    file& m_file;
    abort_callback_dummy m_abort;
    std::vector<char> m_buffer;
    size_t m_begin = 0;
    size_t m_end = 0;
    uint64_t m_size = 0;
    uint64_t m_consumed = 0;
};

enum class load_outcome { loaded, empty_file };

// Reads a whole data file into `store`, which the caller has emptied and whose lock
// the caller holds. A zero-byte file loads as an empty store. On failure the store
// holds part of the file and the caller empties it again.
load_outcome load(file& source, tagshelf_store& store);

// Writes every entry of `store` that has fields, in table order. A path or a
// field that the file could not give back unchanged is left out, and `skipped`
// hears why, so that one unusual entry never makes the whole file unreadable.
void write(file& target, const tagshelf_store& store,
           const std::function<void(const std::string&)>& skipped);

}  // namespace textfile_format
