// Writing through the SQLite storage: every change reaches the table so that the
// next load gives what the store showed, one writer is one transaction, and a
// writer that cannot begin leaves nothing held.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "storage/sqlite/sqlite_query.h"
#include "storage/sqlite_fixture.h"

namespace {

class SqliteWriter : public SqliteStorage {
protected:
    SqliteWriter() { storage().open(nullptr); }

    // Whether a thread other than this one can take the store lock now.
    static bool store_lock_is_free() {
        bool free = false;
        std::thread([&] {
            auto& lock = tagshelf_storage_sqlite::store().mutex();
            if (lock.try_lock()) {
                free = true;
                lock.unlock();
            }
        }).join();
        return free;
    }

    std::vector<sqlite_row> rows() { return raw_database(database_file()).rows(); }
};

// The handles a writing case works on: a and b are stored, c is stored at the
// highest subsong, d is not stored, and d2 is a second handle of d's track.
struct case_handles {
    tagshelf_handle_ptr a, b, c, d, d2;
};

x_info_impl fields_of(std::initializer_list<std::pair<const char*, const char*>> values) {
    x_info_impl info;
    for (const auto& [name, value] : values)
        info.add_value(name, value);
    return info;
}

// set_info_multi with each handle beside its fields.
void set_info_multi(tagshelf_reader_writer& w,
                    std::initializer_list<std::pair<tagshelf_handle_ptr, x_info_impl>> items) {
    list_t<tagshelf_handle_ptr> handles;
    list_t<const x_info*> infos;
    for (const auto& [handle, info] : items) {
        handles.add_item(handle);
        infos.add_item(&info);
    }
    w.set_info_multi(handles, infos);
}

// Every stored location as "path#subsong", in the store's order.
std::vector<std::string> stored_order(tagshelf_reader& reader) {
    tagshelf_handle_list handles;
    reader.enum_handles(handles);
    std::vector<std::string> order;
    for (const auto& handle : handles) {
        order.push_back(std::string(handle->get_location().get_path()) + "#" +
                        std::to_string(handle->get_location().get_subsong()));
    }
    return order;
}

TEST_F(SqliteWriter, EveryWriteGivesTheSameContentAfterReloadOrIsTakenBackWhole) {
    struct write_case {
        const char* what;
        std::function<void(tagshelf_reader_writer&, const case_handles&)> write;
    };
    const std::vector<write_case> cases = {
        {"add_value to a new field", [](auto& w, auto& h) { w.add_value(h.a, "MOOD", "happy"); }},
        {"add_value in another case joins the stored field",
         [](auto& w, auto& h) { w.add_value(h.a, "rating", "6"); }},
        {"add_value in another case, then remove_field",
         [](auto& w, auto& h) {
             w.add_value(h.a, "rating", "6");
             w.remove_field(h.a, "RATING");
         }},
        {"remove_field in another case", [](auto& w, auto& h) { w.remove_field(h.a, "artist"); }},
        {"remove_field of an absent field", [](auto& w, auto& h) { w.remove_field(h.a, "NONE"); }},
        {"remove_field of the last field", [](auto& w, auto& h) { w.remove_field(h.b, "Rating"); }},
        {"set_value in another case", [](auto& w, auto& h) { w.set_value(h.a, "Rating", "4"); }},
        {"set_value of a multi-valued field",
         [](auto& w, auto& h) { w.set_value(h.a, "ARTIST", "z"); }},
        {"set_value on an unstored track",
         [](auto& w, auto& h) { w.set_value(h.d, "RATING", "1"); }},
        {"set_value at the highest subsong",
         [](auto& w, auto& h) { w.set_value(h.c, "MOOD", "x"); }},
        {"set_info with an empty set", [](auto& w, auto& h) { w.set_info(h.a, x_info_impl()); }},
        {"set_info replacing every field",
         [](auto& w, auto& h) {
             w.set_info(h.a, fields_of({{"NEW", "1"}, {"NEW", "2"}}));
         }},
        {"set_info_multi with a handle twice",
         [](auto& w, auto& h) {
             set_info_multi(w, {{h.a, fields_of({{"FIRST", "1"}})},
                                {h.d, fields_of({{"SECOND", "2"}})},
                                {h.a, fields_of({{"THIRD", "3"}})}});
         }},
        {"copy_info to an unstored track", [](auto& w, auto& h) { w.copy_info(h.a, h.d); }},
        {"copy_info onto itself", [](auto& w, auto& h) { w.copy_info(h.a, h.a); }},
        {"copy_info from an empty entry", [](auto& w, auto& h) { w.copy_info(h.d, h.a); }},
        {"remove_info", [](auto& w, auto& h) { w.remove_info(h.b); }},
        {"remove_info of an unstored track", [](auto& w, auto& h) { w.remove_info(h.d); }},
        {"remove_info, then a new value",
         [](auto& w, auto& h) {
             w.remove_info(h.a);
             w.add_value(h.a, "AGAIN", "1");
         }},
        {"remove_all, then a new value",
         [](auto& w, auto& h) {
             w.remove_all();
             w.add_value(h.d, "RATING", "2");
         }},
        {"remove_all, then set_info of new entries",
         [](auto& w, auto& h) {
             w.remove_all();
             w.set_info(h.d, fields_of({{"NEW", "1"}}));
             w.set_info(h.a, fields_of({{"NEW", "2"}, {"NEW", "3"}}));
         }},
        {"remove_all, then set_info_multi of new entries",
         [](auto& w, auto& h) {
             w.remove_all();
             set_info_multi(w, {{h.d, fields_of({{"NEW", "1"}})},
                                {h.a, fields_of({{"NEW", "2"}, {"NEW", "3"}})}});
         }},
        {"remove_all, then set_info twice for one location",
         [](auto& w, auto& h) {
             w.remove_all();
             w.set_info(h.d, fields_of({{"FIRST", "1"}}));
             w.set_info(h.d, fields_of({{"SECOND", "2"}}));
         }},
        {"remove_all, set_info, remove_info, set_info",
         [](auto& w, auto& h) {
             w.remove_all();
             w.set_info(h.a, fields_of({{"FIRST", "1"}}));
             w.remove_info(h.a);
             w.set_info(h.a, fields_of({{"SECOND", "2"}}));
         }},
        {"remove_all, then set_info through two handles of one location",
         [](auto& w, auto& h) {
             w.remove_all();
             w.set_info(h.d, fields_of({{"FIRST", "1"}}));
             w.set_info(h.d2, fields_of({{"SECOND", "2"}}));
         }},
        {"remove_all, then set_info_multi with two handles of one location and one twice",
         [](auto& w, auto& h) {
             w.remove_all();
             set_info_multi(w, {{h.d, fields_of({{"FIRST", "1"}})},
                                {h.a, fields_of({{"SECOND", "2"}})},
                                {h.d2, fields_of({{"THIRD", "3"}})},
                                {h.a, fields_of({{"FOURTH", "4"}})}});
         }},
        {"remove_all, then copy_info twice to one location",
         [](auto& w, auto& h) {
             w.remove_all();
             w.set_info(h.a, fields_of({{"FIRST", "1"}}));
             w.copy_info(h.a, h.d);
             w.copy_info(h.a, h.d);
         }},
    };
    // Each case runs twice: then once more with a last statement that the
    // database refuses, which gives up the whole writer.
    for (const bool refused : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (refused ? ", then a refused statement" : ""));
            {
                auto w = writer();
                w->remove_all();
                case_handles h{handle(*w, "a.mp3"), handle(*w, "b.mp3"),
                               handle(*w, "c.mp3", 4294967295u), handle(*w, "d.mp3"),
                               handle(*w, "d.mp3")};
                w->set_value(h.a, "RATING", "5");
                w->add_value(h.a, "ARTIST", "x");
                w->add_value(h.a, "ARTIST", "y");
                w->set_value(h.b, "RATING", "3");
                w->set_value(h.c, "MOOD", "calm");
            }
            reopen();
            const store_contents before = contents();
            const std::vector<std::string> order_before = stored_order(*reader());
            {
                auto w = writer();
                case_handles h{handle(*w, "a.mp3"), handle(*w, "b.mp3"),
                               handle(*w, "c.mp3", 4294967295u), handle(*w, "d.mp3"),
                               handle(*w, "d.mp3")};
                c.write(*w, h);
                if (refused) {
                    try {
                        w->add_value(h.b, "NOTE", "refused");
                        ADD_FAILURE() << "the statement was not refused";
                    } catch (const std::exception& error) {
                        EXPECT_STREQ(error.what(), "no notes here");
                    }
                    EXPECT_THROW(w->set_value(h.b, "RATING", "1"), std::runtime_error)
                        << "a writer that gave up writes nothing more";
                }
            }
            store_contents shown = contents();
            if (refused) {
                EXPECT_EQ(shown, before);
                EXPECT_EQ(stored_order(*reader()), order_before);
                EXPECT_TRUE(host.session().console().lines().empty())
                    << "the refused statement is the one failure raised";
            }
            reopen();
            EXPECT_EQ(contents(), shown);
        }
        raw_database(database_file())
            .must(
                "CREATE TRIGGER IF NOT EXISTS no_notes BEFORE INSERT ON quicktag WHEN "
                "NEW.fieldname = 'NOTE'"
                " BEGIN SELECT RAISE(ABORT, 'no notes here'); END");
    }
}

