// The SQLite storage over a large database, each case beside the plain SQLite
// work it cannot do without, on the same rows in the same run:
//
//   rating 10,000 tracks (half of them stored) with the quick-tag command "Rate 5",
//   beside a prepared DELETE and INSERT per track in one transaction;
//   switching from the text file into SQLite with copy, beside a prepared bulk
//   INSERT of the same rows, in the same order, into a fresh table with the
//   same index;
//   opening the method, beside the ordered scan that reads every column.
//
// After the runs it prints the ratio of each median to its baseline's. The
// database holds 1,000,000 entries of two fields each; --entries=N sets another
// size, and --quick runs every case once at 10,000.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "bench_size.h"
#include "median_reporter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_host.h"
#include "frame/config_vars.h"
#include "quicktag/run_quicktag_command.h"
#include "sdk/file.h"
#include "service/tagshelf_impl.h"
#include "storage/sqlite/tagshelf_storage_sqlite.h"
#include "storage/store.h"
#include "storage/textfile/tagshelf_storage_textfile.h"

namespace {

size_t entry_count = 1'000'000;
constexpr size_t rated_tracks = 10'000;

const char* const create_table_sql =
    "CREATE TABLE quicktag (url text NOT NULL,subsong integer(8) NOT NULL default "
    "'0',fieldname text,value text)";
const char* const create_index_sql = "CREATE INDEX quicktag_location ON quicktag (subsong, url)";

// A connection of the benchmark's own, as another program would have.
class connection {
public:
    explicit connection(const std::string& path) {
        if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
            fail();
    }
    ~connection() { sqlite3_close(m_db); }
    connection(const connection&) = delete;
    connection& operator=(const connection&) = delete;

    void exec(const char* sql) {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
    }
    [[noreturn]] void fail() { throw std::runtime_error(sqlite3_errmsg(m_db)); }
    sqlite3* get() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// A prepared statement, reset and bound in one call per run.
class statement {
public:
    statement(connection& db, const char* sql) : m_db(db) {
        if (sqlite3_prepare_v2(db.get(), sql, -1, &m_statement, nullptr) != SQLITE_OK)
            db.fail();
    }
    ~statement() { sqlite3_finalize(m_statement); }
    statement(const statement&) = delete;
    statement& operator=(const statement&) = delete;

    // Runs the statement once with these parameters: text, subsong, then text.
    void run(const std::string& url, uint32_t subsong, const char* name = nullptr,
             const char* value = nullptr) {
        sqlite3_reset(m_statement);
        sqlite3_bind_text(m_statement, 1, url.c_str(), int(url.size()), SQLITE_STATIC);
        sqlite3_bind_int(m_statement, 2, int(subsong));
        if (name)
            sqlite3_bind_text(m_statement, 3, name, -1, SQLITE_STATIC);
        if (value)
            sqlite3_bind_text(m_statement, 4, value, -1, SQLITE_STATIC);
        if (sqlite3_step(m_statement) != SQLITE_DONE)
            m_db.fail();
    }
    sqlite3_stmt* get() const { return m_statement; }

private:
    connection& m_db;
    sqlite3_stmt* m_statement = nullptr;
};

struct stored_entry {
    std::string path;
    std::string rating;
    std::string artist;
};

// The host session, the entries of the database and the tracks that "Rate 5" is
// run on: every (entries / 5,000)th stored track, and as many that are not stored.
class shelf {
public:
    shelf() : m_host(false) {
        // Every entry stays in the storage a switch copies into: pruning entries
        // outside the media library is not what is measured.
        cfg_library_only = 0;
        m_host.session().start();
        const std::string music = "file://" + m_host.profile() + "/music/";
        char name[128];
        m_entries.reserve(entry_count);
        for (size_t n = 0; n < entry_count; ++n) {
            std::snprintf(name, sizeof name, "Artist %05zu/Album %zu/%02zu Track of %zu.flac",
                          n / 50, n / 10 % 5, n % 10, n);
            m_entries.push_back(
                {music + name, std::to_string(n % 4 + 1), "Artist " + std::to_string(n / 50)});
        }
        const size_t stride = entry_count / (rated_tracks / 2);
        for (size_t i = 0; i < rated_tracks / 2; ++i) {
            m_stored.emplace_back(m_entries[i * stride].path, 0);
            std::snprintf(name, sizeof name, "New %05zu/Track %zu.flac", i / 10, i);
            m_new.emplace_back(music + name, 0);
        }
        for (size_t i = 0; i < rated_tracks / 2; ++i) {
            m_rated.add_item(track(m_stored[i]));
            m_rated.add_item(track(m_new[i]));
        }
    }

