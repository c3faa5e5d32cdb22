#include "nodepool.h"

#include "bulkmemory.h"
#include "poisoning.h"

#include <cstdint>
#include <mutex>
#include <new>

namespace kova {

namespace {

constexpr std::size_t kAlign = alignof(void *);

// A block: this header, then slots. A freed slot holds the next freed slot of its block.
struct Block
{
    Block *previous = nullptr; // among the blocks with a slot to give
    Block *next = nullptr;
    void *freed = nullptr;
    char *fresh = nullptr; // the first slot never given out
    char *end = nullptr;
    std::size_t live = 0;
};

class NodePool
{
public:
    void *allocate(std::size_t size)
    {
        std::lock_guard lock(m_mutex);
        if (m_slot == 0)
            m_slot = (size + kAlign - 1) / kAlign * kAlign;
        if (size > m_slot)
            return nullptr;
        Block *block = m_open ? m_open : newBlock();
        void *slot;
        if (block->freed) {
            slot = block->freed;
            unpoisonMemory(slot, sizeof(void *));
            block->freed = *static_cast<void **>(slot);
        } else {
            slot = block->fresh;
            block->fresh += m_slot;
        }
        unpoisonMemory(slot, size);
        ++block->live;
        if (isFull(block))
            unlink(block);
        return slot;
    }

    bool release(void *slot, std::size_t size) noexcept
    {
        std::lock_guard lock(m_mutex);
        if (size > m_slot)
            return false;
        auto *block = reinterpret_cast<Block *>(reinterpret_cast<std::uintptr_t>(slot) & ~(kBulkBlock - 1));
        const bool wasFull = isFull(block);
        *static_cast<void **>(slot) = block->freed;
        poisonMemory(slot, m_slot);
        block->freed = slot;
        --block->live;
        if (wasFull) {
            // It becomes the block in use. The one before it goes if it is empty: as a whole tree
            // goes, each block in turn is the one in use, and none may stay behind.
            if (m_open && m_open->live == 0)
                drop(m_open);
            link(block);
        } else if (block->live == 0 && block != m_open) {
            drop(block);
        }
        return true;
    }

    std::size_t blocks()
    {
        std::lock_guard lock(m_mutex);
        return m_blocks;
    }

private:
    bool isFull(const Block *block) const { return !block->freed && block->fresh + m_slot > block->end; }

    Block *newBlock()
    {
        auto *memory = static_cast<char *>(allocateBulkBlock());
        auto *block = new (memory) Block;
        const std::size_t header = (sizeof(Block) + m_slot - 1) / m_slot * m_slot;
        block->fresh = memory + header;
        block->end = memory + kBulkBlock;
        poisonMemory(block->fresh, std::size_t(block->end - block->fresh)); // slots not given out yet
        watchForPointers(memory, kBulkBlock);
        ++m_blocks;
        link(block);
        return block;
    }

    void drop(Block *block)
    {
        unlink(block);
        stopWatchingForPointers(block, kBulkBlock);
        releaseBulkBlock(block);
        --m_blocks;
    }

    void link(Block *block)
    {
        block->previous = nullptr;
        block->next = m_open;
        if (m_open)
            m_open->previous = block;
        m_open = block;
    }

    void unlink(Block *block)
    {
        (block->previous ? block->previous->next : m_open) = block->next;
        if (block->next)
            block->next->previous = block->previous;
        block->previous = block->next = nullptr;
    }

    std::mutex m_mutex;
    std::size_t m_slot = 0;
    Block *m_open = nullptr; // blocks with a slot to give, the one in use first
    std::size_t m_blocks = 0;
};

NodePool &pool()
{
    static NodePool *const instance = new NodePool; // never destroyed: nodes may outlive static objects
    return *instance;
}

} // namespace

void *allocateNode(std::size_t size)
{
    if (void *slot = pool().allocate(size))
        return slot;
    return ::operator new(size);
}

void releaseNode(void *node, std::size_t size) noexcept
{
    if (pool().release(node, size))
        return;
    ::operator delete(node); // unsized: clang before 19 declares the sized form only with -fsized-deallocation
}

std::size_t nodeBlocksHeld()
{
    return pool().blocks();
}

} // namespace kova
