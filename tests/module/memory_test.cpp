// The module's heap seam: unarmed it is the C heap; armed, exactly the chosen
// allocation fails, once.
#include "module/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct ArmedHeap : testing::Test {
    ~ArmedHeap() override { failMorvaneAllocationAt(0); }
};

TEST_F(ArmedHeap, OnlyTheNthAllocationFailsWhicheverCallMakesIt) {
    failMorvaneAllocationAt(3);
    void* first = morvaneAlloc(8);
    EXPECT_EQ(pendingMorvaneAllocationFailure(), 2);
    void* second = morvaneCalloc(2, 8);
    EXPECT_EQ(pendingMorvaneAllocationFailure(), 1);
    EXPECT_EQ(morvaneRealloc(nullptr, 8), nullptr);
    EXPECT_EQ(pendingMorvaneAllocationFailure(), 0);
    // Fired once: the next ones succeed again.
    void* fourth = morvaneAlloc(8);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_NE(fourth, nullptr);
    morvaneFree(first);
    morvaneFree(second);
    morvaneFree(fourth);
}

TEST_F(ArmedHeap, AFailedReallocLeavesTheBlockAsItWas) {
    char* block = static_cast<char*>(morvaneAlloc(6));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "cage!", 6);
    failMorvaneAllocationAt(1);
    EXPECT_EQ(morvaneRealloc(block, 1 << 20), nullptr);
    EXPECT_STREQ(block, "cage!");
    morvaneFree(block);
}

TEST_F(ArmedHeap, DisarmedOrNeverArmedNothingFailsAndNothingIsPending) {
    failMorvaneAllocationAt(2);
    failMorvaneAllocationAt(0);
    EXPECT_EQ(pendingMorvaneAllocationFailure(), 0);
    void* a = morvaneAlloc(1);
    void* b = morvaneCalloc(1, 1);
    EXPECT_NE(a, nullptr);
    EXPECT_NE(b, nullptr);
    morvaneFree(a);
    morvaneFree(b);
    failMorvaneAllocationAt(-4);
    EXPECT_EQ(pendingMorvaneAllocationFailure(), 0);
    morvaneFree(nullptr);
}

TEST_F(ArmedHeap, LineBlocksStartOnALineHoldTheirSizeAndFailLikeAnyOther) {
    std::vector<void*> blocks;
    for (size_t size : {1, 8, 63, 64, 65, 1000, 4096, 1 << 20}) {
        void* block = morvaneAllocLines(size);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 64, 0u) << size;
        std::memset(block, 0xab, size); // the sanitizer build checks the reach
        blocks.push_back(block);
    }
    for (void* block : blocks)
        morvaneFreeLines(block);
    failMorvaneAllocationAt(1);
    EXPECT_EQ(morvaneAllocLines(8), nullptr);
    EXPECT_EQ(morvaneAllocLines(SIZE_MAX - 16), nullptr);
    morvaneFreeLines(nullptr);
}

} // namespace
