// Closing must never lose the last good file: whatever step of a rewrite fails,
// and wherever the process dies while closing, the next open finds the previous
// or the new content by itself.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "storage/textfile_fixture.h"
#include "support/crash_child.h"
#include "support/file_size_limit.h"

namespace {

using close_step = tagshelf_storage_textfile::close_step;

class TextFileRecovery : public TextFileStorageTest {
protected:
    // Leaves the previous content on disk: one entry rated "old".
    void save_previous() {
        storage().open(nullptr);
        add("song.mp3", 0, "RATING", "old");
        storage().close();
        previous_bytes = read_file(data_file());
    }
    // Opens the previous content and changes it to the new one.
    void open_and_change() {
        storage().open(nullptr);
        service_ptr_t<tagshelf_reader_writer> writer;
        storage().get_writer(writer);
        tagshelf_handle_ptr handle;
        writer->get_handle(handle, track("song.mp3"));
        writer->set_value(handle, "RATING", "new");
        writer->get_handle(handle, track("added.mp3"));
        writer->set_value(handle, "RATING", "new");
    }

    const std::map<std::string, std::string> previous = {{"song.mp3#0", "RATING=old"}};
    const std::map<std::string, std::string> changed = {{"added.mp3#0", "RATING=new"},
                                                        {"song.mp3#0", "RATING=new"}};
    std::string previous_bytes;
};

struct injected_failure {
    close_step step;
    const char* message;  // "" when close still succeeds
    bool keeps_previous;  // the next open finds the previous content
};

TEST_F(TextFileRecovery, AFailureAtAnyStepOfCloseLeavesALoadableFile) {
    const char* cannot_open = "Opening file tagshelf.txt for writing failed.";
    const char* cannot_write =
        "Writing to file tagshelf.txt failed. Backup copy in file tagshelf.txt.backup.";
    const std::vector<injected_failure> cases = {
        {close_step::set_aside_previous, cannot_open, true},
        {close_step::create_temporary, cannot_open, true},
        {close_step::write, cannot_write, true},
        {close_step::flush, cannot_write, true},
        {close_step::replace, cannot_write, true},
        {close_step::delete_backup, "", false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(int(row.step));
        std::remove(data_file().c_str());
        std::remove(backup_file().c_str());
        save_previous();
        open_and_change();
        tagshelf_storage_textfile::set_close_fault_hook([&](close_step step) {
            if (step == row.step)
                throw exception_io("injected failure");
        });
        EXPECT_EQ(failure_of([&] { storage().close(); }), row.message);
        tagshelf_storage_textfile::set_close_fault_hook({});
        EXPECT_EQ(store().entry_count(), 0u);
        EXPECT_FALSE(file_exists(temporary_file()));
        if (std::string(row.message) == cannot_write) {
            EXPECT_EQ(read_file(backup_file()), previous_bytes);
        }

        EXPECT_EQ(reopened_contents(), row.keeps_previous ? previous : changed);
        // The close after a recovery leaves the ordinary state: one complete file.
        EXPECT_FALSE(file_exists(backup_file()));
        EXPECT_EQ(reopened_contents(), row.keeps_previous ? previous : changed);
    }
}

TEST_F(TextFileRecovery, AFailedCloseAfterARecoveryStillKeepsTheBackup) {
    // Until a new data file is in place, the backup is the only good copy.
    for (close_step failing : {close_step::set_aside_previous, close_step::create_temporary,
                               close_step::write, close_step::flush, close_step::replace}) {
        SCOPED_TRACE(int(failing));
        std::remove(data_file().c_str());
        std::remove(backup_file().c_str());
        save_previous();
        std::rename(data_file().c_str(), backup_file().c_str());
        write_file(data_file(), "cut short");
        open_and_change();
        tagshelf_storage_textfile::set_close_fault_hook([&](close_step step) {
            if (step == failing)
                throw exception_io("injected failure");
        });
        EXPECT_NE(failure_of([&] { storage().close(); }), "");
        tagshelf_storage_textfile::set_close_fault_hook({});
        EXPECT_EQ(read_file(backup_file()), previous_bytes);
        EXPECT_EQ(reopened_contents(), previous);
    }
}

TEST_F(TextFileRecovery, ARealWriteFailureKeepsThePreviousFileAsTheBackup) {
    save_previous();
    storage().open(nullptr);
    // Far more than the file-size limit below lets the temporary file hold.
    std::string big(1 << 20, 'x');
    add("song.mp3", 0, "BIG", big.c_str());

    std::string message;
    {
        file_size_limit limit(64 * 1024);
        message = failure_of([&] { storage().close(); });
    }

    EXPECT_EQ(message,
              "Writing to file tagshelf.txt failed. Backup copy in file tagshelf.txt.backup.");
    EXPECT_EQ(read_file(backup_file()), previous_bytes);
    EXPECT_FALSE(file_exists(temporary_file()));
    EXPECT_EQ(reopened_contents(), previous);
    EXPECT_EQ(console().back(),
              "File tagshelf.txt is missing. Loaded the backup copy tagshelf.txt.backup instead.");
}

TEST_F(TextFileRecovery, AnUnreadableDataFileBesideABackupLoadsTheBackup) {
    save_previous();
    // What a rewrite cut short by an older version of this component leaves: the
    // previous file under the backup name and a partly written data file.
    std::rename(data_file().c_str(), backup_file().c_str());
    write_file(data_file(), previous_bytes.substr(0, previous_bytes.size() / 2));
    storage().open(nullptr);
    EXPECT_EQ(contents(), previous);
    EXPECT_EQ(console().back().rfind("Couldn't read file tagshelf.txt. ", 0), 0u);
    EXPECT_NE(console().back().find("Loaded the backup copy tagshelf.txt.backup instead."),
              std::string::npos);
    add("song.mp3", 0, "MOOD", "calm");
    storage().close();
    EXPECT_FALSE(file_exists(backup_file()));
    std::map<std::string, std::string> expected = {{"song.mp3#0", "RATING=old;MOOD=calm"}};
    EXPECT_EQ(reopened_contents(), expected);
}

TEST_F(TextFileRecovery, AZeroByteDataFileBesideABackupLoadsTheBackup) {
    save_previous();
    std::rename(data_file().c_str(), backup_file().c_str());
    write_file(data_file(), "");
    EXPECT_EQ(reopened_contents(), previous);
    EXPECT_EQ(reopened_contents(), previous);
}

TEST_F(TextFileRecovery, AnUnreadableFileWithoutABackupIsRefusedNotReplaced) {
    write_file(data_file(), "damaged");
    EXPECT_EQ(failure_of([&] { storage().open(nullptr); }),
              "Couldn't read file tagshelf.txt. Incorrect file header.");
    storage().close();
    EXPECT_EQ(read_file(data_file()), "damaged");
}

TEST_F(TextFileRecovery, AnUnreadableBackupWithoutADataFileIsRefused) {
    write_file(backup_file(), "damaged");
    EXPECT_EQ(failure_of([&] { storage().open(nullptr); }),
              "Couldn't read file tagshelf.txt.backup. Incorrect file header.");
    EXPECT_FALSE(file_exists(data_file()));
    EXPECT_EQ(read_file(backup_file()), "damaged");
}

TEST_F(TextFileRecovery, ADataFileThatCannotBeOpenedIsReportedAsSuch) {
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::u8path(data_file())));
    EXPECT_EQ(failure_of([&] { storage().open(nullptr); }), "Couldn't open file tagshelf.txt.");
    std::filesystem::remove(std::filesystem::u8path(data_file()));
}

