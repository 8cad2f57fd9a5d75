#include "storage/textfile/tagshelf_storage_textfile.h"

#include <mutex>
#include <stdexcept>
#include <utility>

#include "frame/host_ops.h"
#include "sdk/file.h"
#include "storage/textfile/textfile_format.h"

namespace {

using close_step = tagshelf_storage_textfile::close_step;
using fault_hook = std::function<void(close_step)>;

fault_hook& close_fault_hook() {
    static fault_hook hook;
    return hook;
}

void reach(const fault_hook* hook, close_step step) {
    if (hook && *hook)
        (*hook)(step);
}

[[noreturn]] void fail(const std::string& message) {
    throw std::runtime_error(message);
}

// The user sees a fixed message for a failed save; the system's own reason goes
// to the console beside it.
void note_reason(const std::exception& e) {
    host_ops::console_print(std::string("Saving tagshelf.txt: ") + e.what());
}

enum class write_result { done, create_failed, write_failed };

// Writes the store to the temporary file, flushes it to disk and only then gives
// it the name `target`, so that `target` never names a partly written file.
write_result write_replacing(const std::string& target, const tagshelf_store& store,
                             const fault_hook* hook) {
    const std::string temporary = tagshelf_storage_textfile::temporary_path();
    abort_callback_dummy abort;
    service_ptr_t<file> out;
    try {
        reach(hook, close_step::create_temporary);
        filesystem::g_open(out, temporary.c_str(), filesystem::open_mode_write_new, abort);
    } catch (const std::exception& e) {
        note_reason(e);
        return write_result::create_failed;
    }
    try {
        reach(hook, close_step::write);
        textfile_format::write(*out, store,
                               [](const std::string& line) { host_ops::console_print(line); });
        reach(hook, close_step::flush);
        out->flush(abort);
        out.release();
        reach(hook, close_step::replace);
        if (!uMoveFile(temporary.c_str(), target.c_str()))
            throw exception_io("Cannot rename " + temporary + " to " + target);
    } catch (const std::exception& e) {
        note_reason(e);
        out.release();
        uDeleteFile(temporary.c_str());
        return write_result::write_failed;
    }
    return write_result::done;
}

// Loads `path` into the emptied store; on failure empties it again and answers
// the reason, naming the file as `name`.
bool try_load(const std::string& path, const char* name, tagshelf_store& store,
              std::string& problem) {
    abort_callback_dummy abort;
    service_ptr_t<file> in;
    try {
        filesystem::g_open(in, path.c_str(), filesystem::open_mode_read, abort);
    } catch (const std::exception&) {
        problem = std::string("Couldn't open file ") + name + ".";
        return false;
    }
    try {
        textfile_format::load(*in, store);
        return true;
    } catch (const std::exception& e) {
        store.remove_all();
        problem = std::string("Couldn't read file ") + name + ". " + e.what();
        return false;
    }
}

constexpr char backup_loaded[] = " Loaded the backup copy tagshelf.txt.backup instead.";

}  // namespace

std::string tagshelf_storage_textfile::data_path() {
    return host_ops::profile_file("tagshelf.txt");
}

std::string tagshelf_storage_textfile::backup_path() {
    return host_ops::profile_file("tagshelf.txt.backup");
}

std::string tagshelf_storage_textfile::temporary_path() {
    return host_ops::profile_file("tagshelf.txt.tmp");
}

void tagshelf_storage_textfile::set_close_fault_hook(std::function<void(close_step)> hook) {
    close_fault_hook() = std::move(hook);
}

