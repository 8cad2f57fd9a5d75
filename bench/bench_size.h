// The size option every benchmark program takes. By default a program measures
// its cases over a million entries and repeats each five times, so that the
// report gives medians. With --quick it runs each case once, for a minimal time,
// over ten thousand entries: a check that every case still works, in seconds.
// --entries=N sets the size alone (to run a case under a profiler, say).
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

struct bench_size {
    size_t entries = 1'000'000;
    bool quick = false;
};

// The size the command line chose; the default until take_size_option has run.
inline bench_size& chosen_bench_size() {
    static bench_size size;
    return size;
}

inline size_t bench_entries() {
    return chosen_bench_size().entries;
}

// Reads and removes --quick and --entries=N from the command line, and adds the
// repetitions and the minimal time they imply unless the command line gives its
// own. Call it before benchmark::Initialize, which then reads the result; argv
// points to storage that lives as long as the program.
inline bench_size take_size_option(int& argc, char**& argv) {
    static std::vector<std::string> added;
    static std::vector<char*> kept;
    bench_size& size = chosen_bench_size();
    bool entries_given = false;
    bool repetitions_given = false;
    bool min_time_given = false;
    kept.assign(argv, argv + 1);
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--quick") {
            size.quick = true;
            continue;
        }
        if (arg.substr(0, 10) == "--entries=") {
            char* end = nullptr;
            const unsigned long long entries = std::strtoull(argv[i] + 10, &end, 10);
            // Fewer would leave some cases without files of their own to work on.
            if (entries < 100 || *end != '\0') {
                std::fprintf(stderr, "%s: --entries needs a number from 100 up\n", argv[0]);
                std::exit(2);
            }
            size.entries = size_t(entries);
            entries_given = true;
            continue;
        }
        repetitions_given |= arg.substr(0, 23) == "--benchmark_repetitions";
        min_time_given |= arg.substr(0, 20) == "--benchmark_min_time";
        kept.push_back(argv[i]);
    }
    if (size.quick && !entries_given)
        size.entries = 10'000;
    added.clear();
    if (!repetitions_given)
        added.push_back(size.quick ? "--benchmark_repetitions=1" : "--benchmark_repetitions=5");
    if (size.quick && !min_time_given)
        added.push_back("--benchmark_min_time=0.001");
    for (std::string& arg : added)
        kept.push_back(arg.data());
    argc = int(kept.size());
    kept.push_back(nullptr);
    argv = kept.data();
    return size;
}