TEST_F(SqliteWriter, RemovedFieldStaysRemovedAfterReload) {
    writer()->set_value(handle(*reader(), "a.mp3"), "RATING", "5");
    reopen();
    writer()->remove_field(handle(*reader(), "a.mp3"), "rating");
    EXPECT_TRUE(rows().empty());
    reopen();
    EXPECT_TRUE(contents().empty());
}

TEST_F(SqliteWriter, SetValueInAnotherCaseLeavesOnlyTheNewValue) {
    {
        auto w = writer();
        w->add_value(handle(*w, "a.mp3"), "RATING", "5");
        w->add_value(handle(*w, "a.mp3"), "RATING", "6");
    }
    reopen();
    writer()->set_value(handle(*reader(), "a.mp3"), "Rating", "3");
    EXPECT_EQ(rows(), (std::vector<sqlite_row>{{path_of("a.mp3"), 0, "Rating", "3"}}));
    reopen();
    EXPECT_EQ(contents(), (store_contents{{{path_of("a.mp3"), 0}, {{"Rating", {"3"}}}}}));
}

TEST_F(SqliteWriter, EveryUnsigned32BitSubsongRoundTrips) {
    const uint32_t subsongs[] = {0, 1, 2147483647u, 2147483648u, 4294967294u, 4294967295u};
    {
        auto w = writer();
        for (uint32_t subsong : subsongs)
            w->set_value(handle(*w, "a.mp3", subsong), "SUBSONG", std::to_string(subsong).c_str());
    }
    std::vector<sqlite_row> expected_rows;
    store_contents expected;
    for (uint32_t subsong : subsongs) {
        expected_rows.push_back({path_of("a.mp3"), subsong, "SUBSONG", std::to_string(subsong)});
        expected[{path_of("a.mp3"), subsong}] = {{"SUBSONG", {std::to_string(subsong)}}};
    }
    EXPECT_EQ(rows(), expected_rows);
    reopen();
    EXPECT_EQ(contents(), expected);
}

