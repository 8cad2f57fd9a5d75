// The host's notifications of moved and deleted files, handled by the component
// (tagshelf_impl::update_locations and remove_entries) over a store of a million
// entries (or the size chosen on the command line) with the configuration-file
// method active, beside a baseline that does the least the same notification
// needs of a std::unordered_map keyed by lower-cased path: lower-case each
// notified path, then erase the old key and insert the fields under the new one,
// or only erase it. Every timed call changes the same number of entries and the
// store keeps its size: a file moved there is moved back by a later call, and
// deleted files are stored again outside the timed region. After the runs it
// prints the ratio of each median to its baseline's.
#include <benchmark/benchmark.h>

#include "bench_size.h"
#include "median_reporter.h"
#include "music_library.h"

#include <algorithm>
#include <mutex>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bench_host.h"
#include "frame/config_vars.h"
#include "frame/host_ops.h"
#include "sdk/file.h"
#include "sdk/utf8.h"
#include "service/tagshelf_impl.h"
#include "storage/config/tagshelf_storage_config.h"

namespace {

using baseline_map = std::unordered_map<std::string, x_info_impl>;

x_info_impl fields_of(size_t n) {
    x_info_impl fields;
    fields.add_value("RATING", std::to_string(n % 5 + 1).c_str());
    return fields;
}

// Files that one notification names, as the host sends them: their paths where
// they were first stored and in the folder they move to, and where they are now.
struct notified_files {
    // Their places in the library, which give their fields.
    std::vector<size_t> files;
    list_t<const char*> original;
    list_t<const char*> moved;
    bool away = false;

    const path_list& current() const { return away ? moved : original; }
    const path_list& other() const { return away ? original : moved; }
};

// Groups of files that a case notifies in turn, the next group first.
class file_groups {
public:
    void add(notified_files group) { m_groups.push_back(std::move(group)); }
    notified_files& next() {
        notified_files& group = m_groups[m_next];
        m_next = (m_next + 1) % m_groups.size();
        return group;
    }
    size_t next_index() const { return m_next; }
    size_t size() const { return m_groups.size(); }
    const std::vector<notified_files>& all() const { return m_groups; }

private:
    std::vector<notified_files> m_groups;
    size_t m_next = 0;
};

// The in-process host session with the configuration-file method active over the
// chosen number of entries, the baseline's map of the same paths, and the files
// each case notifies. Disjoint parts of the library serve the cases, so that one
// case leaves the files of another where they were.
class moving_library {
public:
    moving_library() : m_host(false) {
        const size_t entries = bench_entries();
        m_root = "file://" + m_host.profile() + "/music/";
        m_paths = music_paths(m_root, entries);
        for (const std::string& path : m_paths)
            m_moved_paths.push_back(m_root + "Moved/" + path.substr(m_root.size()));
        cfg_storage_method = tagshelf_storage_config::method_guid;
        m_host.session().start();
        load_in_bulk(tagshelf_storage_config::store(), m_paths, &fields_of);
        m_baseline.reserve(entries);
        for (size_t n = 0; n < entries; ++n) {
            std::string key;
            utf8_append_lower(key, m_paths[n]);
            m_baseline.emplace(std::move(key), fields_of(n));
        }

        // The folder case moves whole albums: the first hundredth of the
        // library, which is stored folder by folder. The one-file cases take
        // files at random from the second half, a different quarter each.
        std::vector<size_t> folder(std::max<size_t>(1, entries / 100));
        for (size_t n = 0; n < folder.size(); ++n)
            folder[n] = n;
        for (file_groups* groups : {&m_folder_in_store, &m_folder_in_map})
            groups->add(files(folder));
        const size_t quarter = entries / 4;
        std::vector<size_t> scattered(2 * quarter);
        for (size_t n = 0; n < scattered.size(); ++n)
            scattered[n] = entries - scattered.size() + n;
        std::mt19937 random(5);
        std::shuffle(scattered.begin(), scattered.begin() + quarter, random);
        std::shuffle(scattered.begin() + quarter, scattered.end(), random);
        const size_t pool = std::max<size_t>(1, std::min<size_t>(1024, quarter));
        for (size_t i = 0; i < pool; ++i) {
            for (file_groups* groups : {&m_single_in_store, &m_single_in_map})
                groups->add(files({scattered[i]}));
            for (file_groups* groups : {&m_deleted_from_store, &m_deleted_from_map})
                groups->add(files({scattered[quarter + i]}));
        }
    }

