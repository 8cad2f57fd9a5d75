// Switching the active storage method: open the new one, optionally copy the old
// content into it, prune entries outside the media library, re-bind every live
// handle, close the old one, save the choice, and redraw the affected tracks.
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame/config_vars.h"
#include "frame/host_ops.h"
#include "sdk/host_access.h"
#include "service/handle_wrapper.h"
#include "service/report_error.h"
#include "service/storage_contents.h"
#include "service/tagshelf_impl.h"
#include "storage/accessors.h"

namespace {

// The configuration-file method saves with the host's settings, so it is the one
// method that gets the save hook.
constexpr GUID config_method_guid = {
    0x99F8068B, 0x28CF, 0x4C3C, {0x81, 0xAB, 0x09, 0xD8, 0x46, 0x47, 0xA5, 0xF7}};

service_ptr_t<tagshelf_storage> find_storage_method(const GUID& target) {
    service_ptr_t<tagshelf_storage> found;
    if (target == guid_null)
        return found;
    service_enum<tagshelf_storage>([&](const service_ptr_t<tagshelf_storage>& method) {
        if (method->get_guid() != target)
            return true;
        found = method;
        return false;
    });
    return found;
}

}  // namespace

const char* const held_accessor_message =
    "The tagshelf storage cannot be switched while this thread holds a reader or writer of "
    "it; release it first.";

// What a switch leaves to do once its locks are released: the failures to report,
// in order, and the tracks to redraw.
struct tagshelf_impl::switch_outcome {
    struct failure {
        std::string message;
        std::string error_text;
        bool has_error_text = false;
    };
    std::vector<failure> failures;
    metadb_handle_list tracks;
    bool refresh = false;

    // Inside a catch block: records `message` with the handled exception's text.
    void fail(const char* message) {
        failure item{message, {}, false};
        try {
            throw;
        } catch (const std::exception& error) {
            const char* text = error.what();
            if (text && *text) {
                item.error_text = text;
                item.has_error_text = true;
            }
        } catch (...) {
        }
        failures.push_back(std::move(item));
    }
};

void tagshelf_impl::switch_storage(const GUID& target, bool copy, bool save, bool refresh) {
    switch_outcome outcome;
    if (store_lock_hold::held_by_this_thread()) {
        // The switch would wait for the switch lock and then for the stores with
        // this thread's store lock held, while a switch on another thread takes
        // them the other way round. It is refused before any lock is taken.
        outcome.failures.push_back({"Switching storage failed", held_accessor_message, true});
    } else {
        locked_switch(target, copy, save, refresh, outcome);
    }
    // Reported only now, with no store held: a message box may stay open for long.
    for (const auto& failure : outcome.failures) {
        report_error(failure.message.c_str(), false,
                     failure.has_error_text ? failure.error_text.c_str() : nullptr);
    }
    if (!outcome.refresh)
        return;
    try {
        host_ops::refresh_tracks(outcome.tracks);
    } catch (...) {
        report_current_error("Refreshing the changed tracks failed", false);
    }
}

void tagshelf_impl::locked_switch(const GUID& target, bool copy, bool save, bool refresh,
                                  switch_outcome& outcome) {
    barrier();
    try {
        std::lock_guard<std::recursive_mutex> serial(m_switching);
        run_switch(target, copy, save, refresh, outcome);
    } catch (...) {
        outcome.fail("Switching storage failed");
    }
}

