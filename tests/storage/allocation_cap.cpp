// Caps every allocation of the test program. A reader that believed a corrupt
// announced length would ask for gigabytes; here it gets std::bad_alloc at once
// instead of exhausting the machine, and the test sees the wrong exception.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
constexpr std::size_t largest_sane_allocation = std::size_t(64) << 20;
}  // namespace

void* operator new(std::size_t size) {
    if (size > largest_sane_allocation)
        throw std::bad_alloc();
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

// The library's temporary buffers ask without exceptions; they must meet the same
// cap and be freed by the same deallocation.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (size > largest_sane_allocation)
        return nullptr;
    return std::malloc(size ? size : 1);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
