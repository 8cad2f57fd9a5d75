// Files the host moves or deletes take their fields along, through the component's
// file-operation callback as the host calls it; and the statistics text.
#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "sdk/file_operation_callback.h"
#include "service_test_host.h"
#include "tracking/storage_statistics.h"

namespace {

class FileTracking : public ::testing::Test {
protected:
    std::string path(const std::string& name) {
        return host.track(name)->get_location().get_path();
    }
    void put(const std::string& name, uint32_t subsong,
             std::initializer_list<std::pair<const char*, const char*>> pairs) {
        test_record record{path(name), subsong, {}};
        for (const auto& [field, value] : pairs)
            record.fields.add_value(field, value);
        method_a.medium.push_back(std::move(record));
    }
    void moved(const std::vector<std::string>& from, const std::vector<std::string>& to) {
        list_t<const char*> a, b;
        for (const auto& p : from)
            a.add_item(p.c_str());
        for (const auto& p : to)
            b.add_item(p.c_str());
        for (auto& callback : host.session().registry().all<file_operation_callback>()) {
            callback->files_moved(a, b);
        }
    }
    void copied(const std::string& from, const std::string& to) {
        list_t<const char*> a, b;
        a.add_item(from.c_str());
        b.add_item(to.c_str());
        for (auto& callback : host.session().registry().all<file_operation_callback>()) {
            callback->files_copied(a, b);
        }
    }
    void deleted(const std::vector<std::string>& items) {
        list_t<const char*> list;
        for (const auto& p : items)
            list.add_item(p.c_str());
        for (auto& callback : host.session().registry().all<file_operation_callback>()) {
            callback->files_deleted(list);
        }
    }
    std::string value(const std::string& name, uint32_t subsong, const char* field) {
        return host.value(
            host.session().tracks().track(playable_location_impl(path(name), subsong)), field);
    }
    // Every stored location as "path#subsong" of its file name, in store order.
    std::vector<std::string> entries() {
        std::vector<std::string> listed;
        service_ptr_t<tagshelf_reader> reader;
        if (!host.shelf().get_reader(reader))
            return listed;
        tagshelf_handle_list handles;
        reader->enum_handles(handles);
        for (const auto& handle : handles) {
            listed.push_back(file_name_of(handle->get_location()) + "#" +
                             std::to_string(handle->get_location().get_subsong()));
        }
        std::sort(listed.begin(), listed.end());
        return listed;
    }

