#include "bulkmemory.h"

#include "poisoning.h"

#include <algorithm>
#include <mutex>
#include <new>

// Under the address sanitizer the mappings stay, and what nobody may touch in them is poisoned: a kept
// page, the front of a buffer given back, the room past a buffer's end.
#if defined(__linux__)
#include <sys/mman.h>

#include <unordered_map>
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

// Aligned address space for size bytes, mapped with protection; nullptr when there is none.
char *mapAligned(std::size_t size, int protection)
{
    const std::size_t mapped = size + kHugePage;
    const int flags = MAP_PRIVATE | MAP_ANONYMOUS | (protection == PROT_NONE ? MAP_NORESERVE : 0);
    void *memory = mmap(nullptr, mapped, protection, flags, -1, 0);
    if (memory == MAP_FAILED)
        return nullptr;
    auto *base = static_cast<char *>(memory);
    auto *start = reinterpret_cast<char *>(roundUp(reinterpret_cast<std::size_t>(base), kHugePage));
    if (start > base)
        munmap(base, std::size_t(start - base));
    if (char *end = start + size; end < base + mapped)
        munmap(end, std::size_t(base + mapped - end));
    return start;
}

// Pages a load has passed, kept for the buffers it fills next. A load reads one set of buffers
// front to back while it fills the next (the text while the statements are written, the statements
// while the nodes are made), and the system clears every fresh page on its first touch, which costs
// more than the work done in it; a kept page is used again as it is. Each page is a mapping of its
// own. A page passed in a larger buffer is moved out of it, and the buffer keeps an empty page in
// its place, as when its memory is given back, so its address range stays whole until it is
// released.
//
// Only a few are kept, so that the memory held stays what the load needs: the rest goes back to the
// system. Kept pages are marked free, for the system to take back should it run short before they
// are used again.
class SparePages
{
public:
    void *take()
    {
        std::lock_guard lock(m_mutex);
        void *page = m_count > 0 ? m_pages[--m_count] : nullptr;
        if (page)
            unpoisonMemory(page, kHugePage);
        return page;
    }
    // Keeps a page of its own; false when enough are kept already.
    bool keep(void *page)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_count == kKept)
                return false;
            m_pages[m_count++] = page;
            poisonMemory(page, kHugePage);
        }
        madvise(page, kHugePage, MADV_FREE);
        return true;
    }
    // Keeps the page at page, a part of a larger mapping, by moving it to a mapping of its own;
    // false when enough are kept already or it cannot be moved.
    bool keepPart(char *page)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_count == kKept)
                return false;
        }
        char *place = mapAligned(kHugePage, PROT_NONE);
        if (!place)
            return false;
        if (mremap(page, kHugePage, kHugePage, MREMAP_MAYMOVE | MREMAP_FIXED | MREMAP_DONTUNMAP, place) == MAP_FAILED) {
            munmap(place, kHugePage);
            return false;
        }
        if (!keep(place)) {
            munmap(place, kHugePage);
            return false;
        }
        return true;
    }
    std::size_t count()
    {
        std::lock_guard lock(m_mutex);
        return m_count;
    }

    // Puts a kept page in place of the page at page, a part of a larger mapping that holds nothing
    // yet; false when none is kept or it cannot be moved.
    bool place(char *page)
    {
        void *kept = take();
        if (!kept)
            return false;
        if (mremap(kept, kHugePage, kHugePage, MREMAP_MAYMOVE | MREMAP_FIXED, page) == MAP_FAILED) {
            munmap(kept, kHugePage);
            return false;
        }
        return true;
    }

    // How far the front of each buffer has been given back, and how far kept pages have been put
    // under it.
    struct Marks
    {
        std::size_t released = 0;
        std::size_t filled = 0;
    };
    Marks marks(void *buffer)
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_marks.find(buffer);
        return found == m_marks.end() ? Marks() : found->second;
    }
    void setMarks(void *buffer, Marks marks)
    {
        std::lock_guard lock(m_mutex);
        m_marks[buffer] = marks;
    }
    void forget(void *buffer)
    {
        std::lock_guard lock(m_mutex);
        m_marks.erase(buffer);
    }

private:
    static constexpr std::size_t kKept = 6;
    std::mutex m_mutex;
    void *m_pages[kKept] = {};
    std::size_t m_count = 0;
    std::unordered_map<void *, Marks> m_marks;
};

SparePages &sparePages()
{
    static SparePages pages;
    return pages;
}

// A mapping of size bytes handed out for a buffer of bytes: the room past its end is poisoned.
void *handOut(void *start, std::size_t bytes, std::size_t size)
{
    unpoisonMemory(start, bytes);
    poisonMemory(static_cast<char *>(start) + bytes, size - bytes);
    return start;
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
        if (size == kHugePage) {
            if (void *page = sparePages().take())
                return handOut(page, bytes, size);
        }
        char *start = mapAligned(size, PROT_READ | PROT_WRITE);
        if (!start)
            throw std::bad_alloc();
        madvise(start, size, MADV_HUGEPAGE); // only advice: without huge pages the buffer works all the same
        return handOut(start, bytes, size);
    }
#endif
    return ::operator new(bytes);
}

void releaseBulk(void *memory, [[maybe_unused]] std::size_t bytes) noexcept
{
#ifdef KOVA_BULK_MAPPING
    if (bytes >= kBulkFrom) {
        const std::size_t size = roundUp(bytes, kHugePage);
        sparePages().forget(memory);
        unpoisonMemory(memory, size); // the address range may serve anyone next
        if (size == kHugePage && sparePages().keep(memory))
            return;
        munmap(memory, size);
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

std::size_t bulkPagesKept()
{
#ifdef KOVA_BULK_MAPPING
    return sparePages().count();
#else
    return 0;
#endif
}

void releaseBulkFront([[maybe_unused]] void *memory, [[maybe_unused]] std::size_t bytes,
                      [[maybe_unused]] std::size_t done) noexcept
{
#ifdef KOVA_BULK_MAPPING
    // A mapping starts on a huge page, so whole huge pages from its start are whole pages either way.
    if (bytes < kBulkFrom || done < kHugePage)
        return;
    SparePages &spare = sparePages();
    SparePages::Marks marks = spare.marks(memory);
    const std::size_t to = std::min(done, roundUp(bytes, kHugePage)) / kHugePage * kHugePage;
    if (to <= marks.released)
        return;
    auto *start = static_cast<char *>(memory);
    std::size_t at = marks.released;
    while (at < to && spare.keepPart(start + at))
        at += kHugePage;
    if (at < to)
        madvise(start + at, to - at, MADV_DONTNEED);
    poisonMemory(start + marks.released, to - marks.released);
    marks.released = to;
    spare.setMarks(memory, marks);
#endif
}

void reuseBulkPages([[maybe_unused]] void *memory, [[maybe_unused]] std::size_t bytes,
                    [[maybe_unused]] std::size_t from, [[maybe_unused]] std::size_t to) noexcept
{
#ifdef KOVA_BULK_MAPPING
    if (bytes < kBulkFrom)
        return;
    SparePages &spare = sparePages();
    SparePages::Marks marks = spare.marks(memory);
    // Whole pages that start at or after from hold nothing yet; those started before have been
    // written to.
    std::size_t at = std::max(roundUp(from, kHugePage), marks.filled);
    const std::size_t end = std::min(to, roundUp(bytes, kHugePage));
    auto *start = static_cast<char *>(memory);
    while (at < end && spare.place(start + at))
        at += kHugePage;
    marks.filled = std::max(marks.filled, at);
    spare.setMarks(memory, marks);
#endif
}

} // namespace kova