    ~moving_library() {
        // The session writes the store into its profile when it ends; the
        // measurement is done, so spare it the entries.
        tagshelf_store& store = tagshelf_storage_config::store();
        std::lock_guard<std::recursive_mutex> guard(store.mutex());
        store.remove_all();
    }

    baseline_map& baseline() { return m_baseline; }
    file_groups& folder_in_store() { return m_folder_in_store; }
    file_groups& folder_in_map() { return m_folder_in_map; }
    file_groups& single_in_store() { return m_single_in_store; }
    file_groups& single_in_map() { return m_single_in_map; }
    file_groups& deleted_from_store() { return m_deleted_from_store; }
    file_groups& deleted_from_map() { return m_deleted_from_map; }

    // Stores the deleted files of `groups` again, as they were first stored.
    void restore_in_store(file_groups& groups) {
        service_ptr_t<tagshelf_reader_writer> writer;
        tagshelf_impl::instance().get_writer(writer);
        for (const notified_files& group : groups.all()) {
            for (size_t n : group.files) {
                tagshelf_handle_ptr handle;
                writer->get_handle(handle,
                                   host_ops::track_for(playable_location_impl(m_paths[n], 0)));
                writer->set_info(handle, fields_of(n));
            }
        }
    }
    void restore_in_map(file_groups& groups) {
        for (const notified_files& group : groups.all()) {
            for (size_t n : group.files) {
                std::string key;
                utf8_append_lower(key, m_paths[n]);
                m_baseline.emplace(std::move(key), fields_of(n));
            }
        }
    }

private:
    notified_files files(const std::vector<size_t>& chosen) {
        notified_files group;
        group.files = chosen;
        for (size_t n : chosen) {
            group.original.add_item(m_paths[n].c_str());
            group.moved.add_item(m_moved_paths[n].c_str());
        }
        return group;
    }