void tagshelf_impl::run_switch(const GUID& target, bool copy, bool save, bool refresh,
                               switch_outcome& outcome) {
    ++m_load_attempts;
    service_ptr_t<tagshelf_storage> old_storage = snapshot().storage;
    const GUID current = old_storage ? old_storage->get_guid() : guid_null;
    if (target == current) {
        if (save)
            cfg_storage_method = target;
        return;
    }

    service_ptr_t<tagshelf_storage> new_storage;
    service_ptr_t<tagshelf_reader_writer> writer;
    // Undoes the opening of the new method after a failure; the old one stays.
    auto abandon_new_storage = [&] {
        writer.release();
        try {
            new_storage->close();
        } catch (...) {
            outcome.fail("Closing storage failed");
        }
        new_storage.release();
    };

    try {
        new_storage = find_storage_method(target);
        if (new_storage)
            new_storage->open(target == config_method_guid ? &tagshelf_impl::save_hook : nullptr);
    } catch (...) {
        outcome.fail("Storage initialization failed");
        return;
    }

    // The switch never holds the stores of both methods at once: two switches in
    // opposite directions would otherwise take the two store locks in opposite
    // orders. So the content to copy is read out first, with only the old store
    // held (waiting for other threads' readers and writers of it).
    storage_contents copied;
    const bool copying = copy && old_storage && new_storage;
    if (copying) {
        try {
            service_ptr_t<tagshelf_reader> reader;
            old_storage->get_reader(reader);
            if (!reader)
                throw std::runtime_error("Null interface was returned.");
            copied = read_contents(*reader);
        } catch (...) {
            outcome.fail("Copying storage contents failed");
            abandon_new_storage();
            return;
        }
    }

    const uint32_t binding = ++m_last_binding;
    if (new_storage) {
        // One writer of the new method does all of the switch's work on it (for the
        // SQLite method, one transaction).
        try {
            new_storage->get_writer(writer);
            if (!writer)
                throw std::runtime_error("Null interface was returned.");
            if (refresh && !copy)
                collect_tracks(*writer, outcome.tracks);
        } catch (...) {
            outcome.fail("Reading list of storage entries failed");
            abandon_new_storage();
            return;
        }
        if (copying) {
            try {
                write_contents(*writer, copied);
            } catch (...) {
                // The new method's earlier content, already removed, stays removed.
                outcome.fail("Copying storage contents failed");
                abandon_new_storage();
                return;
            }
        }
        if (cfg_library_only.get() != 0) {
            try {
                prune_non_library(*writer, moved_files::followed,
                                  refresh ? &outcome.tracks : nullptr);
            } catch (...) {
                outcome.fail("Removing non-library entries failed");
                abandon_new_storage();
                return;
            }
        }
        // Handles are re-bound after copying and pruning, so that they name the
        // entries those made; a handle bound before remove_all would name an entry
        // that is no longer stored.
        try {
            prepare_handles(*writer, binding);
        } catch (...) {
            outcome.fail("Creating tagshelf handles failed.");
            abandon_new_storage();
            save = true;
        }
        writer.release();
    }

    // From here the switch completes. Holding a reader of the old storage waits
    // until no other thread holds one of its readers or writers, and keeps it so
    // while handles change storage and the old storage closes.
    service_ptr_t<tagshelf_reader> old_reader;
    std::exception_ptr old_reader_error;
    if (old_storage) {
        try {
            old_storage->get_reader(old_reader);
            if (!old_reader)
                throw std::runtime_error("Null interface was returned.");
        } catch (...) {
            old_reader_error = std::current_exception();
        }
    }
    if (new_storage) {
        commit_handles(binding);
    } else {
        clear_handles(binding);
    }
    publish(new_storage, binding);

    if (old_storage) {
        if (refresh) {
            try {
                if (old_reader_error)
                    std::rethrow_exception(old_reader_error);
                collect_tracks(*old_reader, outcome.tracks);
            } catch (...) {
                outcome.fail("Closing storage failed");
            }
        }
        // Closed even when listing failed: closing is what writes a method's data.
        try {
            old_storage->close();
        } catch (...) {
            outcome.fail("Closing storage failed");
        }
        old_reader.release();
        old_storage.release();
    }

    if (save)
        cfg_storage_method = new_storage ? target : guid_null;
    outcome.refresh = refresh;
}

void tagshelf_impl::prepare_handles(tagshelf_reader_writer& writer, uint32_t binding) {
    m_handles.for_each([&](handle_registry::node& node) {
        auto& wrapper = static_cast<tagshelf_handle_wrapper&>(node);
        tagshelf_handle_ptr storage_handle;
        writer.get_handle(storage_handle, wrapper.track());
        wrapper.prepare(std::move(storage_handle), binding);
    });
}

void tagshelf_impl::commit_handles(uint32_t binding) {
    m_handles.for_each([&](handle_registry::node& node) {
        static_cast<tagshelf_handle_wrapper&>(node).commit(binding);
    });
}

void tagshelf_impl::clear_handles(uint32_t binding) {
    m_handles.for_each([&](handle_registry::node& node) {
        static_cast<tagshelf_handle_wrapper&>(node).clear(binding);
    });
}
