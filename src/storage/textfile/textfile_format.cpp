#include "storage/textfile/textfile_format.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "sdk/guid.h"
#include "sdk/utf8.h"
#include "service/progress_meter.h"
#include "storage/stored_text.h"

namespace textfile_format {

namespace {

constexpr size_t buffer_size = 1 << 16;
constexpr char line_end[] = "\r\n";
// The smallest record: a one-byte path, subsong and pair count, each with CR LF.
constexpr uint64_t smallest_record = 9;

[[noreturn]] void fail(const char* message) {
    throw std::runtime_error(message);
}

bool is_hex_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool is_valid_text(std::string_view text) {
    return is_valid_utf8(text.data(), text.size());
}

// Collects output and hands it to the file in large blocks.
class buffered_writer {
public:
    explicit buffered_writer(file& target) : m_file(target) { m_buffer.reserve(buffer_size); }

    void line(std::string_view text) {
        append(text);
        append(std::string_view(line_end, 2));
    }
    void integer_line(uint64_t value) { line(std::to_string(value)); }
    void finish() {
        if (!m_buffer.empty())
            m_file.write(m_buffer.data(), m_buffer.size(), m_abort);
        m_buffer.clear();
    }

private:
    void append(std::string_view text) {
        if (m_buffer.size() + text.size() > buffer_size) {
            finish();
            if (text.size() > buffer_size) {
                m_file.write(text.data(), text.size(), m_abort);
                return;
            }
        }
        m_buffer.insert(m_buffer.end(), text.begin(), text.end());
    }