    std::string file(const char* name) const { return m_host.profile() + "/" + name; }
    std::string database() const { return tagshelf_storage_sqlite::database_path(); }
    const std::vector<stored_entry>& entries() const { return m_entries; }
    // Indexes into entries() in the order a copy out of a store writes them: the
    // store's own order, by location hash. The index takes rows in that order far
    // more slowly than in path order, and the copy cannot choose another.
    const std::vector<size_t>& copy_order() {
        if (m_copy_order.empty()) {
            std::vector<uint32_t> hashes;
            for (const auto& entry : m_entries) {
                m_copy_order.push_back(hashes.size());
                hashes.push_back(location_hash(entry.path, 0));
            }
            std::stable_sort(m_copy_order.begin(), m_copy_order.end(),
                             [&](size_t a, size_t b) { return hashes[a] < hashes[b]; });
        }
        return m_copy_order;
    }
    const std::vector<playable_location_impl>& new_locations() const { return m_new; }
    const metadb_handle_list& rated() const { return m_rated; }
    metadb_handle_ptr track(const playable_location& location) {
        return m_host.session().tracks().track(location);
    }

    // Makes a database file of every entry, with the table and the index the
    // storage makes. Rows are inserted in an order unrelated to their paths, as a
    // library's rows accumulate over the years.
    void make_database(const std::string& path) {
        uDeleteFile(path.c_str());
        std::vector<size_t> order(m_entries.size());
        for (size_t n = 0; n < order.size(); ++n)
            order[n] = n;
        std::shuffle(order.begin(), order.end(), std::mt19937(5));
        connection db(path);
        db.exec(create_table_sql);
        db.exec("BEGIN");
        {
            statement insert(db, "INSERT INTO quicktag VALUES (?,?,?,?)");
            for (size_t n : order) {
                insert.run(m_entries[n].path, 0, "RATING", m_entries[n].rating.c_str());
                insert.run(m_entries[n].path, 0, "ARTIST", m_entries[n].artist.c_str());
            }
        }
        // Built over the rows at once, the index takes a fraction of the time that
        // inserting them one by one into an indexed table takes.
        db.exec(create_index_sql);
        db.exec("COMMIT");
    }

