// A folder move notified to the component: tagshelf_impl::update_locations,
// which matches entries through a set of lower-cased paths, beside the
// straightforward nested walk (every entry compared with every source path, the
// first match wins) on the same data in the same run, at two sizes. The nested
// walk grows as entries times paths; after the runs the ratio of the medians at
// each size shows how far apart the two have grown.
#include <benchmark/benchmark.h>

#include "median_reporter.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "frame/config_vars.h"
#include "frame/host_ops.h"
#include "sdk/file.h"
#include "sdk/utf8.h"
#include "service/tagshelf_impl.h"
#include "storage/config/tagshelf_storage_config.h"
#include "support/test_host.h"

namespace {

// The two sizes: entries in the store, and files in the moved folder.
struct size_case {
    size_t entries;
    size_t moved;
};
constexpr size_case small_case{10'000, 100};
constexpr size_case large_case{100'000, 1'000};

// The re-keying the nested walk does for an entry whose file moved: the same
// writer operations as update_locations.
void move_entry(tagshelf_reader_writer& writer, const tagshelf_handle_ptr& handle,
                const char* target_path) {
    string8 canonical;
    filesystem::g_get_canonical_path(target_path, canonical);
    playable_location_impl target(canonical.str(), handle->get_location().get_subsong());
    tagshelf_handle_ptr moved;
    writer.get_handle(moved, host_ops::track_for(target));
    writer.copy_info(handle, moved);
    writer.remove_info(handle);
}

// Every entry compared with every source path in turn; the first match wins.
void nested_walk(const path_list& from, const path_list& to) {
    service_ptr_t<tagshelf_reader_writer> writer;
    if (!tagshelf_impl::instance().get_writer(writer))
        return;
    tagshelf_handle_list handles;
    writer->enum_handles(handles);
    for (const auto& handle : handles) {
        const char* path = handle->get_location().get_path();
        for (size_t i = 0, n = from.get_count(); i < n; ++i) {
            if (stricmp_utf8(path, from[i]) == 0) {
                move_entry(*writer, handle, to[i]);
                break;
            }
        }
    }
}

// The in-process host with the configuration-file method active.
class library {
public:
    library() : m_host(false) {
        cfg_storage_method = tagshelf_storage_config::method_guid;
        m_host.session().start();
    }

    // Refills the store with `size.entries` entries: one file in ten has a second
    // subsong, as an image with a cue sheet has. Names the files of one folder in
    // three as the moved ones, until `size.moved` are named, with their targets.
    void fill(size_case size) {
        const std::string music = "file://" + m_host.profile() + "/music/";
        m_from.clear();
        m_to.clear();
        tagshelf_store& store = tagshelf_storage_config::store();
        std::lock_guard<std::recursive_mutex> guard(store.mutex());
        store.remove_all();
        tagshelf_store::bulk_loader loader(store);
        loader.reserve(size.entries);
        char name[128];
        for (size_t file = 0, stored = 0; stored < size.entries; ++file) {
            std::snprintf(name, sizeof name, "Artist %04zu/Album %zu/%02zu Song of %zu.flac",
                          file / 40, file / 10 % 4, file % 10, file);
            const std::string path = music + name;
            for (uint32_t subsong = 0; subsong < (file % 10 == 3 ? 2u : 1u); ++subsong) {
                x_info_impl fields;
                fields.add_value("RATING", std::to_string(file % 5 + 1).c_str());
                loader.add(path, subsong, std::move(fields));
                ++stored;
            }
            if (file / 10 % 3 == 0 && m_from.size() < size.moved) {
                m_from.push_back(path);
                m_to.push_back(music + "Moved/" + name);
            }
        }
        loader.commit();
    }

    // The notification of the named files' move, there or back again.
    void notify(bool back, void (*update)(const path_list&, const path_list&)) {
        list_t<const char*> from, to;
        for (size_t i = 0; i < m_from.size(); ++i) {
            from.add_item(back ? m_to[i].c_str() : m_from[i].c_str());
            to.add_item(back ? m_from[i].c_str() : m_to[i].c_str());
        }
        update(from, to);
    }

    // Every entry as "lower-cased path#subsong=RATING", sorted.
    std::vector<std::string> contents() {
        std::vector<std::string> listed;
        tagshelf_store& store = tagshelf_storage_config::store();
        std::lock_guard<std::recursive_mutex> guard(store.mutex());
        for (const auto& entry : store.entries()) {
            std::string line;
            utf8_append_lower(line, entry->location.path());
            const char* rating = entry->fields.value_by_name("RATING", 0);
            line +=
                "#" + std::to_string(entry->location.get_subsong()) + "=" + (rating ? rating : "");
            listed.push_back(std::move(line));
        }
        std::sort(listed.begin(), listed.end());
        return listed;
    }

private:
    test_host m_host;
    std::vector<std::string> m_from;
    std::vector<std::string> m_to;
};

library& the_library() {
    static library made;
    return made;
}

void update_locations(const path_list& from, const path_list& to) {
    tagshelf_impl::instance().update_locations(from, to);
}

const size_case& size_of(const benchmark::State& state) {
    return state.range(0) == 0 ? small_case : large_case;
}

// Each timed call moves the folder, the next one moves it back, so every call
// re-keys the same number of entries.
void run_moves(benchmark::State& state, void (*update)(const path_list&, const path_list&)) {
    library& lib = the_library();
    lib.fill(size_of(state));
    bool back = false;
    for (auto _ : state) {
        lib.notify(back, update);
        back = !back;
    }
    state.counters["entries"] = double(size_of(state).entries);
    state.counters["moved"] = double(size_of(state).moved);
}

void set_of_paths(benchmark::State& state) {
    run_moves(state, &update_locations);
}

void nested_walk_of_paths(benchmark::State& state) {
    run_moves(state, &nested_walk);
}

constexpr int repetitions = 3;

BENCHMARK(set_of_paths)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(repetitions);
BENCHMARK(nested_walk_of_paths)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(repetitions);

// Both walks must leave the same store behind, or the comparison means nothing.
bool walks_agree() {
    library& lib = the_library();
    lib.fill(small_case);
    lib.notify(false, &update_locations);
    const auto by_set = lib.contents();
    lib.fill(small_case);
    lib.notify(false, &nested_walk);
    const auto by_nested_walk = lib.contents();
    lib.fill(small_case);
    return by_set == by_nested_walk && by_set != lib.contents();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!walks_agree()) {
        std::fprintf(stderr, "the set of paths and the nested walk leave different stores\n");
        return 1;
    }
    median_reporter reporter(median_reporter::clock::cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const auto& [arg, size] : {std::pair{"0", small_case}, std::pair{"1", large_case}}) {
        double ratio = reporter.ratio(std::string("nested_walk_of_paths/") + arg,
                                      std::string("set_of_paths/") + arg);
        if (ratio > 0)
            std::printf("%zu entries, %zu moved: median ratio nested_walk / set_of_paths: %.1f\n",
                        size.entries, size.moved, ratio);
    }
    // The session writes the store into its profile when it ends; the measurement
    // is done, so spare it the million entries.
    tagshelf_store& store = tagshelf_storage_config::store();
    std::lock_guard<std::recursive_mutex> guard(store.mutex());
    store.remove_all();
    return 0;
}
