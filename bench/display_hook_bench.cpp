// Resolving %RATING% over a store of a million entries (or the size chosen on the
// command line), through the component's display hook directly and through the
// host's formatter with a compiled script, beside a baseline that lower-cases the
// same path and looks it up in a plain std::unordered_map. After the runs it
// prints the ratio of each median to the baseline's, and the allocations one
// resolution costs.
#include <benchmark/benchmark.h>

#include "bench_size.h"
#include "median_reporter.h"
#include "music_library.h"

#include <cstring>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "allocation_counter.h"
#include "frame/config_vars.h"
#include "frame/host_ops.h"
#include "sdk/titleformat.h"
#include "sdk/utf8.h"
#include "storage/config/tagshelf_storage_config.h"
#include "support/test_host.h"
#include "titleformat/display_hook.h"

namespace {

// The tracks formatted, drawn from the store at random: more than any cache holds
// of the table, few enough to keep the host's track handles small.
constexpr size_t sampled_tracks = 1 << 14;

// A text sink that keeps what was written in a buffer reserved once.
class text_sink : public titleformat_text_out {
public:
    text_sink() { m_text.reserve(256); }
    void write(const GUID&, const char* text, size_t length) override {
        m_text.append(text, length == text_to_terminator ? std::strlen(text) : length);
    }
    void clear() { m_text.clear(); }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// The host session with the configuration-file method active over the chosen
// number of entries, and the sampled tracks with their expected ratings.
struct rated_library {
    rated_library() : host(false) {
        const size_t entries = bench_entries();
        paths = music_paths("file://" + host.profile() + "/music/", entries);
        cfg_storage_method = tagshelf_storage_config::method_guid;
        host.session().start();
        // The host's configuration loads the store when it is read at start, so
        // the bulk load comes after.
        load_in_bulk(tagshelf_storage_config::store(), paths, [](size_t n) {
            x_info_impl fields;
            fields.add_value("ARTIST", "Someone");
            fields.add_value("RATING", rating_of(n).c_str());
            return fields;
        });
        std::mt19937 pick(7);
        std::uniform_int_distribution<size_t> index(0, entries - 1);
        for (size_t i = 0; i < sampled_tracks; ++i) {
            size_t n = index(pick);
            tracks.push_back(host.session().tracks().track(playable_location_impl(paths[n], 0)));
            ratings.push_back(rating_of(n));
        }
        // Most tracks of a library have no fields; these are files of the same
        // folders that the store does not hold.
        for (size_t i = 0; i < sampled_tracks; ++i) {
            std::string path = paths[index(pick)];
            path.insert(path.size() - 5, " (live)");
            unrated_tracks.push_back(
                host.session().tracks().track(playable_location_impl(std::move(path), 0)));
        }
        baseline.reserve(entries);
        for (size_t n = 0; n < entries; ++n) {
            std::string lower;
            utf8_append_lower(lower, paths[n]);
            baseline.emplace(std::move(lower), rating_of(n));
        }
    }

    static std::string rating_of(size_t n) { return std::to_string(n % 5 + 1); }

