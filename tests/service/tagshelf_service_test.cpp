// The tagshelf service as other components use it: readers and writers of the
// active storage, handles, refreshes after writes, and the failures users see.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "service/my_initquit.h"
#include "service_test_host.h"
#include "storage/config/tagshelf_storage_config.h"

namespace {

using names = std::vector<std::string>;

names sorted(names list) {
    std::sort(list.begin(), list.end());
    return list;
}

TEST(TagshelfService, FreshInstallationOpensNothingAndHandsOutNoReaderOrWriter) {
    service_test_host host;
    host.start(guid_null);
    EXPECT_EQ(method_a.opens, 0);
    EXPECT_EQ(method_b.opens, 0);

    // Slots already holding something are left exactly as they were.
    service_ptr_t<tagshelf_reader> reader =
        make_service<tagshelf_accessor_rdlock>(method_a.store());
    tagshelf_reader* before = reader.get_ptr();
    EXPECT_FALSE(host.shelf().get_reader(reader));
    EXPECT_EQ(reader.get_ptr(), before);
    service_ptr_t<tagshelf_reader_writer> writer;
    EXPECT_FALSE(host.shelf().get_writer(writer));
    EXPECT_FALSE(writer.is_valid());
    EXPECT_TRUE(host.boxes().empty()) << "having no storage is not an error";
    EXPECT_EQ(host.shelf().current_storage_guid(), guid_null);
}

TEST(TagshelfService, ConfiguredMethodOpensAtStartAndClosesAtStop) {
    service_test_host host;
    method_a.put(host.track("one.mp3"), "RATING", "4");
    host.start(method_a_guid);
    EXPECT_EQ(method_a.opens, 1);
    EXPECT_EQ(method_a.received_hook, nullptr) << "only the config-file method gets the hook";
    EXPECT_EQ(host.value(host.track("one.mp3"), "RATING"), "4");
    EXPECT_EQ(host.shelf().current_storage_guid(), method_a_guid);

    host.stop();
    EXPECT_EQ(method_a.closes, 1);
    EXPECT_EQ(cfg_storage_method.get(), method_a_guid) << "the next start opens it again";
}

TEST(TagshelfService, ConfigFileMethodIsOpenedWithTheShutdownHook) {
    service_test_host host;
    host.start(tagshelf_storage_config::method_guid);
    ASSERT_EQ(host.shelf().current_storage_guid(), tagshelf_storage_config::method_guid);
    EXPECT_EQ(tagshelf_storage_config::current_save_hook(), &tagshelf_impl::save_hook);
}

TEST(TagshelfService, StopNotificationThenSaveHookClosesOnlyOnce) {
    service_test_host host;
    host.start(method_a_guid);
    my_initquit::instance().on_quit();
    tagshelf_impl::save_hook();
    host.stop();
    EXPECT_EQ(method_a.closes, 1);
    EXPECT_FALSE(host.shelf().storage_active());
    EXPECT_EQ(method_a.opens, 1) << "nothing reopens after shutdown";
}

TEST(TagshelfService, WriterThroughWhichNothingWasWrittenStillSendsOneEmptyRefresh) {
    service_test_host host;
    host.start(method_a_guid);
    const size_t before = host.refreshes().size();
    {
        service_ptr_t<tagshelf_reader_writer> writer;
        ASSERT_TRUE(host.shelf().get_writer(writer));
        tagshelf_handle_ptr handle;
        writer->get_handle(handle, host.track("one.mp3"));
        EXPECT_FALSE(writer->has_info(handle));
    }
    auto refreshes = host.refreshes();
    ASSERT_EQ(refreshes.size(), before + 1);
    EXPECT_TRUE(refreshes.back().empty());
}

TEST(TagshelfService, WritesRefreshTheTracksTheyTouchedWhenTheWriterGoes) {
    service_test_host host;
    method_a.put(host.track("old1.mp3"), "RATING", "1");
    method_a.put(host.track("old2.mp3"), "RATING", "2");
    host.start(method_a_guid);

    struct row {
        const char* what;
        void (*write)(tagshelf_reader_writer&, const tagshelf_handle_ptr& a,
                      const tagshelf_handle_ptr& b);
        names refreshed;
    };
    const row rows[] = {
        {"set_value", [](auto& w, auto& a, auto&) { w.set_value(a, "MOOD", "calm"); }, {"a.mp3"}},
        {"add_value twice",
         [](auto& w, auto& a, auto&) {
             w.add_value(a, "MOOD", "x");
             w.add_value(a, "MOOD", "y");
         },
         {"a.mp3", "a.mp3"}},
        {"copy_info refreshes only the target",
         [](auto& w, auto& a, auto& b) { w.copy_info(a, b); },
         {"b.mp3"}},
        {"remove_field", [](auto& w, auto&, auto& b) { w.remove_field(b, "MOOD"); }, {"b.mp3"}},
        {"remove_info", [](auto& w, auto& a, auto&) { w.remove_info(a); }, {"a.mp3"}},
    };
    for (const auto& r : rows) {
        {
            service_ptr_t<tagshelf_reader_writer> writer;
            ASSERT_TRUE(host.shelf().get_writer(writer));
            tagshelf_handle_ptr a, b;
            writer->get_handle(a, host.track("a.mp3"));
            writer->get_handle(b, host.track("b.mp3"));
            r.write(*writer, a, b);
        }
        EXPECT_EQ(host.refreshes().back(), r.refreshed) << r.what;
    }

    // remove_all refreshes every track that had an entry, in the storage's order.
    service_ptr_t<tagshelf_reader> reader;
    ASSERT_TRUE(host.shelf().get_reader(reader));
    tagshelf_handle_list entries;
    reader->enum_handles(entries);
    names expected;
    for (const auto& entry : entries)
        expected.push_back(file_name_of(entry->get_location()));
    reader.release();
    ASSERT_EQ(expected.size(), 3u) << "old1, old2 and the copy target b";
    {
        service_ptr_t<tagshelf_reader_writer> writer;
        ASSERT_TRUE(host.shelf().get_writer(writer));
        writer->remove_all();
    }
    EXPECT_EQ(host.refreshes().back(), expected);
    EXPECT_EQ(host.value(host.track("old1.mp3"), "RATING"), "(none)");
}

TEST(TagshelfService, ReaderAnswersTheWriterInterfaceButItsWritesChangeNothing) {
    service_test_host host;
    method_a.put(host.track("one.mp3"), "RATING", "3");
    host.start(method_a_guid);
    const size_t refreshes_before = host.refreshes().size();
    {
        service_ptr_t<tagshelf_reader> reader;
        ASSERT_TRUE(host.shelf().get_reader(reader));
        service_ptr_t<tagshelf_reader_writer> as_writer;
        ASSERT_TRUE(as_writer.query_from(reader.get_ptr()));
        EXPECT_EQ(static_cast<tagshelf_reader*>(as_writer.get_ptr()), reader.get_ptr());

        tagshelf_handle_ptr handle, other;
        as_writer->get_handle(handle, host.track("one.mp3"));
        as_writer->get_handle(other, host.track("two.mp3"));
        x_info_impl info;
        info.add_value("MOOD", "sad");
        as_writer->set_value(handle, "RATING", "5");
        as_writer->add_value(other, "RATING", "1");
        as_writer->set_info(other, info);
        as_writer->copy_info(handle, other);
        as_writer->remove_field(handle, "RATING");
        as_writer->remove_info(handle);
        as_writer->remove_all();
        EXPECT_EQ(as_writer->get_entry_count(), 1);
    }
    EXPECT_EQ(host.value(host.track("one.mp3"), "RATING"), "3");
    EXPECT_EQ(host.value(host.track("two.mp3"), "RATING"), "(none)");
    EXPECT_EQ(host.refreshes().size(), refreshes_before) << "a reader never refreshes";
}

TEST(TagshelfService, EnumHandlesEmptiesTheCallersListAndWrapsEveryEntry) {
    service_test_host host;
    method_a.put(host.track("one.mp3"), "RATING", "1");
    host.start(method_a_guid);
    service_ptr_t<tagshelf_reader_writer> writer;
    ASSERT_TRUE(host.shelf().get_writer(writer));
    tagshelf_handle_list list;
    writer->enum_handles(list);
    ASSERT_EQ(list.get_count(), 1u);
    EXPECT_EQ(file_name_of(list[0]->get_location()), "one.mp3");
    // The listed handle is the service's own: writes through it reach the entry.
    writer->add_value(list[0], "RATING", "2");
    EXPECT_EQ(writer->get_value_count(list[0], "RATING"), 2u);
    writer->remove_all();
    writer->enum_handles(list);
    EXPECT_EQ(list.get_count(), 0u) << "the earlier content of the list is gone";
}

TEST(TagshelfService, NullWriterIsReportedAndOkKeepsTheStorage) {
    service_test_host host;
    host.start(method_a_guid);
    method_a.null_accessors = true;
    service_ptr_t<tagshelf_reader_writer> writer;
    EXPECT_FALSE(host.shelf().get_writer(writer));
    ASSERT_EQ(host.boxes().size(), 1u);
    EXPECT_EQ(host.boxes()[0].caption, "snr_tagshelf");
    EXPECT_EQ(host.boxes()[0].style, 49u);
    EXPECT_EQ(host.boxes()[0].text,
              "Couldn't open tagshelf storage for writing.\r\nPress cancel to disable "
              "snr_tagshelf or ok to ignore error and continue.\r\n\r\nError message: Null "
              "interface was returned.");
    EXPECT_EQ(host.console().back(),
              "ERROR : Couldn't open tagshelf storage for writing. (Null interface was "
              "returned.)");
    EXPECT_TRUE(host.shelf().storage_active()) << "OK ignores the error";

    method_a.null_accessors = false;
    method_a.fail_accessors = true;
    service_ptr_t<tagshelf_reader> reader;
    EXPECT_FALSE(host.shelf().get_reader(reader));
    EXPECT_EQ(host.console().back(),
              "ERROR : Couldn't open tagshelf storage for reading. (store is locked out)");
}

TEST(TagshelfService, CancelInAnErrorBoxSwitchesOffSavesAndRedrawsTheOldTracks) {
    service_test_host host(false);
    method_a.put(host.track("one.mp3"), "RATING", "1");
    method_a.put(host.track("two.mp3"), "RATING", "2");
    host.start(method_a_guid);
    method_a.fail_writers = true;
    service_ptr_t<tagshelf_reader_writer> writer;
    EXPECT_FALSE(host.shelf().get_writer(writer));
    method_a.fail_writers = false;
    ASSERT_EQ(host.boxes().size(), 1u);
    EXPECT_EQ(host.boxes()[0].answer, IDCANCEL);

    EXPECT_FALSE(host.shelf().storage_active());
    EXPECT_EQ(cfg_storage_method.get(), guid_null);
    EXPECT_EQ(method_a.closes, 1);
    ASSERT_FALSE(host.refreshes().empty());
    auto redrawn = host.refreshes().back();
    std::sort(redrawn.begin(), redrawn.end());
    EXPECT_EQ(redrawn, (names{"one.mp3", "two.mp3"}));
    service_ptr_t<tagshelf_reader> reader;
    EXPECT_FALSE(host.shelf().get_reader(reader)) << "no lazy load brings it back";
}

TEST(TagshelfService, OneMessageBoxAtATimeFurtherReportsReachTheConsoleOnly) {
    // Cancel's switch fails to close the storage: that report comes while the
    // first box is still open.
    service_test_host host(false);
    host.start(method_a_guid);
    method_a.null_accessors = true;
    method_a.fail_close = true;
    service_ptr_t<tagshelf_reader_writer> writer;
    EXPECT_FALSE(host.shelf().get_writer(writer));
    EXPECT_EQ(host.boxes().size(), 1u);
    EXPECT_EQ(host.console().back(), "ERROR : Closing storage failed (cannot close)");
    EXPECT_FALSE(host.shelf().storage_active()) << "the switch completes anyway";
}

TEST(TagshelfService, RefreshAllTracksRedrawsEveryEntrysTrack) {
    service_test_host host;
    method_a.put(host.track("one.mp3"), "RATING", "1");
    method_a.put(host.track("two.mp3"), "RATING", "2");
    host.start(method_a_guid);
    host.shelf().refresh_all_tracks();
    auto redrawn = host.refreshes().back();
    std::sort(redrawn.begin(), redrawn.end());
    EXPECT_EQ(redrawn, (names{"one.mp3", "two.mp3"}));

    method_a.fail_accessors = true;
    host.shelf().refresh_all_tracks();
    EXPECT_EQ(host.console().back(),
              "ERROR : Failed to read storage contents (store is locked out)");
    ASSERT_FALSE(host.boxes().empty()) << "the failure is not shown in a box";
    EXPECT_EQ(host.boxes().back().style, 49u);
    EXPECT_TRUE(host.refreshes().back().empty()) << "what was collected is still refreshed";
}

TEST(TagshelfService, RemoveDeadEntriesDropsOnlyEntriesWhoseFileIsGone) {
    service_test_host host;
    auto make_file = [&](const std::string& name) {
        const std::string path = host.track(name)->get_location().get_path();
        std::filesystem::create_directories(
            std::filesystem::path(to_file_path(path)).parent_path());
        std::ofstream(to_file_path(path)) << "audio";
        return path;
    };
    const std::string here = make_file("here.mp3");
    method_a.put(host.track("here.mp3"), "RATING", "1");
    method_a.put(host.track("gone.mp3"), "RATING", "2");
    // Moved elsewhere in the library, the entry follows; to a place whose file is
    // gone as well, it does not.
    const std::string moved = make_file("new/Album/moved.mp3");
    method_a.put(host.track("old/Album/moved.mp3"), "RATING", "4");
    method_a.put(host.track("old/Lost/ghost.mp3"), "RATING", "5");
    host.session().library().add(host.track("new/Album/moved.mp3")->get_location());
    host.session().library().add(host.track("new/Lost/ghost.mp3")->get_location());
    // A location no file system of the host handles may still exist elsewhere.
    test_record elsewhere{"http://radio.example/stream", 0, {}};
    elsewhere.fields.add_value("RATING", "3");
    method_a.medium.push_back(elsewhere);
    host.start(method_a_guid);

    host.shelf().remove_dead_entries();
    service_ptr_t<tagshelf_reader> reader;
    ASSERT_TRUE(host.shelf().get_reader(reader));
    tagshelf_handle_list left;
    reader->enum_handles(left);
    names kept;
    for (const auto& handle : left)
        kept.push_back(handle->get_location().get_path());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (names{here, moved, "http://radio.example/stream"}));
    reader.release();
    EXPECT_EQ(host.value(host.track("new/Album/moved.mp3"), "RATING"), "4");
    EXPECT_EQ(host.console().back(), "Tag Shelf: 1 entry followed its moved file.");
    EXPECT_EQ(sorted(host.refreshes().back()),
              (names{"ghost.mp3", "gone.mp3", "moved.mp3", "moved.mp3"}))
        << "the removed tracks are redrawn, and a moved one at both places";

