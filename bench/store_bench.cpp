// Building a store of a million entries (or the size chosen on the command line)
// through the bulk path, beside a baseline that fills and sorts a plain vector of
// the same lower-cased paths. After the runs it prints the ratio of the two
// medians: the bulk path should stay within a small constant of the baseline,
// where storing one at a time would take hours.
#include <benchmark/benchmark.h>

#include "bench_size.h"
#include "median_reporter.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "sdk/utf8.h"
#include "storage/store.h"

namespace {

struct record {
    std::string path;
    uint32_t subsong;
    x_info_impl fields;
};

// Paths shaped like a large music folder, in an order unrelated to their hashes,
// with one location in fifty repeated in another letter case.
const std::vector<record>& library_records(size_t count) {
    static std::map<size_t, std::vector<record>> made;
    auto& records = made[count];
    if (!records.empty())
        return records;
    records.reserve(count);
    char path[160];
    for (size_t i = 0; i < count; ++i) {
        size_t track = i % 50 == 49 ? i - 7 : i;
        const char* music = i % 50 == 49 ? "MUSIC" : "Music";
        std::snprintf(path, sizeof path,
                      "file:///home/listener/%s/Artist %05zu/Album %02zu/%02zu.flac", music,
                      track / 200, track / 20 % 10, track % 20);
        record r{path, uint32_t(track % 3 == 0), {}};
        r.fields.add_value("RATING", std::to_string(i % 6).c_str());
        records.push_back(std::move(r));
    }
    std::shuffle(records.begin(), records.end(), std::mt19937(11));
    return records;
}

void bulk_load_store(benchmark::State& state) {
    const auto& records = library_records(size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<record> copies = records;
        auto store = std::make_unique<tagshelf_store>();
        state.ResumeTiming();

        tagshelf_store::bulk_loader loader(*store);
        loader.reserve(copies.size());
        for (record& r : copies)
            loader.add(std::move(r.path), r.subsong, std::move(r.fields));
        loader.commit();
        benchmark::DoNotOptimize(store->entry_count());

        state.PauseTiming();
        store.reset();
        copies.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}

void sort_lower_cased_paths(benchmark::State& state) {
    const auto& records = library_records(size_t(state.range(0)));
    for (auto _ : state) {
        std::vector<std::string> paths;
        paths.reserve(records.size());
        for (const record& r : records) {
            paths.emplace_back();
            utf8_append_lower(paths.back(), r.path);
        }
        std::sort(paths.begin(), paths.end());
        benchmark::DoNotOptimize(paths.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}

}  // namespace

int main(int argc, char** argv) {
    take_size_option(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (auto [name, run] : {std::pair{"bulk_load_store", &bulk_load_store},
                             std::pair{"sort_lower_cased_paths", &sort_lower_cased_paths}}) {
        benchmark::RegisterBenchmark(name, run)
            ->Arg(int64_t(bench_entries()))
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->UseRealTime();
    }
    median_reporter reporter(median_reporter::clock::wall);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.print_ratio("bulk_load_store", "sort_lower_cased_paths");
    return 0;
}
