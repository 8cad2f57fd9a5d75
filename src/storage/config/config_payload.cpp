#include "storage/config/config_payload.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "sdk/exceptions.h"
#include "storage/stored_text.h"

namespace {

// The least bytes a record can take: an empty path, the subsong and the pair count.
constexpr uint64_t min_entry_bytes = 4 + 4 + 4;
// The least bytes a pair can take: two empty strings.
constexpr uint64_t min_pair_bytes = 4 + 4;

void write_string(stream_writer& out, std::string_view text, abort_callback& abort) {
    // A longer text cannot be announced in 32 bits; writing it would corrupt
    // everything after it.
    if (text.size() > std::numeric_limits<uint32_t>::max())
        throw exception_io_data("Text too long for the configuration");
    out.write_lendian_u32(uint32_t(text.size()), abort);
    out.write(text.data(), text.size(), abort);
}

// Reads the payload from a stream limited to its own bytes, so that every
// announced size can be checked against what is left before it is believed.
class payload_reader {
public:
    payload_reader(stream_reader& in, size_t size) : m_in(in, size) {}

    uint32_t read_u32(abort_callback& abort) { return m_in.read_lendian_u32(abort); }

    // `count` items of at least `item_bytes` each must fit in what is left.
    void expect_room(uint64_t count, uint64_t item_bytes, const char* what) const {
        if (count > m_in.remaining() / item_bytes)
            throw exception_io_data(std::string("Corrupted configuration data: ") + what +
                                    " larger than the data");
    }

    // A string as the store keeps it: up to its first zero byte.
    std::string read_string(abort_callback& abort) {
        uint32_t length = read_u32(abort);
        expect_room(length, 1, "text");
        std::string text = m_in.read_string_raw(length, abort);
        end_at_first_zero(text);
        return text;
    }

private:
    stream_reader_limited m_in;
};

void read_entries(tagshelf_store& store, tagshelf_store::bulk_loader& loader, payload_reader& in,
                  abort_callback& abort) {
    uint32_t count = in.read_u32(abort);
    in.expect_room(count, min_entry_bytes, "entry count");
    store.remove_all();
    loader.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        std::string path = in.read_string(abort);
        uint32_t subsong = in.read_u32(abort);
        x_info_impl fields;
        // A record cut short keeps the pairs read before the failure.
        try {
            uint32_t pairs = in.read_u32(abort);
            in.expect_room(pairs, min_pair_bytes, "value count");
            for (uint32_t p = 0; p < pairs; ++p) {
                std::string name = in.read_string(abort);
                std::string value = in.read_string(abort);
                size_t field = fields.find_field(name.data(), name.size());
                if (field == x_info::npos) {
                    fields.add_field(name.data(), name.size(), value.data(), value.size());
                } else {
                    fields.insert_value(field, fields.get_value_count(field), value.data(),
                                        value.size());
                }
            }
        } catch (...) {
            loader.add(std::move(path), subsong, std::move(fields));
            throw;
        }
        loader.add(std::move(path), subsong, std::move(fields));
    }
}

}  // namespace

void write_config_payload(const tagshelf_store& store, stream_writer& out, abort_callback& abort) {
    uint32_t stored = 0;
    for (const storage_entry* entry : store.entries()) {
        if (!entry->fields.empty())
            ++stored;
    }
    out.write_lendian_u32(stored, abort);
    for (const storage_entry* entry : store.entries()) {
        if (entry->fields.empty())
            continue;
        const packed_fields::view fields(entry->fields);
        write_string(out, entry->location.path(), abort);
        out.write_lendian_u32(entry->location.get_subsong(), abort);
        out.write_lendian_u32(uint32_t(fields.get_total_value_count()), abort);
        for (size_t f = 0, n = fields.get_field_count(); f < n; ++f) {
            const std::string_view name = fields.get_field_name(f);
            for (size_t v = 0, values = fields.get_value_count(f); v < values; ++v) {
                write_string(out, name, abort);
                write_string(out, fields.get_value(f, v), abort);
            }
        }
    }
}

void read_config_payload(tagshelf_store& store, stream_reader& in, size_t size,
                         abort_callback& abort) {
    payload_reader reader(in, size);
    // The records are stored in bulk, so records written in another order (by hand,
    // or by a build whose case mapping gave other hashes) still land where lookups
    // find them, and repeated locations merge as storing them one by one would.
    tagshelf_store::bulk_loader loader(store);
    try {
        read_entries(store, loader, reader, abort);
    } catch (...) {
        // Records already read stay.
        loader.commit();
        throw;
    }
    loader.commit();
}
