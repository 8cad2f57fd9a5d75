// Opening, switching and closing storage methods: what survives each step, what
// the user is told, and how handles held across a switch behave.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>

#include "host/core/tracks.h"
#include "service/handle_wrapper.h"
#include "service/storage_contents.h"
#include "service_test_host.h"

namespace {

using names = std::vector<std::string>;

names sorted(names list) {
    std::sort(list.begin(), list.end());
    return list;
}

// The file names of every entry of the active storage, sorted.
names stored_tracks(tagshelf_impl& shelf) {
    service_ptr_t<tagshelf_reader> reader;
    if (!shelf.get_reader(reader))
        return {};
    tagshelf_handle_list handles;
    reader->enum_handles(handles);
    names found;
    for (const auto& handle : handles)
        found.push_back(file_name_of(handle->get_location()));
    return sorted(found);
}

TEST(SwitchStorage, FailedFirstLoadIsNotRetriedUntilTheUserSwitches) {
    service_test_host host;
    method_a.fail_open = "disk on fire";
    host.start(method_a_guid);
    EXPECT_EQ(method_a.opens, 1);
    ASSERT_EQ(host.boxes().size(), 1u);
    EXPECT_EQ(host.boxes()[0].text,
              "Storage initialization failed\r\n\r\nError message: disk on fire");
    EXPECT_EQ(host.boxes()[0].style, 48u);
    EXPECT_EQ(host.console().back(), "ERROR : Storage initialization failed (disk on fire)");

    service_ptr_t<tagshelf_reader> reader;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(host.shelf().get_reader(reader));
    EXPECT_EQ(method_a.opens, 1) << "readers must not retry the load";
    EXPECT_EQ(host.boxes().size(), 1u);

    method_a.fail_open.clear();
    host.shelf().switch_storage(method_a_guid, false, true, true);
    EXPECT_EQ(method_a.opens, 2);
    EXPECT_TRUE(host.shelf().get_reader(reader));
}

TEST(SwitchStorage, SwitchingToTheActiveMethodOnlySavesTheChoice) {
    service_test_host host;
    method_a.put(host.track("one.mp3"), "RATING", "1");
    host.start(method_a_guid);
    cfg_storage_method = guid_null;
    const uint32_t binding = host.shelf().binding();
    const size_t refreshes = host.refreshes().size();

    host.shelf().switch_storage(method_a_guid, true, true, true);
    EXPECT_EQ(cfg_storage_method.get(), method_a_guid);
    EXPECT_EQ(method_a.opens, 1);
    EXPECT_EQ(method_a.closes, 0);
    EXPECT_EQ(host.shelf().binding(), binding) << "handles were not re-bound";
    EXPECT_EQ(host.refreshes().size(), refreshes);
    EXPECT_EQ(host.value(host.track("one.mp3"), "RATING"), "1");
}

TEST(SwitchStorage, CopyLeavesExactlyTheCopiedEntriesAndLiveHandlesReadThem) {
    service_test_host host;
    method_a.put(host.track("one.mp3"), "RATING", "1");
    method_a.put(host.track("two.mp3"), "RATING", "2");
    method_b.put(host.track("three.mp3"), "MOOD", "calm");
    host.start(method_a_guid);

    tagshelf_handle_ptr one, two, three;
    {
        service_ptr_t<tagshelf_reader> reader;
        ASSERT_TRUE(host.shelf().get_reader(reader));
        reader->get_handle(one, host.track("one.mp3"));
        reader->get_handle(two, host.track("two.mp3"));
        reader->get_handle(three, host.track("three.mp3"));
    }
    host.shelf().switch_storage(method_b_guid, true, true, true);

    EXPECT_EQ(host.shelf().current_storage_guid(), method_b_guid);
    EXPECT_EQ(cfg_storage_method.get(), method_b_guid);
    EXPECT_EQ(method_a.closes, 1);
    EXPECT_EQ(stored_tracks(host.shelf()), (names{"one.mp3", "two.mp3"}));
    service_ptr_t<tagshelf_reader> reader;
    ASSERT_TRUE(host.shelf().get_reader(reader));
    string8 value;
    ASSERT_TRUE(reader->get_value(one, "RATING", 0, value));
    EXPECT_EQ(value.str(), "1");
    ASSERT_TRUE(reader->get_value(two, "RATING", 0, value));
    EXPECT_EQ(value.str(), "2");
    EXPECT_FALSE(reader->has_info(three)) << "the new method's own entry was replaced";
    reader.release();
    // A copy redraws the old method's tracks; the new method's own were replaced.
    EXPECT_EQ(sorted(host.refreshes().back()), (names{"one.mp3", "two.mp3"}));
}

TEST(SwitchStorage, HandlesFollowEverySwitchOffAndOnAgain) {
    service_test_host host;
    method_a.put(host.track("one.mp3"), "RATING", "from A");
    method_b.put(host.track("one.mp3"), "RATING", "from B");
    host.start(method_a_guid);
    tagshelf_handle_ptr one;
    {
        service_ptr_t<tagshelf_reader> reader;
        ASSERT_TRUE(host.shelf().get_reader(reader));
        reader->get_handle(one, host.track("one.mp3"));
    }
    auto read = [&] {
        service_ptr_t<tagshelf_reader> reader;
        if (!host.shelf().get_reader(reader))
            return std::string("(no storage)");
        string8 value;
        return reader->get_value(one, "RATING", 0, value) ? value.str() : "(none)";
    };
    EXPECT_EQ(read(), "from A");
    host.shelf().switch_storage(method_b_guid, false, true, true);
    EXPECT_EQ(read(), "from B");
    EXPECT_EQ(sorted(host.refreshes().back()), (names{"one.mp3", "one.mp3"}))
        << "both methods' entries are redrawn";
    host.shelf().switch_storage(guid_null, false, true, false);
    EXPECT_EQ(read(), "(no storage)");
    EXPECT_EQ(cfg_storage_method.get(), guid_null);
    host.shelf().switch_storage(method_a_guid, false, true, false);
    EXPECT_EQ(read(), "from A");
}

TEST(SwitchStorage, EntriesOutsideTheMediaLibraryGoWhenTheStorageOpensAtStartUp) {
    service_test_host host;
    method_a.put(host.track("kept.mp3"), "RATING", "1");
    method_a.put(host.track("gone.mp3"), "RATING", "2");
    host.session().library().add(host.track("kept.mp3")->get_location());
    cfg_library_only = 1;
    host.start(method_a_guid);
    EXPECT_EQ(stored_tracks(host.shelf()), (names{"kept.mp3"}));
}

// Each pair of a stored track whose file is gone and its library tracks tells one
// way a file may have moved; only the certain moves keep their entries.
TEST(SwitchStorage, EntriesFollowFilesMovedOutsideThePlayerOnlyToOneCertainNewPlace) {
    service_test_host host;
    struct row {
        const char* stored;               // the entry's track, RATING 5 and MOOD calm
        names library;                    // the library's tracks (after a rescan)
        const char* followed_to;          // where the entry is afterwards, or null: gone
        bool file_stays = false;          // the stored track's file still exists
        const char* own_entry = nullptr;  // a library track with an entry of its own
    };
    const row rows[] = {
        {"old/Album/01 Song.mp3", {"new/ALBUM/01 song.mp3"}, "new/ALBUM/01 song.mp3"},
        {"old/Album/02 Song.mp3#1", {"new/Album/02 Song.mp3#1"}, "new/Album/02 Song.mp3#1"},
        {"old/Twice/01 Song.mp3", {"new/Twice/01 Song.mp3", "copy/Twice/01 Song.mp3"}, nullptr},
        {"old/Kept/01 Song.mp3", {"new/Kept/01 Song.mp3"}, nullptr, true},
        {"old/Taken/01 Song.mp3",
         {"new/Taken/01 Song.mp3"},
         nullptr,
         false,
         "new/Taken/01 Song.mp3"},
        {"old/Sub/01 Song.mp3#1", {"new/Sub/01 Song.mp3"}, nullptr},
        {"old/Other/01 Song.mp3", {"new/Elsewhere/01 Song.mp3"}, nullptr},
        {"a/Shared/01 Song.mp3", {"new/Shared/01 Song.mp3"}, nullptr},
        {"b/Shared/01 Song.mp3", {}, nullptr},
    };
    auto track = [&](const std::string& spelled) {
        const size_t hash = spelled.find('#');
        return host.track(
            spelled.substr(0, hash),
            hash == std::string::npos ? 0 : uint32_t(std::stoul(spelled.substr(hash + 1))));
    };
    names expected;
    for (const row& r : rows) {
        test_record record{track(r.stored)->get_location().get_path(),
                           track(r.stored)->get_location().get_subsong(),
                           {}};
        record.fields.add_value("RATING", "5");
        record.fields.add_value("MOOD", "calm");
        method_a.medium.push_back(std::move(record));
        if (r.file_stays) {
            const std::string file = to_file_path(track(r.stored)->get_location().get_path());
            std::filesystem::create_directories(std::filesystem::path(file).parent_path());
            std::ofstream(file) << "audio";
        }
        for (const std::string& item : r.library)
            host.session().library().add(track(item)->get_location());
        if (r.own_entry) {
            method_a.put(track(r.own_entry), "RATING", "1");
            expected.push_back(file_name_of(track(r.own_entry)->get_location()));
        }
        if (r.followed_to)
            expected.push_back(file_name_of(track(r.followed_to)->get_location()));
    }
    cfg_library_only = 1;
    host.start(method_a_guid);

    EXPECT_EQ(stored_tracks(host.shelf()), sorted(expected));
    EXPECT_EQ(host.value(track("new/ALBUM/01 song.mp3"), "MOOD"), "calm");
    EXPECT_EQ(host.value(track("new/Album/02 Song.mp3#1"), "RATING"), "5");
    EXPECT_EQ(host.value(track("new/Taken/01 Song.mp3"), "RATING"), "1") << "never overwritten";
    service_ptr_t<tagshelf_reader> reader;
    ASSERT_TRUE(host.shelf().get_reader(reader));
    tagshelf_handle_ptr moved;
    reader->get_handle(moved, track("new/ALBUM/01 song.mp3"));
    x_info_impl fields;
    reader->get_info(moved, fields);
    ASSERT_EQ(fields.get_field_count(), 2u);
    EXPECT_STREQ(fields.get_field_name(0), "RATING") << "the fields keep their order";
    EXPECT_NE(std::find(host.console().begin(), host.console().end(),
                        "Tag Shelf: 2 entries followed their moved files."),
              host.console().end());
}

TEST(SwitchStorage, SwitchOnAThreadHoldingAReaderIsRefusedBeforeAnyLock) {
    service_test_host host;
    method_a.put(host.track("one.mp3"), "RATING", "1");
    host.start(method_a_guid);
    cfg_storage_method = method_a_guid;
    service_ptr_t<tagshelf_reader> held;
    ASSERT_TRUE(host.shelf().get_reader(held));
    tagshelf_handle_ptr one;
    held->get_handle(one, host.track("one.mp3"));

    host.shelf().switch_storage(method_b_guid, true, true, true);
    ASSERT_EQ(host.boxes().size(), 1u);
    EXPECT_EQ(host.boxes()[0].text, std::string("Switching storage failed\r\n\r\nError message: ") +
                                        held_accessor_message);
    EXPECT_TRUE(held->has_info(one)) << "the held reader still reads the storage it was made for";
    EXPECT_EQ(host.shelf().current_storage_guid(), method_a_guid);
    EXPECT_EQ(cfg_storage_method.get(), method_a_guid) << "nothing saved";
    EXPECT_EQ(method_b.opens, 0) << "the new method was never opened";
    held.release();

    host.shelf().switch_storage(method_b_guid, true, true, false);
    EXPECT_EQ(host.value(host.track("one.mp3"), "RATING"), "1") << "released, the switch works";
}

// One row per stage of a switch from method A to method B that can fail.
struct failure_row {
    const char* stage;
    std::function<void()> arrange;
    bool copy;
    bool save;
    const char* message;
    const char* error_text;
    GUID active_after;
    GUID saved_after;
};

TEST(SwitchStorage, EachFailingStageIsReportedAndLeavesWhatItShould) {
    service_test_host host;
    method_a.put(host.track("one.mp3"), "RATING", "1");
    method_b.put(host.track("stranger.mp3"), "RATING", "9");
    host.start(method_a_guid);
    const failure_row rows[] = {
        {"opening", [] { method_b.fail_open = "locked"; }, false, true,
         "Storage initialization failed", "locked", method_a_guid, method_a_guid},
        {"the new method's writer", [] { method_b.null_accessors = true; }, false, true,
         "Reading list of storage entries failed", "Null interface was returned.", method_a_guid,
         method_a_guid},
        {"copying", [] { method_b.faults.remove_all = true; }, true, true,
         "Copying storage contents failed", "cannot remove all", method_a_guid, method_a_guid},
        {"pruning",
         [] {
             cfg_library_only = 1;
             method_b.faults.remove_info = true;
         },
         false, true, "Removing non-library entries failed", "cannot remove", method_a_guid,
         method_a_guid},
        {"re-binding handles", [] { method_b.faults.get_handle = true; }, false, false,
         "Creating tagshelf handles failed.", "no handles today", guid_null, guid_null},
        {"closing the old method", [] { method_a.fail_close = true; }, false, true,
         "Closing storage failed", "cannot close", method_b_guid, method_b_guid},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stage);
        // Back to A, with nothing failing, and a live handle to re-bind.
        method_a.fail_close = false;
        method_b.fail_open.clear();
        method_b.null_accessors = false;
        method_b.faults.remove_all = method_b.faults.remove_info = method_b.faults.get_handle =
            false;
        cfg_library_only = 0;
        host.shelf().switch_storage(method_a_guid, false, true, false);
        ASSERT_EQ(host.shelf().current_storage_guid(), method_a_guid);
        service_ptr_t<tagshelf_reader> reader;
        ASSERT_TRUE(host.shelf().get_reader(reader));
        tagshelf_handle_ptr live;
        reader->get_handle(live, host.track("one.mp3"));
        reader.release();
        const size_t boxes = host.boxes().size();
        const int b_closes = method_b.closes;

        row.arrange();
        host.shelf().switch_storage(method_b_guid, row.copy, row.save, true);

        ASSERT_EQ(host.boxes().size(), boxes + 1);
        EXPECT_EQ(host.boxes().back().text,
                  std::string(row.message) + "\r\n\r\nError message: " + row.error_text);
        EXPECT_EQ(host.boxes().back().style, 48u);
        EXPECT_EQ(host.shelf().current_storage_guid(), row.active_after);
        EXPECT_EQ(cfg_storage_method.get(), row.saved_after);
        if (row.active_after == method_a_guid) {
            EXPECT_EQ(method_b.closes, b_closes + (method_b.fail_open.empty() ? 1 : 0))
                << "a method that opened is closed again";
            // The live handle still works with the old method.
            ASSERT_TRUE(host.shelf().get_reader(reader));
            EXPECT_TRUE(reader->has_info(live));
            reader.release();
        }
    }
}

