// Replaces the program's operator new with one that counts before allocating.
#include "allocation_counter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
std::atomic<uint64_t> counted{0};
}  // namespace

uint64_t allocations_so_far() {
    return counted.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
    counted.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    counted.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