void tagshelf_storage_textfile::open(save_hook) {
    tagshelf_store& data = store();
    // Held for the whole read, as a writer would hold it.
    store_lock_hold lock(data);
    data.remove_all();
    m_open = false;
    m_loaded_from_backup = false;

    const std::string path = data_path();
    const bool have_backup = uFindFirstFile(backup_path().c_str());
    std::string problem;

    if (!uFindFirstFile(path.c_str())) {
        if (!have_backup) {
            // A new file holds a complete empty store at once, so a crash before
            // the first close still leaves a file that opens.
            if (write_replacing(path, data, nullptr) != write_result::done)
                fail("Couldn't create file tagshelf.txt.");
        } else {
            // A rewrite stopped after setting the previous file aside.
            if (!try_load(backup_path(), "tagshelf.txt.backup", data, problem))
                fail(problem);
            host_ops::console_print(std::string("File tagshelf.txt is missing.") + backup_loaded);
            m_loaded_from_backup = true;
        }
        m_open = true;
        return;
    }

    abort_callback_dummy abort;
    service_ptr_t<file> in;
    try {
        filesystem::g_open(in, path.c_str(), filesystem::open_mode_read, abort);
    } catch (const std::exception&) {
        fail("Couldn't open file tagshelf.txt.");
    }
    bool empty_file = false;
    try {
        empty_file = textfile_format::load(*in, data) == textfile_format::load_outcome::empty_file;
    } catch (const std::exception& e) {
        data.remove_all();
        problem = std::string("Couldn't read file tagshelf.txt. ") + e.what();
    }
    in.release();

    // A zero-byte data file is an empty store, unless a backup beside it shows
    // that a rewrite was cut short right after creating it.
    if (problem.empty() && !(empty_file && have_backup)) {
        m_open = true;
        return;
    }
    std::string backup_problem;
    if (have_backup && try_load(backup_path(), "tagshelf.txt.backup", data, backup_problem)) {
        host_ops::console_print(
            (problem.empty() ? std::string("File tagshelf.txt is empty.") : problem) +
            backup_loaded);
        m_loaded_from_backup = true;
        m_open = true;
        return;
    }
    if (!problem.empty())
        fail(problem);
    m_open = true;
}

void tagshelf_storage_textfile::close() {
    tagshelf_store& data = store();
    store_lock_hold lock(data);
    // Whatever happens below, the method ends closed with an empty store.
    struct empty_on_exit {
        tagshelf_store& store;
        ~empty_on_exit() { store.remove_all(); }
    } empty_store{data};

    // Without a loaded store there is nothing to save, and writing an empty store
    // would wipe a file that merely failed to load.
    if (!m_open)
        return;
    m_open = false;
    const bool from_backup = std::exchange(m_loaded_from_backup, false);
    const fault_hook* hook = &close_fault_hook();
    const std::string path = data_path();
    const std::string backup = backup_path();

    try {
        reach(hook, close_step::set_aside_previous);
        if (from_backup) {
            // The backup holds the last good content and stays until the new file
            // is in place; the data file beside it, if any, could not be read.
            if (uFindFirstFile(path.c_str()) && !uDeleteFile(path.c_str()))
                throw exception_io("Cannot delete " + path);
        } else if (uFindFirstFile(path.c_str())) {
            uDeleteFile(backup.c_str());
            if (!uMoveFile(path.c_str(), backup.c_str()))
                throw exception_io("Cannot rename " + path + " to " + backup);
        }
    } catch (const std::exception& e) {
        note_reason(e);
        fail("Opening file tagshelf.txt for writing failed.");
    }

    switch (write_replacing(path, data, hook)) {
        case write_result::create_failed:
            fail("Opening file tagshelf.txt for writing failed.");
        case write_result::write_failed:
            fail("Writing to file tagshelf.txt failed. Backup copy in file tagshelf.txt.backup.");
        case write_result::done:
            break;
    }

    try {
        reach(hook, close_step::delete_backup);
        uDeleteFile(backup.c_str());
    } catch (const std::exception&) {
        // A backup left behind is harmless: the data file beside it is complete and
        // is the one the next open reads.
    }
}

service_impl_single_t<tagshelf_storage_textfile>& tagshelf_storage_textfile_instance() {
    static service_impl_single_t<tagshelf_storage_textfile> instance;
    return instance;
}