    method_a.fail_writers = true;
    host.shelf().remove_dead_entries();
    EXPECT_EQ(host.console().back(),
              "ERROR : Couldn't open tagshelf storage for writing. (store is locked out)")
        << "no writer: reported by get_writer, and nothing else happens";
}

TEST(TagshelfService, LockKeepsOtherThreadsWaitingForReaders) {
    service_test_host host;
    host.start(method_a_guid);
    host.shelf().lock();
    std::atomic<bool> got{false};
    std::thread other([&] {
        service_ptr_t<tagshelf_reader> reader;
        got = host.shelf().get_reader(reader);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(got) << "the other thread must wait while the lock is held";
    service_ptr_t<tagshelf_reader> mine;
    EXPECT_TRUE(host.shelf().get_reader(mine)) << "the holder itself passes";
    mine.release();
    host.shelf().unlock();
    other.join();
    EXPECT_TRUE(got);
}

TEST(TagshelfService, HandleFromElsewhereIsRefusedWithAClearError) {
    service_test_host host;
    host.start(method_a_guid);
    service_ptr_t<tagshelf_reader> own;
    method_a.get_reader(own);
    tagshelf_handle_ptr foreign;
    own->get_handle(foreign, host.track("one.mp3"));
    own.release();

    service_ptr_t<tagshelf_reader_writer> writer;
    ASSERT_TRUE(host.shelf().get_writer(writer));
    try {
        writer->set_value(foreign, "RATING", "1");
        FAIL() << "a storage's own handle must not pass";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "The handle was not obtained from the tagshelf service.");
    }
    EXPECT_THROW(writer->has_info(tagshelf_handle_ptr()), std::invalid_argument);
}

// A play counter takes a handle when a track starts playing; meanwhile the user
// rates the track through a handle of its own (spelling the path in another
// letter case); then the counter writes through the handle it kept.
class HeldHandle : public ::testing::TestWithParam<GUID> {};

TEST_P(HeldHandle, WriteAfterAnotherHandleStoredTheTrackJoinsThatEntryAndSurvivesAReopen) {
    service_test_host host;
    host.start(GetParam());
    const std::string path = host.track("played.flac")->get_location().get_path();
    auto track = [&](const std::string& spelling) {
        return host.session().tracks().track(playable_location_impl(spelling, 0));
    };
    tagshelf_handle_ptr held, rater;
    {
        service_ptr_t<tagshelf_reader> reader;
        ASSERT_TRUE(host.shelf().get_reader(reader));
        reader->get_handle(held, track(path));
    }
    // Each write through a writer of its own, taking the handle first if need be.
    auto write = [&](tagshelf_handle_ptr& handle, const std::string& spelling, const char* name,
                     const char* value) {
        service_ptr_t<tagshelf_reader_writer> writer;
        ASSERT_TRUE(host.shelf().get_writer(writer));
        if (handle.is_empty())
            writer->get_handle(handle, track(spelling));
        writer->add_value(handle, name, value);
    };
    write(rater, path.substr(0, path.size() - 11) + "PLAYED.flac", "RATING", "5");
    write(held, path, "MOOD", "calm");
    auto shown = [&] {
        service_ptr_t<tagshelf_reader> reader;
        if (!host.shelf().get_reader(reader))
            return std::string("(no storage)");
        std::string text = std::to_string(reader->get_entry_count()) + " entry:";
        for (const auto& handle : {held, rater}) {
            x_info_impl info;
            reader->get_info(handle, info);
            for (size_t f = 0; f < info.get_field_count(); ++f)
                text += std::string(" ") + info.get_field_name(f) + "=" + info.get_value(f, 0);
        }
        return text;
    };
    EXPECT_EQ(shown(), "1 entry: RATING=5 MOOD=calm RATING=5 MOOD=calm");
    host.shelf().switch_storage(guid_null, false, false, false);
    host.shelf().switch_storage(GetParam(), false, false, false);
    EXPECT_EQ(shown(), "1 entry: RATING=5 MOOD=calm RATING=5 MOOD=calm") << "after a reopen";
    EXPECT_TRUE(host.console().empty()) << host.console().front();
}

INSTANTIATE_TEST_SUITE_P(
    EveryStorageMethod, HeldHandle,
    ::testing::Values(
        // Configuration, SQLite, text file.
        GUID{0x99F8068B, 0x28CF, 0x4C3C, {0x81, 0xAB, 0x09, 0xD8, 0x46, 0x47, 0xA5, 0xF7}},
        GUID{0x4D8C0737, 0x63D6, 0x40DD, {0x8C, 0xCD, 0x60, 0x6B, 0x3B, 0xBD, 0x49, 0x61}},
        GUID{0x55F4AA48, 0x445B, 0x4CD1, {0xB4, 0x9B, 0x97, 0xB2, 0xA9, 0x4B, 0x3B, 0x96}}),
    [](const auto& info) {
        return std::string(info.index == 0 ? "config" : info.index == 1 ? "sqlite" : "text");
    });

}  // namespace