    service_test_host host;
};

TEST_F(FileTracking, MovedFileKeepsEverySubsong) {
    put("album.flac", 0, {{"RATING", "5"}});
    put("album.flac", 1, {{"RATING", "2"}, {"MOOD", "calm"}});
    put("other.flac", 0, {{"RATING", "1"}});
    host.start(method_a_guid);
    moved({path("album.flac")}, {path("renamed.flac")});
    EXPECT_EQ(entries(),
              (std::vector<std::string>{"other.flac#0", "renamed.flac#0", "renamed.flac#1"}));
    EXPECT_EQ(value("renamed.flac", 0, "RATING"), "5");
    EXPECT_EQ(value("renamed.flac", 1, "MOOD"), "calm");
    EXPECT_EQ(value("album.flac", 1, "RATING"), "(none)");
}

TEST_F(FileTracking, MoveOntoATrackWithFieldsReplacesThem) {
    put("a.flac", 0, {{"RATING", "5"}});
    put("b.flac", 0, {{"RATING", "1"}, {"MOOD", "sad"}});
    host.start(method_a_guid);
    moved({path("a.flac")}, {path("b.flac")});
    EXPECT_EQ(entries(), (std::vector<std::string>{"b.flac#0"}));
    EXPECT_EQ(value("b.flac", 0, "RATING"), "5");
    EXPECT_EQ(value("b.flac", 0, "MOOD"), "(none)") << "replaced, not merged";
}

TEST_F(FileTracking, SourceDifferingOnlyInCaseMatches) {
    put("Song.flac", 0, {{"RATING", "3"}});
    host.start(method_a_guid);
    moved({path("SONG.FLAC")}, {path("moved.flac")});
    EXPECT_EQ(entries(), (std::vector<std::string>{"moved.flac#0"}));
}

TEST_F(FileTracking, FirstMatchingSourceWinsInOneNotification) {
    put("a.flac", 0, {{"RATING", "5"}});
    host.start(method_a_guid);
    moved({path("A.FLAC"), path("a.flac")}, {path("first.flac"), path("second.flac")});
    EXPECT_EQ(entries(), (std::vector<std::string>{"first.flac#0"}));
}

TEST_F(FileTracking, MoveThatOnlyChangesLetterCaseKeepsTheFieldsUnderTheNewSpelling) {
    put("quiet song.flac", 0, {{"RATING", "4"}});
    put("quiet song.flac", 1, {{"RATING", "2"}});
    host.start(method_a_guid);
    moved({path("quiet song.flac")}, {path("Quiet Song.flac")});
    EXPECT_EQ(entries(), (std::vector<std::string>{"Quiet Song.flac#0", "Quiet Song.flac#1"}));
    EXPECT_EQ(value("Quiet Song.flac", 0, "RATING"), "4");
    EXPECT_EQ(value("quiet song.flac", 1, "RATING"), "2") << "still found by either spelling";
}

// The store in entry order with every field, spelling included.
std::vector<std::string> content_of(tagshelf_reader& reader) {
    std::vector<std::string> out;
    tagshelf_handle_list handles;
    reader.enum_handles(handles);
    for (const auto& handle : handles) {
        x_info_impl fields;
        reader.get_info(handle, fields);
        std::string line = std::string(handle->get_location().get_path()) + "#" +
                           std::to_string(handle->get_location().get_subsong());
        for (size_t f = 0; f < fields.get_field_count(); ++f) {
            for (size_t v = 0; v < fields.get_value_count(f); ++v)
                line += std::string(" ") + fields.get_field_name(f) + "=" + fields.get_value(f, v);
        }
        out.push_back(line);
    }
    return out;
}

tagshelf_handle_ptr handle_of(tagshelf_reader_writer& writer, service_test_host& host,
                              const playable_location& location) {
    tagshelf_handle_ptr handle;
    writer.get_handle(handle, host.session().tracks().track(playable_location_impl(location)));
    return handle;
}

// The walk that compares every entry with every source path in turn, the first
// match winning, on the same writer operations.
void compare_every_entry(tagshelf_reader_writer& writer, const std::vector<std::string>& from,
                         const std::vector<std::string>& to, service_test_host& host) {
    tagshelf_handle_list handles;
    writer.enum_handles(handles);
    for (const auto& handle : handles) {
        const playable_location& old_location = handle->get_location();
        for (size_t j = 0; j < from.size(); ++j) {
            if (stricmp_utf8(old_location.get_path(), from[j].c_str()) != 0)
                continue;
            playable_location_impl target(to[j], old_location.get_subsong());
            tagshelf_handle_ptr moved = handle_of(writer, host, target);
            if (target.equals(old_location)) {
                if (target.path() != old_location.get_path()) {
                    x_info_impl fields;
                    writer.get_info(handle, fields);
                    writer.remove_info(handle);
                    writer.set_info(handle_of(writer, host, target), fields);
                }
            } else {
                writer.copy_info(handle, moved);
                writer.remove_info(handle);
            }
            break;
        }
    }
}

TEST_F(FileTracking, MovesGiveWhatComparingEveryEntryWithEveryPathGives) {
    // Few names in several spellings, several subsongs, and notifications whose
    // targets are other sources: every order effect of the walk shows. Odd rounds
    // run on a method of another component, whose entries are found by listing.
    const char* const names[] = {"a.flac", "A.FLAC", "b.flac", "B.flac", "c.flac", "abcd.flac"};
    static service_impl_single_t<foreign_storage_method> foreign;
    foreign.register_with(host.session());
    host.start(method_a_guid);
    std::mt19937 rng(5);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        host.shelf().switch_storage(round % 2 ? foreign.method_guid : method_a_guid, false, false,
                                    false);
        service_ptr_t<tagshelf_reader_writer> writer;
        ASSERT_TRUE(host.shelf().get_writer(writer));
        writer->remove_all();
        for (int i = 0; i < 8; ++i) {
            tagshelf_handle_ptr h = handle_of(
                *writer, host,
                playable_location_impl(path(names[pick(std::size(names))]), uint32_t(pick(3))));
            writer->add_value(h, "N", std::to_string(i).c_str());
        }
        std::vector<std::string> from, to;
        for (size_t n = 1 + pick(4); n > 0; --n) {
            from.push_back(path(names[pick(std::size(names))]));
            to.push_back(path(names[pick(std::size(names))]));
        }
        std::vector<x_info_impl> saved;
        std::vector<playable_location_impl> locations;
        tagshelf_handle_list handles;
        writer->enum_handles(handles);
        for (const auto& h : handles) {
            saved.emplace_back();
            writer->get_info(h, saved.back());
            locations.emplace_back(h->get_location());
        }
        writer.release();

        moved(from, to);
        ASSERT_TRUE(host.shelf().get_writer(writer));
        const std::vector<std::string> indexed = content_of(*writer);

        // The same start again (stored in entry order, so equal hashes keep theirs),
        // then the walk over every entry.
        writer->remove_all();
        for (size_t i = 0; i < saved.size(); ++i)
            writer->set_info(handle_of(*writer, host, locations[i]), saved[i]);
        compare_every_entry(*writer, from, to, host);
        EXPECT_EQ(indexed, content_of(*writer));
    }
}

