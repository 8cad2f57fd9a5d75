// The configuration variable that carries the whole store of the
// configuration-file method through the host's configuration: the host reads it
// at start-up, whichever method is active, and asks for it at every save.
#pragma once

#include "frame/cfg_var.h"

class cfg_storage_content final : public cfg_var {
public:
    cfg_storage_content(const GUID& guid, const GUID& earlier_guid) : cfg_var(guid, earlier_guid) {}

    // Writes the store under its lock. While the host is shutting down it first
    // runs the method's save hook, which closes the active storage before the
    // settings are taken.
    void write_data(stream_writer& out, abort_callback& abort) override;
    // Replaces the store under its lock with the `size_hint` bytes offered.
    // Corrupt data raises exception_io_data.
    void read_data(stream_reader& in, size_t size_hint, abort_callback& abort) override;
};
