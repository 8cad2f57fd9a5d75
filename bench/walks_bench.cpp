// Walks over the whole store. Library-only pruning: prune_non_library through the
// active storage's own writer, as a storage switch calls it, over a store of a million entries (or
// the size chosen on the command line) against the host's media library of as many tracks, asking
// the library about the track of every entry, beside a baseline of one pass of std::unordered_set
// membership tests over the same lower-cased paths. The store holds every track of the library and,
// one per thousand, a track outside it; each timed prune removes those, and they are stored again
// outside the timed region. After the runs it prints the ratio of the medians.
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
// media library holding the chosen number of tracks and the store holding those
// and the strays, plus the baseline's set and the paths its pass tests.
class pruned_library {
public:
    pruned_library() : m_host(false) {
        const size_t entries = bench_entries();
        m_stored = music_paths("file://" + m_host.profile() + "/music/", entries);
        // The host reads its library from this file; a million tracks added one
        // by one would each be checked against the ones before.
        const std::string listing = m_host.profile() + "/library.txt";
        {
            std::ofstream out(listing, std::ios::binary);
            for (const std::string& path : m_stored)
                out << "0\t" << path << '\n';
        }
        m_host.session().library().load(listing);
        for (size_t n = 0; n < entries; n += 1000) {
            std::string stray = m_stored[n];
            stray.insert(stray.size() - 5, " (live)");
            m_stored.push_back(std::move(stray));
        }
        m_strays = m_stored.size() - entries;

        cfg_storage_method = tagshelf_storage_config::method_guid;
        m_host.session().start();
        load_in_bulk(tagshelf_storage_config::store(), m_stored, &fields_of);

        m_library_keys.reserve(entries);
        for (size_t n = 0; n < m_stored.size(); ++n) {
            std::string key;
            utf8_append_lower(key, m_stored[n]);
            if (n < entries)
                m_library_keys.insert(key);
            m_stored_keys.push_back(std::move(key));
        }
    }

    ~pruned_library() {
        // The session writes the store into its profile when it ends; the
        // measurement is done, so spare it the entries.
        tagshelf_store& store = tagshelf_storage_config::store();
        std::lock_guard<std::recursive_mutex> guard(store.mutex());
        store.remove_all();
    }

    // Stores again the strays a prune removed.
    void restore_strays() {
        service_ptr_t<tagshelf_reader_writer> writer;
        tagshelf_impl::instance().get_writer(writer);
        for (size_t n = m_stored.size() - m_strays; n < m_stored.size(); ++n) {
            const metadb_handle_ptr track =
                host_ops::track_for(playable_location_impl(m_stored[n], 0));
            tagshelf_handle_ptr handle;
            writer->get_handle(handle, track);
            if (!writer->has_info(handle))
                writer->set_info(handle, fields_of(n));
        }
    }

    size_t strays() const { return m_strays; }
    const std::unordered_set<std::string>& library_keys() const { return m_library_keys; }
    const std::vector<std::string>& stored_keys() const { return m_stored_keys; }

private:
    bench_host m_host;
    // The library's tracks, then the strays.
    std::vector<std::string> m_stored;
    size_t m_strays = 0;
    std::unordered_set<std::string> m_library_keys;
    std::vector<std::string> m_stored_keys;
};

pruned_library& the_library() {
    static pruned_library made;
    return made;
}

void prune_non_library_entries(benchmark::State& state) {
    pruned_library& lib = the_library();
    for (auto _ : state) {
        state.PauseTiming();
        lib.restore_strays();
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

void unordered_set_membership(benchmark::State& state) {
    const pruned_library& lib = the_library();
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

}  // namespace

int main(int argc, char** argv) {
    take_size_option(argc, argv);
    benchmark::Initialize(&argc, argv);
    median_reporter reporter(median_reporter::clock::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.print_ratio("prune_non_library_entries", "unordered_set_membership", 2.0);
    return 0;
}