    // Makes `method` the active storage, without copying.
    static void activate(const GUID& method) {
        if (tagshelf_impl::instance().current_storage_guid() != method)
            tagshelf_impl::instance().switch_storage(method, false, false, false);
    }

private:
    bench_host m_host;
    std::vector<stored_entry> m_entries;
    std::vector<size_t> m_copy_order;
    std::vector<playable_location_impl> m_stored;
    std::vector<playable_location_impl> m_new;
    metadb_handle_list m_rated;
};

shelf& the_shelf() {
    static shelf made;
    return made;
}

size_t sqlite_entry_count() {
    return tagshelf_storage_sqlite::store().entry_count();
}

// ---- "Rate 5" on 10,000 tracks ----

void rate_5_command(benchmark::State& state) {
    shelf& s = the_shelf();
    shelf::activate(guid_null);
    s.make_database(s.database());
    shelf::activate(tagshelf_storage_sqlite::method_guid);
    if (sqlite_entry_count() != entry_count) {
        state.SkipWithError("the SQLite storage did not load every entry");
        return;
    }
    for (auto _ : state) {
        run_quicktag_command("RATING", s.rated(), "5", false, false);

        state.PauseTiming();
        if (sqlite_entry_count() != entry_count + rated_tracks / 2) {
            state.SkipWithError("the command did not store every new track");
            break;
        }
        // The next run stores the same tracks anew.
        service_ptr_t<tagshelf_reader_writer> writer;
        if (!tagshelf_impl::instance().get_writer(writer)) {
            state.SkipWithError("no writer");
            break;
        }
        for (const auto& location : s.new_locations()) {
            tagshelf_handle_ptr handle;
            writer->get_handle(handle, s.track(location));
            writer->remove_info(handle);
        }
        writer.release();
        state.ResumeTiming();
    }
}

void rate_5_baseline(benchmark::State& state) {
    shelf& s = the_shelf();
    const std::string path = s.file("baseline.db");
    s.make_database(path);
    connection db(path);
    statement remove_field(
        db, "DELETE FROM quicktag WHERE (url = ?) AND (subsong = ?) AND (fieldname = ?)");
    statement add_value(db, "INSERT INTO quicktag VALUES (?,?,?,?)");
    statement remove_info(db, "DELETE FROM quicktag WHERE (url = ?) AND (subsong = ?)");
    for (auto _ : state) {
        db.exec("BEGIN EXCLUSIVE TRANSACTION");
        for (size_t i = 0; i < s.rated().get_count(); ++i) {
            const playable_location& location = s.rated()[i]->get_location();
            remove_field.run(location.get_path(), location.get_subsong(), "RATING");
            add_value.run(location.get_path(), location.get_subsong(), "RATING", "5");
        }
        db.exec("END TRANSACTION");

        state.PauseTiming();
        db.exec("BEGIN");
        for (const auto& location : s.new_locations())
            remove_info.run(location.get_path(), location.get_subsong());
        db.exec("COMMIT");
        state.ResumeTiming();
    }
}

// ---- switching from the text file into SQLite with copy ----

void switch_into_sqlite_with_copy(benchmark::State& state) {
    shelf& s = the_shelf();
    for (auto _ : state) {
        state.PauseTiming();
        // The text file keeps what the last switch away from it wrote; only the
        // first run fills its store.
        shelf::activate(tagshelf_storage_textfile::guid);
        uDeleteFile(s.database().c_str());
        tagshelf_store& text = tagshelf_storage_textfile::store();
        if (text.entry_count() != entry_count) {
            std::lock_guard<std::recursive_mutex> guard(text.mutex());
            text.remove_all();
            tagshelf_store::bulk_loader loader(text);
            loader.reserve(entry_count);
            for (const auto& entry : s.entries()) {
                x_info_impl fields;
                fields.add_value("RATING", entry.rating.c_str());
                fields.add_value("ARTIST", entry.artist.c_str());
                loader.add(entry.path, 0, std::move(fields));
            }
            loader.commit();
        }
        state.ResumeTiming();

        tagshelf_impl::instance().switch_storage(tagshelf_storage_sqlite::method_guid, true, true,
                                                 true);

        state.PauseTiming();
        if (sqlite_entry_count() != entry_count) {
            state.SkipWithError("the switch did not copy every entry");
            break;
        }
        state.ResumeTiming();
    }
    // After the timed runs.
    connection check(s.database());
    statement count(check, "SELECT count(*) FROM quicktag");
    if (sqlite3_step(count.get()) != SQLITE_ROW ||
        sqlite3_column_int64(count.get(), 0) != int64_t(2 * entry_count))
        state.SkipWithError("the database does not hold two rows per entry");
}

void switch_baseline_bulk_insert(benchmark::State& state) {
    shelf& s = the_shelf();
    const std::string path = s.file("baseline_copy.db");
    for (auto _ : state) {
        state.PauseTiming();
        uDeleteFile(path.c_str());
        connection db(path);
        db.exec(create_table_sql);
        db.exec(create_index_sql);
        statement insert(db, "INSERT INTO quicktag VALUES (?,?,?,?)");
        state.ResumeTiming();

        db.exec("BEGIN EXCLUSIVE TRANSACTION");
        for (size_t n : s.copy_order()) {
            const stored_entry& entry = s.entries()[n];
            insert.run(entry.path, 0, "RATING", entry.rating.c_str());
            insert.run(entry.path, 0, "ARTIST", entry.artist.c_str());
        }
        db.exec("END TRANSACTION");
    }
}

// ---- opening the method ----

void open_sqlite(benchmark::State& state) {
    shelf& s = the_shelf();
    shelf::activate(guid_null);
    s.make_database(s.database());
    tagshelf_storage_sqlite& method = tagshelf_storage_sqlite_instance();
    for (auto _ : state) {
        method.open(nullptr);

        state.PauseTiming();
        const bool complete =
            sqlite_entry_count() == entry_count &&
            tagshelf_storage_sqlite::store().total_value_count() == 2 * entry_count;
        method.close();
        if (!complete) {
            state.SkipWithError("the method did not load every row");
            break;
        }
        state.ResumeTiming();
    }
}

void open_baseline_scan(benchmark::State& state) {
    shelf& s = the_shelf();
    // Scans the file that open_sqlite opened, or one made alike when it did not run.
    shelf::activate(guid_null);
    if (!uFindFirstFile(s.database().c_str()))
        s.make_database(s.database());
    for (auto _ : state) {
        connection db(s.database());
        statement rows(db,
                       "SELECT url, subsong, fieldname, value FROM quicktag ORDER BY url, subsong");
        size_t count = 0;
        for (int result; (result = sqlite3_step(rows.get())) != SQLITE_DONE; ++count) {
            if (result != SQLITE_ROW)
                db.fail();
            benchmark::DoNotOptimize(sqlite3_column_text(rows.get(), 0));
            benchmark::DoNotOptimize(sqlite3_column_int(rows.get(), 1));
            benchmark::DoNotOptimize(sqlite3_column_text(rows.get(), 2));
            benchmark::DoNotOptimize(sqlite3_column_text(rows.get(), 3));
        }
        if (count != 2 * entry_count) {
            state.SkipWithError("the scan did not read every row");
            break;
        }
    }
}

// Each case and its baseline, as registered and as the ratios name them.
struct pairing {
    const char* label;
    const char* measured;
    const char* baseline;
    void (*measure)(benchmark::State&);
    void (*measure_baseline)(benchmark::State&);
    // The ratio the case should stay within.
    double target;
};
const pairing pairings[] = {
    {"Tag Shelf/Rate 5 on 10,000 tracks", "rate_5_command", "rate_5_baseline", &rate_5_command,
     &rate_5_baseline, 2.0},
    {"switch text -> SQLite with copy", "switch_into_sqlite_with_copy",
     "switch_baseline_bulk_insert", &switch_into_sqlite_with_copy, &switch_baseline_bulk_insert,
     2.0},
    {"SQLite open", "open_sqlite", "open_baseline_scan", &open_sqlite, &open_baseline_scan, 1.5},
};

}  // namespace

int main(int argc, char** argv) {
    const bench_size size = take_size_option(argc, argv);
    const bool quick = size.quick;
    entry_count = size.entries;
    for (const auto& p : pairings) {
        for (auto [name, function] :
             {std::pair{p.measured, p.measure}, std::pair{p.baseline, p.measure_baseline}}) {
            benchmark::RegisterBenchmark(name, function)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->Repetitions(quick ? 1 : 3);
        }
    }
    benchmark::Initialize(&argc, argv);
    // Both sides of a pairing commit once, so the processor time compares the work
    // each does; wall time on a machine shared with other work mostly adds noise.
    median_reporter reporter(median_reporter::clock::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("%zu entries:\n", entry_count);
    for (const auto& p : pairings)
        reporter.print_ratio(p.measured, p.baseline, p.target);
    // The session saves nothing worth a million entries when it ends.
    shelf::activate(guid_null);
    return 0;
}