    bench_host m_host;
    std::string m_root;
    std::vector<std::string> m_paths;
    std::vector<std::string> m_moved_paths;
    baseline_map m_baseline;
    file_groups m_folder_in_store;
    file_groups m_folder_in_map;
    file_groups m_single_in_store;
    file_groups m_single_in_map;
    file_groups m_deleted_from_store;
    file_groups m_deleted_from_map;
};

moving_library& the_library() {
    static moving_library made;
    return made;
}

bool stored(const char* path) {
    tagshelf_store& store = tagshelf_storage_config::store();
    std::lock_guard<std::recursive_mutex> guard(store.mutex());
    return store.find(playable_location_impl(path, 0)) != nullptr;
}

bool mapped(const char* path) {
    std::string key;
    utf8_append_lower(key, path);
    return the_library().baseline().count(key) != 0;
}

// Whether every file of `group` is found where it is now and not where it was.
template <class Holds>
bool moved_as_told(const notified_files& group, Holds&& holds) {
    for (size_t i = 0; i < group.original.get_count(); ++i) {
        if (!holds(group.current()[i]) || holds(group.other()[i]))
            return false;
    }
    return true;
}

void update_locations(notified_files& group) {
    tagshelf_impl::instance().update_locations(group.current(), group.other());
    group.away = !group.away;
}

void rekey_in_map(notified_files& group) {
    baseline_map& map = the_library().baseline();
    std::string old_key;
    std::string new_key;
    const path_list& from = group.current();
    const path_list& to = group.other();
    for (size_t i = 0, n = from.get_count(); i < n; ++i) {
        old_key.clear();
        utf8_append_lower(old_key, from[i]);
        auto found = map.find(old_key);
        if (found == map.end())
            continue;
        x_info_impl fields = std::move(found->second);
        map.erase(found);
        new_key.clear();
        utf8_append_lower(new_key, to[i]);
        map.emplace(new_key, std::move(fields));
    }
    group.away = !group.away;
}

// Moves the next group of `groups` each timed call; afterwards checks that the
// last group moved really did.
template <class Move, class Holds>
void run_moves(benchmark::State& state, file_groups& groups, Move&& move, Holds&& holds) {
    notified_files* last = nullptr;
    for (auto _ : state) {
        last = &groups.next();
        move(*last);
    }
    if (last && !moved_as_told(*last, holds))
        state.SkipWithError("the notified files are not where they were moved");
    state.counters["entries"] = double(bench_entries());
    state.counters["files"] = double(last ? last->original.get_count() : 0);
}

void update_locations_of_folder(benchmark::State& state) {
    run_moves(state, the_library().folder_in_store(), &update_locations, &stored);
}
void rekey_folder_in_map(benchmark::State& state) {
    run_moves(state, the_library().folder_in_map(), &rekey_in_map, &mapped);
}
void update_locations_of_one_file(benchmark::State& state) {
    run_moves(state, the_library().single_in_store(), &update_locations, &stored);
}
void rekey_one_file_in_map(benchmark::State& state) {
    run_moves(state, the_library().single_in_map(), &rekey_in_map, &mapped);
}

void remove_entries(notified_files& group) {
    tagshelf_impl::instance().remove_entries(group.original);
}

void erase_in_map(notified_files& group) {
    std::string key;
    utf8_append_lower(key, group.original[0]);
    the_library().baseline().erase(key);
}

// Deletes the next file of `groups` each timed call. Once every file is deleted,
// checks that none is held any more and stores them again, outside the timed
// region.
template <class Delete, class Holds, class Restore>
void run_deletes(benchmark::State& state, file_groups& groups, Delete&& remove, Holds&& holds,
                 Restore&& restore) {
    for (auto _ : state) {
        remove(groups.next());
        if (groups.next_index() != 0)
            continue;
        state.PauseTiming();
        for (const notified_files& group : groups.all()) {
            if (holds(group.original[0])) {
                state.SkipWithError("a deleted file is still held");
                break;
            }
        }
        restore(groups);
        state.ResumeTiming();
    }
    state.counters["entries"] = double(bench_entries());
}

void remove_entries_of_one_file(benchmark::State& state) {
    moving_library& lib = the_library();
    run_deletes(state, lib.deleted_from_store(), &remove_entries, &stored,
                [&](file_groups& groups) { lib.restore_in_store(groups); });
}
void erase_one_file_in_map(benchmark::State& state) {
    moving_library& lib = the_library();
    run_deletes(state, lib.deleted_from_map(), &erase_in_map, &mapped,
                [&](file_groups& groups) { lib.restore_in_map(groups); });
}

}  // namespace

int main(int argc, char** argv) {
    take_size_option(argc, argv);
    benchmark::Initialize(&argc, argv);
    const std::string folder = std::to_string(std::max<size_t>(1, bench_entries() / 100));
    const std::string folder_case = "update_locations_" + folder + "_files";
    const std::string folder_baseline = "unordered_map_rekey_" + folder + "_keys";
    benchmark::RegisterBenchmark(folder_case.c_str(), &update_locations_of_folder)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(folder_baseline.c_str(), &rekey_folder_in_map)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("update_locations_1_file", &update_locations_of_one_file)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("unordered_map_rekey_1_key", &rekey_one_file_in_map)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("remove_entries_1_file", &remove_entries_of_one_file)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("unordered_map_erase_1_key", &erase_one_file_in_map)
        ->Unit(benchmark::kMicrosecond);

    median_reporter reporter(median_reporter::clock::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.print_ratio(folder_case, folder_baseline, 3.0);
    reporter.print_ratio("update_locations_1_file", "unordered_map_rekey_1_key", 3.0);
    reporter.print_ratio("remove_entries_1_file", "unordered_map_erase_1_key", 3.0);
    return 0;
}
