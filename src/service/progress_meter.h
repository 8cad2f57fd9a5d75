// Progress of long work over many entries, told on the host's console: work that
// ends within a second says nothing, longer work says how far it got about once
// a second and that it finished.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

class progress_meter {
public:
    // `activity` names the work in the console lines ("Copying storage contents").
    progress_meter(std::string activity, size_t total);
    ~progress_meter();
    progress_meter(const progress_meter&) = delete;
    progress_meter& operator=(const progress_meter&) = delete;

    // `done` items of the total are finished. Cheap enough to call for every item.
    void advance(size_t done) {
        if ((done & 4095) == 0)
            check(done);
    }

private:
    void check(size_t done);

    std::string m_activity;
    size_t m_total;
    std::chrono::steady_clock::time_point m_next;
    bool m_told = false;
};
