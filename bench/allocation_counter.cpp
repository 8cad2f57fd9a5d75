// Replaces the program's operator new with one that counts before allocating.
#include "allocation_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<uint64_t> counted{0};
std::atomic<uint64_t> live_bytes{0};
std::atomic<uint64_t> peak_bytes{0};

void* note_allocation(void* p) {
    counted.fetch_add(1, std::memory_order_relaxed);
    if (!p)
        return p;
    const uint64_t now = live_bytes.fetch_add(malloc_usable_size(p), std::memory_order_relaxed) +
                         malloc_usable_size(p);
    uint64_t peak = peak_bytes.load(std::memory_order_relaxed);
    while (now > peak && !peak_bytes.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
    return p;
}

void release(void* p) {
    if (p)
        live_bytes.fetch_sub(malloc_usable_size(p), std::memory_order_relaxed);
    std::free(p);
}

}  // namespace

uint64_t allocations_so_far() {
    return counted.load(std::memory_order_relaxed);
}

uint64_t allocated_bytes() {
    return live_bytes.load(std::memory_order_relaxed);
}

uint64_t peak_allocated_bytes() {
    return peak_bytes.load(std::memory_order_relaxed);
}

void reset_peak_bytes() {
    peak_bytes.store(live_bytes.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
    if (void* p = note_allocation(std::malloc(size ? size : 1)))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    release(p);
}

void operator delete(void* p, std::size_t) noexcept {
    release(p);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return note_allocation(std::malloc(size ? size : 1));
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    release(p);
}
