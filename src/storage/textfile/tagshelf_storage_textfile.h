// The storage method that keeps the fields in the text file "tagshelf.txt" in the
// profile directory: the file is read whole into the store at open and written
// whole from the store at close; in between, everything happens in memory.
#pragma once

#include <functional>
#include <string>

#include "storage/storage_impl.h"

class tagshelf_storage_textfile : public tagshelf_storage_impl<storage_tag_textfile> {
public:
    static constexpr GUID guid = {
        0x55F4AA48, 0x445B, 0x4CD1, {0xB4, 0x9B, 0x97, 0xB2, 0xA9, 0x4B, 0x3B, 0x96}};

    const char* get_name() override { return "Text file (sonarith\\tagshelf.txt)"; }
    const GUID& get_guid() override { return guid; }
    // Reads the data file into the store. Without a data file it creates one that
    // holds an empty store. When the data file is missing or unreadable but the
    // backup a rewrite keeps is readable, loads the backup and says so on the
    // console. Raises with a message when neither can be read; the store is then
    // empty and no file has changed.
    void open(save_hook hook) override;
    // Writes the store to the data file and empties the store. The new content goes
    // to a temporary file that is flushed to disk before it takes the data file's
    // name, and the previous file stays as the backup until then, so a crash or a
    // failure at any moment leaves a complete file for the next open. Raises with
    // a message when writing fails; the store is emptied either way. Without a
    // successful open it only empties the store and leaves the files alone.
    void close() override;
    void get_writer(service_ptr_t<tagshelf_reader_writer>& out) override { make_writer(out); }
    void get_reader(service_ptr_t<tagshelf_reader>& out) override { make_reader(out); }

    // The files in the profile directory.
    static std::string data_path();
    static std::string backup_path();
    static std::string temporary_path();

    // The steps of close that touch the disk, in order.
    enum class close_step {
        set_aside_previous,  // the previous data file becomes the backup
        create_temporary,
        write,
        flush,
        replace,  // the temporary file takes the data file's name
        delete_backup,
    };
    // For tests: called before each step of close; an exception it raises counts
    // as that step's failure. An empty hook removes it.
    static void set_close_fault_hook(std::function<void(close_step)> hook);

private:
    bool m_open = false;
    // The content came from the backup because the data file was missing or unreadable.
    bool m_loaded_from_backup = false;
};

// This component's text-file storage, alive for the life of the module.
service_impl_single_t<tagshelf_storage_textfile>& tagshelf_storage_textfile_instance();