TEST_F(SqliteWriter, CopyInfoOntoItselfRewritesTheSameRows) {
    {
        auto w = writer();
        w->add_value(handle(*w, "a.mp3"), "ARTIST", "x");
        w->add_value(handle(*w, "a.mp3"), "ARTIST", "y");
        w->add_value(handle(*w, "b.mp3"), "RATING", "1");
    }
    raw_database db(database_file());
    std::vector<sqlite_row> before = db.rows();
    std::vector<std::string> rowids_before = db.column("SELECT rowid FROM quicktag");
    {
        auto w = writer();
        w->copy_info(handle(*w, "a.mp3"), handle(*w, "a.mp3"));
    }
    std::vector<sqlite_row> after = db.rows();
    EXPECT_EQ(after, (std::vector<sqlite_row>{before[2], before[0], before[1]}))
        << "a.mp3's rows are deleted and inserted again after b.mp3's";
    EXPECT_NE(db.column("SELECT rowid FROM quicktag"), rowids_before);
}

TEST_F(SqliteWriter, SetInfoWithAnEmptySetDeletesTheRowsButKeepsTheEntry) {
    writer()->set_value(handle(*reader(), "a.mp3"), "RATING", "5");
    {
        auto w = writer();
        w->set_info(handle(*w, "a.mp3"), x_info_impl());
        EXPECT_EQ(w->get_entry_count(), 1);
        EXPECT_FALSE(w->has_info(handle(*w, "a.mp3")));
    }
    EXPECT_TRUE(rows().empty());
    reopen();
    EXPECT_EQ(reader()->get_entry_count(), 0);
}

TEST_F(SqliteWriter, ChangesReachTheFileTogetherWhenTheWriterIsReleased) {
    raw_database other(database_file());
    {
        auto w = writer();
        w->set_value(handle(*w, "a.mp3"), "RATING", "5");
        w->set_value(handle(*w, "b.mp3"), "RATING", "4");
        EXPECT_EQ(other.exec("SELECT count(*) FROM quicktag"), SQLITE_BUSY)
            << "the writer holds the file exclusively";
    }
    EXPECT_EQ(other.column("SELECT count(*) FROM quicktag"), std::vector<std::string>{"2"});
}

