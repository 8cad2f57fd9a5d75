// The settings stream: one record per configuration variable, each the variable's
// GUID (16 bytes), the length of its data (32-bit little-endian) and the data.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "frame/cfg_var.h"
#include "frame/component_client.h"
#include "frame/component_state.h"
#include "sdk/exceptions.h"

namespace {

// The variable a record's GUID names, and whether it names it by the GUID of an
// earlier build.
struct record_owner {
    cfg_var* var = nullptr;
    bool earlier = false;
};

record_owner find_variable(const GUID& guid) {
    for (cfg_var* var = cfg_var::chain_head(); var; var = var->get_next()) {
        if (var->get_guid() == guid)
            return {var, false};
    }
    for (cfg_var* var = cfg_var::chain_head(); var; var = var->get_next()) {
        if (var->get_earlier_guid() != guid_null && var->get_earlier_guid() == guid)
            return {var, true};
    }
    return {};
}

}  // namespace

void write_settings(stream_writer& out, abort_callback& abort) {
    stream_writer_buffer buffer;
    for (cfg_var* var = cfg_var::chain_head(); var; var = var->get_next()) {
        buffer.clear();
        var->write_data(buffer, abort);
        out.write_guid(var->get_guid(), abort);
        out.write_lendian_u32(uint32_t(buffer.data().size()), abort);
        if (!buffer.data().empty())
            out.write(buffer.data().data(), buffer.data().size(), abort);
    }
}

// Reads up to `length` bytes of a record. The buffer grows with the bytes that
// really arrive, so a record that announces more than the stream holds costs no
// more memory than the stream itself.
std::vector<uint8_t> read_record(stream_reader& in, size_t length, abort_callback& abort) {
    constexpr size_t first_chunk = size_t(64) << 10;
    std::vector<uint8_t> data;
    while (data.size() < length) {
        const size_t have = data.size();
        const size_t want = std::min(length - have, std::max(first_chunk, have));
        data.resize(have + want);
        const size_t got = in.read(data.data() + have, want, abort);
        data.resize(have + got);
        if (got < want)
            break;  // the stream ended inside the record
    }
    return data;
}

void read_settings(stream_reader& in, abort_callback& abort) {
    // The variables read under their own GUID so far: a record of an earlier build
    // never overrides one of this build, wherever the two stand in the stream.
    std::vector<const cfg_var*> read_under_own_guid;
    for (;;) {
        uint8_t guid_bytes[16];
        if (in.read(guid_bytes, 16, abort) < 16)
            return;  // the stream is exhausted
        size_t length = in.read_lendian_u32(abort);
        auto [var, earlier] = find_variable(guid_from_bytes(guid_bytes));
        const bool superseded = var && earlier &&
                                std::find(read_under_own_guid.begin(), read_under_own_guid.end(),
                                          var) != read_under_own_guid.end();
        if (!var || superseded) {
            // Settings of another version of the component, or an earlier build's
            // record of a variable already read: skipped unharmed.
            in.skip(length, abort);
            continue;
        }
        if (!earlier)
            read_under_own_guid.push_back(var);
        // The variable sees exactly the bytes of its record that exist, and learns
        // their true number: every length it reads inside is checked against that,
        // never against what the record announced.
        const std::vector<uint8_t> data = read_record(in, length, abort);
        stream_reader_memblock record(data.data(), data.size());
        try {
            var->read_data(record, data.size(), abort);
        } catch (const exception_io_data& error) {
            // A malformed record keeps whatever the variable reached; the next
            // record is still read. The damage is told once the console is there.
            component_state::note_settings_damage(std::string("Damaged settings record ") +
                                                  guid_to_string(var->get_guid()) +
                                                  " was read in part: " + error.what());
        }
    }
}
