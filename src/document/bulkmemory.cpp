#include "bulkmemory.h"

#include <new>

// Under the address sanitizer every buffer stays on the heap, where overruns are caught.
#if defined(__linux__) && !defined(KOVA_ADDRESS_SANITIZER)
#include <sys/mman.h>
#define KOVA_BULK_MAPPING 1
#endif

namespace kova {

namespace {

#ifdef KOVA_BULK_MAPPING
// Smaller buffers come from the heap.
constexpr std::size_t kBulkFrom = std::size_t(1) << 20;
// Huge pages cover 2 MiB each and only where the mapping is aligned to that, so a mapping is taken
// with room to spare and trimmed to an aligned start.
constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t roundUp(std::size_t n, std::size_t to)
{
    return (n + to - 1) / to * to;
}
#endif

} // namespace

void *allocateBulk(std::size_t bytes)
{
#ifdef KOVA_BULK_MAPPING
    if (bytes >= kBulkFrom) {
        // Whole huge pages: the system backs only a whole aligned huge page of a mapping with one,
        // and the rest of a mapping is taken a small page at a time.
        const std::size_t size = roundUp(bytes, kHugePage);
        const std::size_t mapped = size + kHugePage;
        void *memory = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            throw std::bad_alloc();
        auto *base = static_cast<char *>(memory);
        auto *start = reinterpret_cast<char *>(roundUp(reinterpret_cast<std::size_t>(base), kHugePage));
        if (start > base)
            munmap(base, std::size_t(start - base));
        if (char *end = start + size; end < base + mapped)
            munmap(end, std::size_t(base + mapped - end));
        madvise(start, size, MADV_HUGEPAGE); // only advice: without huge pages the buffer works all the same
        return start;
    }
#endif
    return ::operator new(bytes);
}

void releaseBulk(void *memory, [[maybe_unused]] std::size_t bytes) noexcept
{
#ifdef KOVA_BULK_MAPPING
    if (bytes >= kBulkFrom) {
        munmap(memory, roundUp(bytes, kHugePage));
        return;
    }
#endif
    ::operator delete(memory);
}

void *allocateBulkBlock()
{
#ifdef KOVA_BULK_MAPPING
    static_assert(kBulkBlock == kHugePage && kBulkBlock >= kBulkFrom);
    return allocateBulk(kBulkBlock); // a mapping of its own, aligned to a huge page
#else
    return ::operator new(kBulkBlock, std::align_val_t(kBulkBlock));
#endif
}

void releaseBulkBlock(void *block) noexcept
{
#ifdef KOVA_BULK_MAPPING
    releaseBulk(block, kBulkBlock);
#else
    ::operator delete(block, std::align_val_t(kBulkBlock));
#endif
}

void releaseBulkFront([[maybe_unused]] void *memory, [[maybe_unused]] std::size_t bytes,
                      [[maybe_unused]] std::size_t done) noexcept
{
#ifdef KOVA_BULK_MAPPING
    // A mapping starts on a huge page, so whole huge pages from its start are whole pages either way.
    if (bytes >= kBulkFrom && done >= kHugePage)
        madvise(memory, done / kHugePage * kHugePage, MADV_DONTNEED);
#endif
}

} // namespace kova
