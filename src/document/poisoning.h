#pragma once

// The pools' word with the address sanitizer. Memory a pool holds but nobody may touch (a freed node
// slot, a page given back, the room past a buffer's end) is poisoned, so that a read or write there
// is reported as it would be on the heap; what the pool hands out is unpoisoned again. Pool blocks
// are the pool's own mappings, which the leak checker does not read by itself: they are registered
// with it, so a heap object that only a node points to is not taken for a leak. In a build without
// the sanitizer all of this is nothing.
#include <cstddef>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KOVA_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KOVA_ADDRESS_SANITIZER 1
#endif

#ifdef KOVA_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#endif

namespace kova {

inline void poisonMemory([[maybe_unused]] const void *memory, [[maybe_unused]] std::size_t bytes) noexcept
{
#ifdef KOVA_ADDRESS_SANITIZER
    ASAN_POISON_MEMORY_REGION(memory, bytes);
#endif
}

inline void unpoisonMemory([[maybe_unused]] const void *memory, [[maybe_unused]] std::size_t bytes) noexcept
{
#ifdef KOVA_ADDRESS_SANITIZER
    ASAN_UNPOISON_MEMORY_REGION(memory, bytes);
#endif
}

// Memory of a mapping of our own that holds pointers to heap objects, read by the leak checker.
inline void watchForPointers([[maybe_unused]] const void *memory, [[maybe_unused]] std::size_t bytes) noexcept
{
#ifdef KOVA_ADDRESS_SANITIZER
    __lsan_register_root_region(memory, bytes);
#endif
}

inline void stopWatchingForPointers([[maybe_unused]] const void *memory, [[maybe_unused]] std::size_t bytes) noexcept
{
#ifdef KOVA_ADDRESS_SANITIZER
    __lsan_unregister_root_region(memory, bytes);
#endif
}

// Whether a byte is poisoned; false in a build without the sanitizer.
inline bool isPoisoned([[maybe_unused]] const void *memory) noexcept
{
#ifdef KOVA_ADDRESS_SANITIZER
    return __asan_address_is_poisoned(memory) != 0;
#else
    return false;
#endif
}

} // namespace kova
