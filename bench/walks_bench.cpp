// Walks over the whole store. Library-only pruning: prune_non_library through the
// active storage's own writer, as a storage switch calls it, over a store of a million entries (or
// the size chosen on the command line) against the host's media library of as many tracks, asking
// the library about the track of every entry.
//
// - Beside a baseline of one pass of std::unordered_set membership tests over the same lower-cased
//   paths: the store holds every track of the library and, one per thousand, a track outside it;
//   each timed prune removes those, and they are stored again outside the timed region.
// - Following moved files, beside the same pruning that removes their entries instead: one file in
//   ten has moved to another folder, where the library lists it, and its entry is re-keyed there
//   (or removed); the entries are put back at the old places outside the timed region.
//
// After the runs it prints the ratios of the medians.
#include <benchmark/benchmark.h>

#include "bench_size.h"
#include "median_reporter.h"
#include "music_library.h"

#include <algorithm>
#include <fstream>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "bench_host.h"
#include "frame/config_vars.h"
#include "frame/host_ops.h"
#include "sdk/utf8.h"
#include "service/storage_contents.h"
#include "service/tagshelf_impl.h"
#include "storage/config/tagshelf_storage_config.h"

namespace {

x_info_impl fields_of(size_t n) {
    x_info_impl fields;
    fields.add_value("RATING", std::to_string(n % 5 + 1).c_str());
    return fields;
}

// The in-process host session with the configuration-file method active, its
// media library and store filled for one of the cases, plus what they check.
class walked_library {
public:
    enum class scene { none, strays, moved };

    walked_library() : m_host(false) {
        cfg_storage_method = tagshelf_storage_config::method_guid;
        m_host.session().start();
    }

    ~walked_library() {
        // The session writes the store into its profile when it ends; the
        // measurement is done, so spare it the entries.
        tagshelf_store& store = tagshelf_storage_config::store();
        std::lock_guard<std::recursive_mutex> guard(store.mutex());
        store.remove_all();
    }

    // Fills the library and the store for `wanted`, unless they hold it already.
    void set(scene wanted) {
        if (m_scene == wanted)
            return;
        m_scene = wanted;
        const size_t entries = bench_entries();
        const std::string root = "file://" + m_host.profile() + "/";
        m_stored = music_paths(root + "music/", entries);
        m_strays = 0;
        m_moved.clear();
        std::vector<std::string> listed = m_stored;
        if (wanted == scene::strays) {
            for (size_t n = 0; n < entries; n += 1000) {
                std::string stray = m_stored[n];
                stray.insert(stray.size() - 5, " (live)");
                m_stored.push_back(std::move(stray));
            }
            m_strays = m_stored.size() - entries;
        } else {
            // The moved file keeps its folder and file name under another root.
            for (size_t n = 0; n < entries; n += 10) {
                listed[n].replace(0, root.size() + 5, root + "moved");
                m_moved.push_back(n);
            }
        }
        // The host reads its library from this file; a million tracks added one
        // by one would each be checked against the ones before.
        const std::string listing = m_host.profile() + "/library.txt";
        {
            std::ofstream out(listing, std::ios::binary);
            for (const std::string& path : listed)
                out << "0\t" << path << '\n';
        }
        m_host.session().library().load(listing);
        m_listed = std::move(listed);
        tagshelf_store& store = tagshelf_storage_config::store();
        {
            std::lock_guard<std::recursive_mutex> guard(store.mutex());
            store.remove_all();
        }
        load_in_bulk(store, m_stored, &fields_of);

        m_library_keys.clear();
        m_stored_keys.clear();
        if (wanted != scene::strays)
            return;
        m_library_keys.reserve(entries);
        for (size_t n = 0; n < m_stored.size(); ++n) {
            std::string key;
            utf8_append_lower(key, m_stored[n]);
            if (n < entries)
                m_library_keys.insert(key);
            m_stored_keys.push_back(std::move(key));
        }
    }

    // Stores again the entries a prune removed or moved: the strays, or every
    // moved file's entry at its old place (and none at its new one).
    void restore() {
        service_ptr_t<tagshelf_reader_writer> writer;
        tagshelf_impl::instance().get_writer(writer);
        auto store_again = [&](size_t n) {
            const metadb_handle_ptr track =
                host_ops::track_for(playable_location_impl(m_stored[n], 0));
            tagshelf_handle_ptr handle;
            writer->get_handle(handle, track);
            if (!writer->has_info(handle))
                writer->set_info(handle, fields_of(n));
        };
        for (size_t n = m_stored.size() - m_strays; n < m_stored.size(); ++n)
            store_again(n);
        for (size_t n : m_moved) {
            tagshelf_handle_ptr moved;
            writer->get_handle(moved, host_ops::track_for(playable_location_impl(m_listed[n], 0)));
            writer->remove_info(moved);
            store_again(n);
        }
    }