TEST_F(SqliteWriter, SecondWriterOnTheSameThreadFailsAndLeavesTheFirstWorking) {
    auto first = writer();
    first->set_value(handle(*first, "a.mp3"), "RATING", "5");
    service_ptr_t<tagshelf_reader_writer> second;
    try {
        storage().get_writer(second);
        FAIL() << "a second writer began a transaction inside the first";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "cannot start a transaction within a transaction");
    }
    EXPECT_FALSE(second.is_valid());
    first->set_value(handle(*first, "b.mp3"), "RATING", "4");
    first.release();
    EXPECT_TRUE(store_lock_is_free()) << "the failed writer gave its share of the lock back";
    writer()->set_value(handle(*reader(), "c.mp3"), "RATING", "3");
    reopen();
    EXPECT_EQ(contents().size(), 3u);
}

TEST_F(SqliteWriter, WriterWaitsOutAMomentaryHoldButFailsAndReleasesTheLockOnALongOne) {
    raw_database other(database_file());
    other.must("BEGIN EXCLUSIVE");
    std::thread lets_go([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.must("COMMIT");
    });
    writer()->set_value(handle(*reader(), "held.mp3"), "RATING", "1");
    lets_go.join();
    EXPECT_EQ(rows().size(), 1u) << "a hold of a moment is waited out";

    other.must("BEGIN EXCLUSIVE");
    service_ptr_t<tagshelf_reader_writer> w;
    try {
        storage().get_writer(w);
        FAIL() << "a writer began while another connection held the file";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "database is locked");
    }
    EXPECT_FALSE(w.is_valid());
    EXPECT_TRUE(store_lock_is_free());

    other.must("COMMIT");
    writer()->set_value(handle(*reader(), "a.mp3"), "RATING", "5");
    EXPECT_EQ(rows().size(), 2u);
}

TEST_F(SqliteWriter, FailedCommitIsReportedAndDoesNotBlockLaterWriters) {
    {
        // A commit fails when a deferred constraint is broken: a trigger in the
        // file makes every inserted row break one.
        raw_database db(database_file());
        db.must("CREATE TABLE parent (id INTEGER PRIMARY KEY)");
        db.must(
            "CREATE TABLE child (parent_id INTEGER REFERENCES parent(id)"
            " DEFERRABLE INITIALLY DEFERRED)");
        db.must(
            "CREATE TRIGGER orphan AFTER INSERT ON quicktag"
            " BEGIN INSERT INTO child VALUES (1); END");
    }
    ASSERT_EQ(sqlite3_exec(sqlite_query::connection(), "PRAGMA foreign_keys = ON", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    {
        auto w = writer();
        w->set_value(handle(*w, "a.mp3"), "RATING", "5");
        EXPECT_EQ(contents().size(), 1u);
    }
    ASSERT_FALSE(host.session().console().lines().empty());
    EXPECT_EQ(host.session().console().lines().back(),
              "ERROR : Couldn't save changes to the SQLite database (FOREIGN KEY constraint "
              "failed)");
    EXPECT_TRUE(contents().empty()) << "the store shows what the database holds";

    raw_database(database_file()).must("DROP TRIGGER orphan");
    writer()->set_value(handle(*reader(), "b.mp3"), "RATING", "4");
    EXPECT_EQ(rows(), (std::vector<sqlite_row>{{path_of("b.mp3"), 0, "RATING", "4"}}));
}

TEST_F(SqliteWriter, WritingOneTrackCostsNoMoreInATenTimesLargerDatabase) {
    const char* const names[] = {"RATING", "MOOD"};
    size_t stored = 0;
    // Grows the database to `entries` entries of two rows each, opens it, and
    // answers the best of three runs of 200 writers that each rate one track,
    // stored and unstored ones in turn.
    auto time_writes = [&](size_t entries) {
        storage().close();
        std::vector<sqlite_row> added;
        for (; stored < entries; ++stored) {
            for (const char* name : names)
                added.push_back({path_of("t" + std::to_string(stored) + ".mp3"), 0, name, "1"});
        }
        raw_database(database_file()).insert(added);
        storage().open(nullptr);
        // Flushing to disk costs the same at every size and would hide the part of
        // a write that grows with the table.
        EXPECT_EQ(sqlite3_exec(sqlite_query::connection(), "PRAGMA synchronous = OFF", nullptr,
                               nullptr, nullptr),
                  SQLITE_OK);
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            auto start = std::chrono::steady_clock::now();
            for (size_t i = 0; i < 200; ++i) {
                auto w = writer();
                const std::string track =
                    i % 2 ? "t" + std::to_string(i * (entries / 200)) : "new" + std::to_string(i);
                w->set_value(handle(*w, track + ".mp3"), "RATING", "5");
            }
            best = std::min(
                best,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    };
    const double small = time_writes(2000);
    const double large = time_writes(20000);
    // Each write deleting by a scan of the table costs about 10 times as much at
    // the larger size; looking the location up in an index costs about the same.
    EXPECT_LT(large, 5 * small) << "2,000 entries: " << small << " s, 20,000: " << large << " s";
}

}  // namespace
