#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace kova {

// Memory for the large working buffers of a load or a write: the file's bytes, its decoded text, the
// token list, the rendered output. Each is filled once and dropped soon after, and on a large template
// the first touch of every fresh 4 KiB page costs more than the work done in it. Buffers from a
// megabyte up are therefore mapped on their own and, where the system offers it, backed by huge
// pages; smaller ones come from the usual heap.
// Measured (bench/speedmeasures.sh, the heap for every buffer instead, same run): Save As of a 20 MB
// registry export takes 2.2x the time and 1.39x the peak memory without it, normalize --strings of a
// 10 MB template 1.5x to 1.9x the time.
void *allocateBulk(std::size_t bytes);
void releaseBulk(void *memory, std::size_t bytes) noexcept;
// The first done bytes of a buffer of bytes from allocateBulk will not be read again: the memory
// under them, in whole huge pages, is kept for the next buffers (a few pages) or goes back to the
// system, while the rest of the buffer stays. A buffer from the heap keeps its memory until it is
// released.
void releaseBulkFront(void *memory, std::size_t bytes, std::size_t done) noexcept;
// Bytes [from, to) of a buffer of bytes from allocateBulk are about to be written, and nothing from
// from on has been yet: whole huge pages given back by another buffer, where some are kept, take the
// place of fresh ones there, which the system would have to clear first.
void reuseBulkPages(void *memory, std::size_t bytes, std::size_t from, std::size_t to) noexcept;

// A block of kBulkBlock bytes that starts at a multiple of its size, for a pool that finds the block
// of anything in it from its address. Mapped on its own, backed by a huge page where the system
// offers one.
inline constexpr std::size_t kBulkBlock = std::size_t(2) << 20;
void *allocateBulkBlock();
void releaseBulkBlock(void *block) noexcept;

// How many pages given back are kept for the next buffers, for tests.
std::size_t bulkPagesKept();

template<typename T>
struct BulkAllocator
{
    using value_type = T;

    BulkAllocator() = default;
    template<typename U>
    BulkAllocator(const BulkAllocator<U> &) noexcept
    {}

    T *allocate(std::size_t n) { return static_cast<T *>(allocateBulk(n * sizeof(T))); }
    void deallocate(T *p, std::size_t n) noexcept { releaseBulk(p, n * sizeof(T)); }

    // Growing a vector of characters leaves the new ones as they are, not zeroed: a buffer is always
    // written before it is read, and zeroing would only touch its memory once more.
    template<typename U>
    void construct(U *p) noexcept(std::is_nothrow_default_constructible_v<U>)
    {
        ::new (static_cast<void *>(p)) U;
    }
    template<typename U, typename... Args>
    void construct(U *p, Args &&...args)
    {
        ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const BulkAllocator &, const BulkAllocator &) { return true; }
};

template<typename T>
using BulkVector = std::vector<T, BulkAllocator<T>>;

} // namespace kova
