#include "freed_memory_watch.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Fixed storage: the watch itself must allocate nothing that it would then find.
struct Pattern {
    char bytes[256];
    std::size_t length;
};
Pattern patterns[2];
std::atomic<bool> watching{false};
std::atomic<bool> seen{false};

bool holds(const void* block, std::size_t size, const Pattern& pattern)
{
    const char* begin = static_cast<const char*>(block);
    return pattern.length > 0 && std::search(begin, begin + size, pattern.bytes, pattern.bytes + pattern.length) != begin + size;
}

void setPattern(Pattern& pattern, std::string_view bytes)
{
    pattern.length = std::min(bytes.size(), sizeof(pattern.bytes));
    std::memcpy(pattern.bytes, bytes.data(), pattern.length);
}

void release(void* block) noexcept
{
    if (block && watching.load()) {
        const std::size_t size = _msize(block);
        if (holds(block, size, patterns[0]) || holds(block, size, patterns[1])) {
            seen = true;
        }
    }
    std::free(block);
}

} // namespace

FreedMemoryWatch::FreedMemoryWatch(std::string_view pattern, std::string_view otherPattern)
{
    setPattern(patterns[0], pattern);
    setPattern(patterns[1], otherPattern);
    seen = false;
    watching = true;
}

FreedMemoryWatch::~FreedMemoryWatch()
{
    watching = false;
}

bool FreedMemoryWatch::sawPattern() const
{
    return seen.load();
}

void* operator new(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block) {
        throw std::bad_alloc();
    }
    return block;
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* block) noexcept
{
    release(block);
}

void operator delete[](void* block) noexcept
{
    release(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    release(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    release(block);
}