// Processor seconds per entry that library-only pruning takes over the active
// storage after `entries` tracks were stored, one in ten of them outside the
// media library, and half of those moved to another folder that the library
// lists; the store and the library keep what earlier calls stored.
double prune_seconds_per_entry(service_test_host& host, size_t& stored, size_t entries) {
    const size_t moved_before = (stored + 19) / 20;
    {
        service_ptr_t<tagshelf_reader_writer> writer;
        EXPECT_TRUE(host.shelf().get_writer(writer));
        for (; stored < entries; ++stored) {
            const std::string name = "Artist " + std::to_string(stored % 89) + "/" +
                                     std::to_string(stored) + " Title.flac";
            const metadb_handle_ptr track = host.track(name);
            tagshelf_handle_ptr handle;
            writer->get_handle(handle, track);
            writer->set_value(handle, "RATING", "3");
            if (stored % 10 != 0)
                host.session().library().add(track->get_location());
            else if (stored % 20 == 0)
                host.session().library().add(host.track("moved/" + name)->get_location());
        }
    }
    service_ptr_t<tagshelf_reader_writer> writer;
    host.shelf().active_storage()->get_writer(writer);
    const std::clock_t started = std::clock();
    const size_t followed = prune_non_library(*writer);
    const double seconds = double(std::clock() - started) / CLOCKS_PER_SEC;
    EXPECT_EQ(followed, (entries + 19) / 20 - moved_before);
    EXPECT_EQ(writer->get_entry_count(),
              int64_t(entries - (entries + 9) / 10 + (entries + 19) / 20));
    return seconds / double(entries);
}

TEST(SwitchStorage, PruningCostsTheSamePerEntryInAFiftyTimesLargerStore) {
    service_test_host host;
    host.start(method_a_guid);
    size_t stored = 0;
    const double small = prune_seconds_per_entry(host, stored, 2'000);
    // The strays of the first pass are gone; the second pass prunes its own.
    const double large = prune_seconds_per_entry(host, stored, 100'000);
    // A search of the store or of the library for each entry would make an entry
    // of the large store cost about fifty times one of the small store.
    RecordProperty("seconds_per_entry_small", std::to_string(small));
    RecordProperty("seconds_per_entry_large", std::to_string(large));
    EXPECT_LT(large, std::max(20 * small, 2e-6))
        << small << " s per entry of 2,000, " << large << " s per entry of 100,000";
}

}  // namespace
