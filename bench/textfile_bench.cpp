// Opening and closing the text-file storage over a file of a million entries (or
// the size chosen on the command line) of two fields each, in a fresh profile
// directory under /tmp. Open reads the file into the store, beside a baseline
// that reads the same file and splits it into lines in one buffered pass; close
// writes the store to the file, beside a baseline that writes the same bytes
// through one buffered stream with one fsync. Both wait on the disk as well as
// the processor, so wall time is measured. After the runs it prints the ratio of
// each median to its baseline's.
#include <benchmark/benchmark.h>

#include "bench_size.h"
#include "median_reporter.h"
#include "music_library.h"

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "bench_host.h"
#include "storage/textfile/tagshelf_storage_textfile.h"

namespace {

tagshelf_storage_textfile& storage() {
    return tagshelf_storage_textfile_instance();
}

tagshelf_store& store() {
    return tagshelf_storage_textfile::store();
}

// The file's lines, their CR LF removed, read in one buffered pass.
std::vector<std::string> read_lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

// Writes `lines`, each followed by CR LF, through one buffered stream, then
// flushes it to disk; false when any step fails.
bool write_lines(const std::string& path, const std::vector<std::string>& lines) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool written = true;
    for (const std::string& line : lines) {
        written &= std::fwrite(line.data(), 1, line.size(), out) == line.size();
        written &= std::fwrite("\r\n", 1, 2, out) == 2;
    }
    written &= std::fflush(out) == 0 && ::fsync(fileno(out)) == 0;
    return std::fclose(out) == 0 && written;
}

// A host session whose profile holds the data file of the chosen number of
// entries, written by the storage itself, and the file's lines for the baselines.
class text_library {
public:
    text_library() {
        const size_t entries = bench_entries();
        const std::vector<std::string> paths = music_paths("file:///music/", entries);
        storage().open(nullptr);
        load_in_bulk(store(), paths, [](size_t n) {
            x_info_impl fields;
            fields.add_value("RATING", std::to_string(n % 5 + 1).c_str());
            fields.add_value("LAST_PLAYED", "2026-12-08 19:30:00");
            return fields;
        });
        storage().close();
        m_file_size = std::filesystem::file_size(data_file());
        m_lines = read_lines(data_file());
        for (const std::string& path : paths)
            m_path_bytes += path.size();
    }

    ~text_library() {
        // Whatever a case left open goes without writing the file once more.
        std::lock_guard<std::recursive_mutex> guard(store().mutex());
        store().remove_all();
    }

    std::string data_file() const { return tagshelf_storage_textfile::data_path(); }
    std::string baseline_file() const { return m_host.profile() + "/baseline.txt"; }
    uintmax_t file_size() const { return m_file_size; }
    const std::vector<std::string>& lines() const { return m_lines; }
    double average_path_bytes() const { return double(m_path_bytes) / double(bench_entries()); }

private:
    bench_host m_host;
    uintmax_t m_file_size = 0;
    std::vector<std::string> m_lines;
    size_t m_path_bytes = 0;
};

text_library& the_library() {
    static text_library made;
    return made;
}

void count_file(benchmark::State& state) {
    const text_library& lib = the_library();
    state.counters["entries"] = double(bench_entries());
    state.counters["MB"] = double(lib.file_size()) / 1e6;
    state.counters["path_bytes"] = lib.average_path_bytes();
}

void textfile_open(benchmark::State& state) {
    the_library();
    for (auto _ : state) {
        // What the last open read; an open starts from the empty store a close
        // leaves.
        state.PauseTiming();
        {
            std::lock_guard<std::recursive_mutex> guard(store().mutex());
            store().remove_all();
        }
        state.ResumeTiming();
        storage().open(nullptr);
    }
    if (store().entry_count() != bench_entries() ||
        store().total_value_count() != 2 * bench_entries()) {
        state.SkipWithError("open did not read every entry and field");
    }
    count_file(state);
}

void read_and_split_lines(benchmark::State& state) {
    const text_library& lib = the_library();
    size_t lines = 0;
    for (auto _ : state)
        lines = read_lines(lib.data_file()).size();
    if (lines != lib.lines().size())
        state.SkipWithError("the file did not split into its lines");
    count_file(state);
}

void textfile_close(benchmark::State& state) {
    const text_library& lib = the_library();
    for (auto _ : state) {
        state.PauseTiming();
        storage().open(nullptr);
        state.ResumeTiming();
        storage().close();
    }
    if (std::filesystem::file_size(lib.data_file()) != lib.file_size() ||
        store().entry_count() != 0) {
        state.SkipWithError("close did not write the file it read");
    }
    count_file(state);
}

void write_lines_with_one_fsync(benchmark::State& state) {
    const text_library& lib = the_library();
    bool written = true;
    for (auto _ : state)
        written &= write_lines(lib.baseline_file(), lib.lines());
    if (!written || std::filesystem::file_size(lib.baseline_file()) != lib.file_size())
        state.SkipWithError("the lines were not written as the file holds them");
    count_file(state);
}

BENCHMARK(textfile_open)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(read_and_split_lines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(textfile_close)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(write_lines_with_one_fsync)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    take_size_option(argc, argv);
    benchmark::Initialize(&argc, argv);
    median_reporter reporter(median_reporter::clock::wall);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.print_ratio("textfile_open", "read_and_split_lines", 2.5);
    reporter.print_ratio("textfile_close", "write_lines_with_one_fsync", 2.0);
    return 0;
}
