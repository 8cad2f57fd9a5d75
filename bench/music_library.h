// Track paths shaped like a large music folder, and loading a store with them in
// bulk, for the benchmarks that measure the component over a real-sized library.
#pragma once

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "storage/store.h"

// Names made of syllables, so that paths differ in their letters as a real
// library's do.
class name_maker {
public:
    explicit name_maker(unsigned seed) : m_random(seed) {}
    // `least` to `most` capitalised words.
    std::string words(int least, int most) {
        static const char* const syllables[] = {"ka", "ro",  "mi",  "len", "tor", "sa", "vel",
                                                "un", "dra", "po",  "li",  "ghe", "ma", "rin",
                                                "os", "te",  "bal", "qu",  "ne",  "zo"};
        std::string text;
        for (int w = pick(least, most); w > 0; --w) {
            if (!text.empty())
                text += ' ';
            const size_t start = text.size();
            for (int s = pick(2, 4); s > 0; --s)
                text += syllables[pick(0, std::size(syllables) - 1)];
            text[start] = char(text[start] - 'a' + 'A');
        }
        return text;
    }
    int pick(int least, int most) {
        return std::uniform_int_distribution<int>(least, most)(m_random);
    }

private:
    std::mt19937 m_random;
};

// `count` distinct paths under `root` (a host path ending in '/'), folder by
// folder: artists with five albums of 8 to 14 numbered tracks each, as
// "ROOT/Artist/Album/NN Title.flac".
inline std::vector<std::string> music_paths(const std::string& root, size_t count) {
    name_maker names(3);
    std::vector<std::string> paths;
    paths.reserve(count);
    // A running artist number keeps two artists of the same made-up name apart.
    for (size_t artist_number = 1; paths.size() < count; ++artist_number) {
        const std::string artist =
            root + names.words(1, 3) + " " + std::to_string(artist_number) + "/";
        for (int album = 0; album < 5 && paths.size() < count; ++album) {
            const std::string folder = artist + names.words(1, 4) + "/";
            for (int track = 1, tracks = names.pick(8, 14); track <= tracks && paths.size() < count;
                 ++track) {
                char number[16];
                std::snprintf(number, sizeof number, "%02d ", track);
                paths.push_back(folder + number + names.words(1, 5) + ".flac");
            }
        }
    }
    return paths;
}

// Stores an entry for subsong 0 of every path, with the fields `fields_of(n)`
// gives path n, through the bulk loader the storage methods read their media
// with, in an order unrelated to the paths' own.
template <class Fields>
void load_in_bulk(tagshelf_store& store, const std::vector<std::string>& paths,
                  Fields&& fields_of) {
    std::vector<size_t> order(paths.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::shuffle(order.begin(), order.end(), std::mt19937(11));
    std::lock_guard<std::recursive_mutex> guard(store.mutex());
    tagshelf_store::bulk_loader loader(store);
    loader.reserve(paths.size());
    for (size_t n : order)
        loader.add(paths[n], 0, fields_of(n));
    loader.commit();
}
