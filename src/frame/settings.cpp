// The settings stream: one record per configuration variable, each the variable's
// GUID (16 bytes), the length of its data (32-bit little-endian) and the data.
#include "frame/cfg_var.h"
#include "frame/component_client.h"
#include "sdk/exceptions.h"

namespace {

cfg_var* find_variable(const GUID& guid) {
    for (cfg_var* var = cfg_var::chain_head(); var; var = var->get_next()) {
        if (var->get_guid() == guid)
            return var;
    }
    return nullptr;
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

void read_settings(stream_reader& in, abort_callback& abort) {
    for (;;) {
        uint8_t guid_bytes[16];
        if (in.read(guid_bytes, 16, abort) < 16)
            return;  // the stream is exhausted
        size_t length = in.read_lendian_u32(abort);
        cfg_var* var = find_variable(guid_from_bytes(guid_bytes));
        if (!var) {
            // Settings of another version of the component: skipped unharmed.
            in.skip(length, abort);
            continue;
        }
        stream_reader_limited record(in, length);
        try {
            var->read_data(record, length, abort);
        } catch (const exception_io_data&) {
            // A malformed record keeps whatever the variable reached; the next
            // record is still read.
        }
        record.skip(record.remaining(), abort);
    }
}