TEST_F(FileTracking, CopyGivesTheCopyNothing) {
    put("a.flac", 0, {{"RATING", "5"}});
    host.start(method_a_guid);
    copied(path("a.flac"), path("copy.flac"));
    EXPECT_EQ(entries(), (std::vector<std::string>{"a.flac#0"}));
}

TEST_F(FileTracking, DeletingRemovesEverySubsongAndNothingElse) {
    put("gone.flac", 0, {{"RATING", "5"}});
    put("gone.flac", 7, {{"RATING", "4"}});
    put("kept.flac", 0, {{"RATING", "3"}});
    host.start(method_a_guid);
    deleted({path("GONE.flac"), path("never-stored.flac")});
    EXPECT_EQ(entries(), (std::vector<std::string>{"kept.flac#0"}));
    deleted({path("never-stored.flac")});
    EXPECT_EQ(entries(), (std::vector<std::string>{"kept.flac#0"}));
}

TEST_F(FileTracking, WithoutStorageNotificationsDoNothing) {
    put("a.flac", 0, {{"RATING", "5"}});
    host.start(guid_null);
    moved({path("a.flac")}, {path("b.flac")});
    deleted({path("a.flac")});
    EXPECT_TRUE(host.console().empty());
    EXPECT_TRUE(host.boxes().empty());
    EXPECT_EQ(method_a.opens, 0);
}

TEST_F(FileTracking, StorageFailureIsReportedWithTheActivity) {
    put("a.flac", 0, {{"RATING", "5"}});
    host.start(method_a_guid);
    method_a.faults.remove_info = true;
    deleted({path("a.flac")});
    ASSERT_FALSE(host.console().empty());
    EXPECT_EQ(host.console().back(), "ERROR : Failed to remove tagshelf entries (cannot remove)");
    moved({path("a.flac")}, {path("b.flac")});
    EXPECT_EQ(host.console().back(),
              "ERROR : Failed to update locations of tagshelf entries (cannot remove)");
}

TEST_F(FileTracking, StatisticsNameTheStorageAndCountEntriesAndValues) {
    host.start(guid_null);
    string8 text;
    format_storage_statistics(text);
    EXPECT_EQ(text.str(), "\r\nNone");

    host.shelf().switch_storage(method_a_guid, false, true, true);
    format_storage_statistics(text);
    EXPECT_EQ(text.str(), "Method A\r\n\r\nFile entries: 0     Values: 0");

    service_ptr_t<tagshelf_reader_writer> writer;
    ASSERT_TRUE(host.shelf().get_writer(writer));
    tagshelf_handle_ptr handle;
    writer->get_handle(handle, host.track("six.flac"));
    for (const char* v : {"1", "2", "3"})
        writer->add_value(handle, "A", v);
    for (const char* v : {"x", "y", "z"})
        writer->add_value(handle, "B", v);
    writer.release();
    format_storage_statistics(text);
    EXPECT_EQ(text.str(), "Method A\r\n\r\nFile entries: 1     Values: 6");
}

}  // namespace
