// Memory for list rows: blocks past the ordinary share come from chunks, never overlap, are
// reused when freed, and a chunk goes back when its last block goes.
#include "controls/ListCtrl.h"
#include "controls/ListCtrlRows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kBlock = 480;  // a list's row block: 12 rows of 40 bytes

struct Block {
    void* p = nullptr;
    uint64_t mark = 0;
};

void stamp(Block& b, uint64_t mark) {
    b.mark = mark;
    std::memcpy(b.p, &mark, sizeof mark);
    std::memcpy(static_cast<char*>(b.p) + kBlock - sizeof mark, &mark, sizeof mark);
}

bool intact(const Block& b) {
    uint64_t head = 0, tail = 0;
    std::memcpy(&head, b.p, sizeof head);
    std::memcpy(&tail, static_cast<const char*>(b.p) + kBlock - sizeof tail, sizeof tail);
    return head == b.mark && tail == b.mark;
}

TEST(ListRows, BlocksPastTheOrdinaryShareComeFromChunksAndGoBackWithTheirLastBlock) {
    ASSERT_EQ(rowpool::chunksInUse(), 0u);
    // Enough for the ordinary share and then well over one chunk of blocks.
    const size_t count = rowpool::kOrdinaryLimit / kBlock + 6000;
    std::vector<Block> blocks(count);
    for (size_t i = 0; i < count; ++i) {
        blocks[i].p = rowpool::allocate(kBlock);
        stamp(blocks[i], i + 1);
    }
    EXPECT_GE(rowpool::chunksInUse(), 2u);
    // Every other block freed and as many taken again: freed slots are reused, nothing overlaps.
    for (size_t i = 0; i < count; i += 2)
        rowpool::deallocate(blocks[i].p, kBlock);
    const size_t chunks = rowpool::chunksInUse();
    for (size_t i = 0; i < count; i += 2) {
        blocks[i].p = rowpool::allocate(kBlock);
        stamp(blocks[i], count + i + 1);
    }
    EXPECT_EQ(rowpool::chunksInUse(), chunks);
    size_t broken = 0;
    for (const Block& b : blocks)
        broken += !intact(b);
    EXPECT_EQ(broken, 0u);
    for (const Block& b : blocks)
        rowpool::deallocate(b.p, kBlock);
    EXPECT_EQ(rowpool::chunksInUse(), 0u);
}

TEST(ListRows, BigListKeepsItsRowsAndGivesTheMemoryBackWhenCleared) {
    ListItems rows;
    const int count = 200000;  // 8 MB of rows
    for (int i = 0; i < count; ++i)
        rows.push_back(ListItem{static_cast<uint32_t>(i), "Zeile " + std::to_string(i)});
    EXPECT_GT(rowpool::chunksInUse(), 0u);
    int wrong = 0;
    for (int i = 0; i < count; ++i)
        wrong += rows[i].itemId != static_cast<uint32_t>(i) ||
                 rows[i].text != "Zeile " + std::to_string(i);
    EXPECT_EQ(wrong, 0);
    rows.erase(rows.begin() + 1000, rows.begin() + 150000);
    EXPECT_EQ(rows[1000].text, "Zeile 150000");
    rows.clear();
    rows.shrink_to_fit();
    EXPECT_EQ(rowpool::chunksInUse(), 0u);
}

}  // namespace
