#include "host/core/settings_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string_view>

#include "sdk/abort.h"
#include "sdk/stream.h"

namespace fs = std::filesystem;

namespace {

// Compares the settings a component writes, as they are written, with the
// records of the file it was given: the settings of a million stored entries
// are never held a second time.
class settings_comparison final : public stream_writer {
public:
    explicit settings_comparison(const std::vector<uint8_t>& file) {
        const char* data = reinterpret_cast<const char*>(file.data());
        size_t at = 0;
        while (at < file.size() && m_whole) {
            const size_t left = file.size() - at;
            const size_t length = left < 20 ? 0 : little_endian_u32(file.data() + at + 16);
            // Bytes that make no whole record, and a second record of one GUID, are
            // not read by the component as such; its save cannot give them back.
            m_whole = left >= 20 && left - 20 >= length &&
                      m_records
                          .try_emplace(std::string_view(data + at, 16),
                                       record{std::string_view(data + at + 20, length)})
                          .second;
            at += 20 + length;
        }
    }

    void write(const void* buffer, size_t size, abort_callback&) override {
        const char* bytes = static_cast<const char*>(buffer);
        while (size > 0) {
            size_t taken;
            if (m_header_size < 20) {
                taken = std::min(size, 20 - m_header_size);
                std::memcpy(m_header + m_header_size, bytes, taken);
                m_header_size += taken;
                if (m_header_size == 20)
                    start_record();
            } else {
                taken = std::min(size, m_left);
                m_same = m_same && m_expected &&
                         std::memcmp(m_expected->data.data() + m_at, bytes, taken) == 0;
                m_at += taken;
                m_left -= taken;
            }
            bytes += taken;
            size -= taken;
            if (m_header_size == 20 && m_left == 0)
                end_record();
        }
    }

    // Whether every record of the file was written again byte for byte.
    bool file_written_again() const {
        if (!m_whole || m_header_size != 0)
            return false;
        for (const auto& item : m_records) {
            if (!item.second.written_again)
                return false;
        }
        return true;
    }

private:
    struct record {
        std::string_view data;
        bool written_again = false;
    };

    static uint32_t little_endian_u32(const uint8_t* p) {
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    void start_record() {
        m_left = little_endian_u32(m_header + 16);
        m_at = 0;
        auto found = m_records.find(std::string_view(reinterpret_cast<char*>(m_header), 16));
        m_expected = found != m_records.end() && found->second.data.size() == m_left
                         ? &found->second
                         : nullptr;
        m_same = true;
    }
    void end_record() {
        if (m_expected && m_same)
            m_expected->written_again = true;
        m_header_size = 0;
    }

    std::map<std::string_view, record> m_records;  // the file's, by GUID
    bool m_whole = true;
    uint8_t m_header[20];
    size_t m_header_size = 0;
    size_t m_left = 0;  // bytes of the record being written still to come
    size_t m_at = 0;
    record* m_expected = nullptr;  // the file's record of the same GUID and length
    bool m_same = true;
};

}  // namespace

bool settings_read_in_full(component_client& client, const std::vector<uint8_t>& file) {
    settings_comparison comparison(file);
    abort_callback_dummy abort;
    client.get_config(&comparison, abort);
    return comparison.file_written_again();
}

std::string keep_damaged_file(const std::string& path) {
    std::string kept = path + ".damaged";
    for (int n = 2; fs::exists(fs::symlink_status(kept)); ++n)
        kept = path + ".damaged." + std::to_string(n);
    // A second name for the file's bytes costs nothing, and the save that follows
    // puts a new file under the old name; a copy serves where links are refused.
    std::error_code linked;
    fs::create_hard_link(path, kept, linked);
    if (linked)
        fs::copy_file(path, kept);
    return kept;
}