TEST_F(TextFileRecovery, AFirstFileThatCannotBeCreatedIsReportedAsSuch) {
    // A directory in the temporary file's place stops the file from being made.
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::u8path(temporary_file())));
    EXPECT_EQ(failure_of([&] { storage().open(nullptr); }), "Couldn't create file tagshelf.txt.");
    EXPECT_FALSE(file_exists(data_file()));
    std::filesystem::remove(std::filesystem::u8path(temporary_file()));
}

// Each entry's RATING holds the generation of the close that wrote it; a loaded
// store is consistent when every entry holds the same generation.
std::map<std::string, size_t> generations_of(const std::map<std::string, std::string>& contents) {
    std::map<std::string, size_t> count;
    for (const auto& [location, fields] : contents)
        ++count[fields];
    return count;
}

TEST_F(TextFileRecovery, KillingTheProcessWhileItClosesNeverLosesTheStore) {
    constexpr size_t entries = 20000;
    constexpr int trials = 12;
    if (crash_child::in_child()) {
        // The child opens, moves every entry to the next generation, tells the
        // parent it starts closing, and closes.
        storage().open(nullptr);
        const auto loaded = generations_of(contents());
        const std::string next =
            std::to_string(std::stoi(loaded.begin()->first.substr(sizeof "RATING=" - 1)) + 1);
        for (storage_entry* entry : store().entries()) {
            x_info_impl fields = entry->fields.unpack();
            fields.set_value("RATING", text_to_terminator, next.c_str(), text_to_terminator);
            entry->fields.assign(fields);
        }
        crash_child::ready();
        storage().close();
        crash_child::end(0);
    }
    // Generation 0 on disk.
    storage().open(nullptr);
    {
        tagshelf_store::bulk_loader loader(store());
        for (size_t i = 0; i < entries; ++i) {
            x_info_impl fields;
            fields.add_value("RATING", "0");
            loader.add("track " + std::to_string(i), 0, std::move(fields));
        }
        loader.commit();
    }
    auto started = std::chrono::steady_clock::now();
    storage().close();
    auto close_time = std::chrono::steady_clock::now() - started;

    std::mt19937 random(20261208);
    int generation = 0;
    int saw_new = 0;
    for (int trial = 0; trial < trials; ++trial) {
        SCOPED_TRACE(trial);
        crash_child child(host.profile());
        ASSERT_TRUE(child.wait_until_ready());
        // Moments spread over the whole close and a little beyond it.
        std::uniform_real_distribution<double> share(0.0, 1.3);
        std::this_thread::sleep_for(
            std::chrono::duration_cast<std::chrono::microseconds>(close_time * share(random)));
        child.kill();

        storage().open(nullptr);
        auto loaded = generations_of(contents());
        ASSERT_EQ(loaded.size(), 1u) << "entries of different generations after a kill";
        const std::string& fields = loaded.begin()->first;
        ASSERT_EQ(loaded.begin()->second, entries);
        ASSERT_TRUE(fields == "RATING=" + std::to_string(generation) ||
                    fields == "RATING=" + std::to_string(generation + 1))
            << fields;
        if (fields != "RATING=" + std::to_string(generation)) {
            ++generation;
            ++saw_new;
        }
        storage().close();
        EXPECT_FALSE(file_exists(backup_file()));
        EXPECT_FALSE(file_exists(temporary_file()));
    }
    RecordProperty("closes_completed_before_the_kill", saw_new);
}

}  // namespace