    size_t strays() const { return m_strays; }
    size_t moved() const { return m_moved.size(); }
    const std::unordered_set<std::string>& library_keys() const { return m_library_keys; }
    const std::vector<std::string>& stored_keys() const { return m_stored_keys; }

private:
    bench_host m_host;
    scene m_scene = scene::none;
    // The stored tracks: the library's, then the strays; or every file at its old place.
    std::vector<std::string> m_stored;
    // The library's tracks, the moved files at their new places.
    std::vector<std::string> m_listed;
    size_t m_strays = 0;
    // The indexes of the moved files.
    std::vector<size_t> m_moved;
    std::unordered_set<std::string> m_library_keys;
    std::vector<std::string> m_stored_keys;
};

walked_library& the_library(walked_library::scene scene) {
    static walked_library made;
    made.set(scene);
    return made;
}

void prune_non_library_entries(benchmark::State& state) {
    walked_library& lib = the_library(walked_library::scene::strays);
    for (auto _ : state) {
        state.PauseTiming();
        lib.restore();
        state.ResumeTiming();
        service_ptr_t<tagshelf_reader_writer> writer;
        tagshelf_impl::instance().active_storage()->get_writer(writer);
        prune_non_library(*writer);
    }
    const tagshelf_store& store = tagshelf_storage_config::store();
    if (store.entry_count() != bench_entries())
        state.SkipWithError("the prune did not leave exactly the library's tracks");
    state.counters["entries"] = double(bench_entries() + lib.strays());
    state.counters["removed"] = double(lib.strays());
}

// Library-only pruning of a store where one file in ten moved elsewhere in the
// library, its entries following the files or removed.
void prune_moved_files(benchmark::State& state, moved_files moved) {
    walked_library& lib = the_library(walked_library::scene::moved);
    size_t followed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        lib.restore();
        state.ResumeTiming();
        service_ptr_t<tagshelf_reader_writer> writer;
        tagshelf_impl::instance().active_storage()->get_writer(writer);
        followed = prune_non_library(*writer, moved);
    }
    const size_t kept = tagshelf_storage_config::store().entry_count();
    // Made-up names of two moved files may meet in one folder and file name,
    // which leaves neither certain; a handful at most.
    const bool as_expected = moved == moved_files::removed
                                 ? followed == 0 && kept == bench_entries() - lib.moved()
                                 : followed * 100 >= lib.moved() * 99 &&
                                       kept == bench_entries() - (lib.moved() - followed);
    if (!as_expected)
        state.SkipWithError("the prune did not follow or remove the moved files as expected");
    state.counters["entries"] = double(bench_entries());
    state.counters["moved"] = double(lib.moved());
    state.counters["followed"] = double(followed);
}

void prune_following_moved_files(benchmark::State& state) {
    prune_moved_files(state, moved_files::followed);
}

void prune_removing_moved_files(benchmark::State& state) {
    prune_moved_files(state, moved_files::removed);
}

void unordered_set_membership(benchmark::State& state) {
    const walked_library& lib = the_library(walked_library::scene::strays);
    size_t outside = 0;
    for (auto _ : state) {
        outside = 0;
        for (const std::string& key : lib.stored_keys())
            outside += lib.library_keys().count(key) == 0;
        benchmark::DoNotOptimize(outside);
    }
    if (outside != lib.strays())
        state.SkipWithError("the pass did not find exactly the strays outside the library");
    state.counters["entries"] = double(lib.stored_keys().size());
}

BENCHMARK(prune_non_library_entries)->Unit(benchmark::kMillisecond);
BENCHMARK(unordered_set_membership)->Unit(benchmark::kMillisecond);
BENCHMARK(prune_following_moved_files)->Unit(benchmark::kMillisecond);
BENCHMARK(prune_removing_moved_files)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    take_size_option(argc, argv);
    benchmark::Initialize(&argc, argv);
    median_reporter reporter(median_reporter::clock::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.print_ratio("prune_non_library_entries", "unordered_set_membership", 2.0);
    reporter.print_ratio("prune_following_moved_files", "prune_removing_moved_files", 2.0);
    return 0;
}