    file& m_file;
    abort_callback_dummy m_abort;
    std::vector<char> m_buffer;
};

// The pairs of one entry that the file can hold, counted before the entry is written.
size_t storable_pairs(const x_info& fields) {
    size_t pairs = 0;
    for (size_t i = 0, n = fields.get_field_count(); i < n; ++i) {
        std::string_view name = fields.get_field_name(i);
        if (!is_valid_text(name))
            continue;
        for (size_t j = 0, m = fields.get_value_count(i); j < m; ++j) {
            if (is_valid_text(fields.get_value(i, j)))
                ++pairs;
        }
    }
    return pairs;
}

}  // namespace

bool is_header(std::string_view line) {
    size_t digits = 0;
    size_t used = 0;
    while (digits < 32 && used < line.size()) {
        char c = line[used++];
        if (is_hex_digit(c)) {
            ++digits;
        } else if (c != '{' && c != '}' && c != '-') {
            return false;
        }
    }
    auto guid = guid_from_string(line.substr(0, used));
    return guid && *guid == header_guid;
}

bool can_store_path(std::string_view path) {
    return !path.empty() && is_valid_text(path) && path.find(line_end) == std::string_view::npos &&
           path.back() != '\r';
}

reader::reader(file& source) : m_file(source), m_buffer(buffer_size) {
    m_file.seek(0, m_abort);
    m_size = m_file.get_size(m_abort);
}

bool reader::fill() {
    m_begin = 0;
    m_end = m_file.read(m_buffer.data(), m_buffer.size(), m_abort);
    return m_end > 0;
}

bool reader::at_end() {
    return m_begin == m_end && !fill();
}

char reader::next_byte() {
    ++m_consumed;
    return m_buffer[m_begin++];
}

std::string reader::read_line() {
    std::string line;
    while (!at_end()) {
        char c = next_byte();
        if (c != '\r') {
            line += c;
            continue;
        }
        if (at_end())
            break;
        char after = next_byte();
        if (after == '\n')
            break;
        line += c;
        line += after;
    }
    return line;
}

uint32_t reader::read_integer_line(uint32_t max) {
    std::string line = read_line();
    // Canonical form only: digits, no leading zero except in "0" itself.
    if (line.empty() || line.size() > 10 || (line[0] == '0' && line.size() > 1))
        fail("Invalid integer.");
    uint64_t value = 0;
    for (char c : line) {
        if (c < '0' || c > '9')
            fail("Invalid integer.");
        value = value * 10 + uint64_t(c - '0');
    }
    if (value > max)
        fail("Invalid integer.");
    return uint32_t(value);
}

std::string reader::read_exact(size_t length) {
    // A length beyond the end of the file is refused before any memory is taken
    // for it, so a damaged length cannot exhaust memory.
    if (length > remaining())
        fail("Invalid file format or disk error.");
    std::string text;
    text.reserve(length);
    while (text.size() < length) {
        if (at_end())
            fail("Invalid file format or disk error.");
        size_t take = std::min(length - text.size(), m_end - m_begin);
        text.append(m_buffer.data() + m_begin, take);
        m_begin += take;
        m_consumed += take;
    }
    return text;
}

load_outcome load(file& source, tagshelf_store& store) {
    reader in(source);
    if (in.at_end())
        return load_outcome::empty_file;
    if (!is_header(in.read_line()))
        fail("Incorrect file header.");
    uint32_t entries = in.read_integer_line();
    tagshelf_store::bulk_loader loader(store);
    loader.reserve(size_t(std::min<uint64_t>(entries, in.remaining() / smallest_record)));
    progress_meter progress("Reading tagshelf.txt", entries);
    for (uint32_t e = 0; e < entries; ++e) {
        progress.advance(e);
        // Checked as it stands in the file, then taken up to its first zero byte,
        // like every text the store loads.
        std::string path = in.read_line();
        if (!is_valid_text(path))
            fail("Filename not valid");
        end_at_first_zero(path);
        if (path.empty())
            fail("Filename not valid");
        uint32_t subsong = in.read_integer_line(max_subsong);
        uint32_t pairs = in.read_integer_line();
        x_info_impl fields;
        for (uint32_t p = 0; p < pairs; ++p) {
            std::string name = in.read_exact(in.read_integer_line());
            if (!is_valid_text(name))
                fail("Field name not utf-8.");
            if (!in.read_line().empty())
                fail("Invalid file format, line change expected.");
            std::string value = in.read_exact(in.read_integer_line());
            if (!is_valid_text(value))
                fail("Value string not utf-8.");
            if (!in.read_line().empty())
                fail("Invalid file format, line change expected.");
            // Zero-terminated: a name or value ends at its first zero byte.
            fields.add_value(name.c_str(), value.c_str());
        }
        loader.add(std::move(path), subsong, std::move(fields));
    }
    if (!in.at_end())
        fail("End of file expected.");
    loader.commit();
    return load_outcome::loaded;
}

void write(file& target, const tagshelf_store& store,
           const std::function<void(const std::string&)>& skipped) {
    // First pass: which entries go into the file, for the count line.
    std::vector<size_t> pair_counts;
    pair_counts.reserve(store.entry_count());
    size_t written = 0;
    for (const storage_entry* entry : store.entries()) {
        size_t pairs = 0;
        if (!entry->fields.empty()) {
            if (can_store_path(entry->location.path())) {
                pairs = storable_pairs(packed_fields::view(entry->fields));
                if (pairs < entry->fields.total_value_count()) {
                    skipped("Not saved to tagshelf.txt: fields of " +
                            std::string(entry->location.path()) + " that are not valid UTF-8.");
                }
            } else {
                skipped("Not saved to tagshelf.txt: the fields of " +
                        std::string(entry->location.path()) +
                        ", a path that cannot be written as one line of text.");
            }
        }
        pair_counts.push_back(pairs);
        if (pairs > 0)
            ++written;
    }

    buffered_writer out(target);
    out.line(guid_to_string_bare(header_guid));
    out.integer_line(written);
    auto pairs_of = pair_counts.begin();
    for (const storage_entry* stored : store.entries()) {
        const size_t pairs = *pairs_of++;
        if (pairs == 0)
            continue;
        const storage_entry& entry = *stored;
        out.line(entry.location.path());
        out.integer_line(entry.location.get_subsong());
        out.integer_line(pairs);
        const packed_fields::view fields(entry.fields);
        for (size_t i = 0, n = fields.get_field_count(); i < n; ++i) {
            std::string_view name = fields.get_field_name(i);
            if (!is_valid_text(name))
                continue;
            for (size_t j = 0, m = fields.get_value_count(i); j < m; ++j) {
                std::string_view value = fields.get_value(i, j);
                if (!is_valid_text(value))
                    continue;
                out.integer_line(name.size());
                out.line(name);
                out.integer_line(value.size());
                out.line(value);
            }
        }
    }
    out.finish();
}

}  // namespace textfile_format