    test_host host;
    std::vector<std::string> paths;
    std::vector<metadb_handle_ptr> tracks;
    std::vector<std::string> ratings;
    std::vector<metadb_handle_ptr> unrated_tracks;
    std::unordered_map<std::string, std::string> baseline;
};

rated_library& library() {
    static rated_library made;
    return made;
}

// Resolves every sampled track once with `resolve`, which answers the text it
// produced; false (and the run marked failed) when one is not the stored rating.
template <class Resolve>
bool resolves_every_rating(benchmark::State& state, Resolve&& resolve) {
    for (size_t i = 0; i < sampled_tracks; ++i) {
        std::string got = resolve(i);
        if (got != library().ratings[i]) {
            state.SkipWithError(
                ("wrong rating " + got + ", stored " + library().ratings[i]).c_str());
            return false;
        }
    }
    return true;
}

void report_allocations(benchmark::State& state, uint64_t before) {
    state.counters["allocs"] = benchmark::Counter(double(allocations_so_far() - before),
                                                  benchmark::Counter::kAvgIterations);
}

bool resolve_with_hook(size_t i, text_sink& out) {
    out.clear();
    bool found = false;
    tagshelf_display_hook::instance().resolve_field(library().tracks[i].get_ptr(), &out, "RATING",
                                                    6, found);
    return found;
}

void display_hook_resolve_field(benchmark::State& state) {
    text_sink out;
    if (!resolves_every_rating(state, [&](size_t i) {
            resolve_with_hook(i, out);
            return out.text();
        })) {
        return;
    }
    size_t i = 0;
    const uint64_t before = allocations_so_far();
    for (auto _ : state) {
        benchmark::DoNotOptimize(resolve_with_hook(i, out));
        i = (i + 1) % sampled_tracks;
    }
    report_allocations(state, before);
}

void display_hook_declines_unrated_track(benchmark::State& state) {
    const rated_library& lib = library();
    text_sink out;
    auto resolve = [&](size_t i) {
        bool found = false;
        return tagshelf_display_hook::instance().resolve_field(lib.unrated_tracks[i].get_ptr(),
                                                               &out, "RATING", 6, found) ||
               found;
    };
    for (size_t i = 0; i < sampled_tracks; ++i) {
        if (resolve(i)) {
            state.SkipWithError("a track without an entry has a rating");
            return;
        }
    }
    size_t i = 0;
    const uint64_t before = allocations_so_far();
    for (auto _ : state) {
        benchmark::DoNotOptimize(resolve(i));
        i = (i + 1) % sampled_tracks;
    }
    report_allocations(state, before);
}

void host_format_title(benchmark::State& state) {
    service_ptr_t<titleformat_object> script;
    if (!host_ops::single<titleformat_compiler>()->compile(script, "%RATING%")) {
        state.SkipWithError("the script does not compile");
        return;
    }
    string8 out;
    out.str().reserve(256);
    auto format = [&](size_t i) { return library().tracks[i]->format_title(nullptr, out, script); };
    if (!resolves_every_rating(state, [&](size_t i) {
            format(i);
            return out.str();
        })) {
        return;
    }
    size_t i = 0;
    const uint64_t before = allocations_so_far();
    for (auto _ : state) {
        benchmark::DoNotOptimize(format(i));
        i = (i + 1) % sampled_tracks;
    }
    report_allocations(state, before);
}

bool look_up_in_map(size_t i, std::string& lower, text_sink& out) {
    const rated_library& lib = library();
    out.clear();
    lower.clear();
    utf8_append_lower(lower, lib.tracks[i]->get_location().get_path());
    auto found = lib.baseline.find(lower);
    if (found == lib.baseline.end())
        return false;
    out.write(tagshelf_input_type, found->second.data(), found->second.size());
    return true;
}

void unordered_map_lookup(benchmark::State& state) {
    text_sink out;
    std::string lower;
    lower.reserve(256);
    if (!resolves_every_rating(state, [&](size_t i) {
            look_up_in_map(i, lower, out);
            return out.text();
        })) {
        return;
    }
    size_t i = 0;
    const uint64_t before = allocations_so_far();
    for (auto _ : state) {
        benchmark::DoNotOptimize(look_up_in_map(i, lower, out));
        i = (i + 1) % sampled_tracks;
    }
    report_allocations(state, before);
}

BENCHMARK(display_hook_resolve_field);
BENCHMARK(display_hook_declines_unrated_track);
BENCHMARK(host_format_title);
BENCHMARK(unordered_map_lookup);

}  // namespace

int main(int argc, char** argv) {
    take_size_option(argc, argv);
    benchmark::Initialize(&argc, argv);
    median_reporter reporter(median_reporter::clock::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.print_ratio("display_hook_resolve_field", "unordered_map_lookup", 1.3);
    // Declining needs no more than the baseline's failed lookup.
    reporter.print_ratio("display_hook_declines_unrated_track", "unordered_map_lookup", 1.0);
    reporter.print_ratio("host_format_title", "unordered_map_lookup");
    // The session writes the store into its profile when it ends; the measurement
    // is done, so spare it the million entries.
    tagshelf_store& store = tagshelf_storage_config::store();
    std::lock_guard<std::recursive_mutex> guard(store.mutex());
    store.remove_all();
    return 0;
}
