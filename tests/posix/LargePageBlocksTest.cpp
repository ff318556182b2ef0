#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "base/BigArray.h"
#include "grid/CellPool.h"
#include "posix/LargePageBlocks.h"

namespace tabulon {
namespace {

TEST(LargePageBlocks, BlocksAreAlignedWritableAndDistinct) {
    auto* first = static_cast<unsigned char*>(posix::AllocateLargePageBlock(cellpool::kBlockBytes));
    auto* second = static_cast<unsigned char*>(posix::AllocateLargePageBlock(cellpool::kBlockBytes));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % cellpool::kBlockBytes, 0u);
    // Both ends of each block can be written without touching the other.
    std::memset(first, 0x11, cellpool::kBlockBytes);
    std::memset(second, 0x22, cellpool::kBlockBytes);
    EXPECT_EQ(first[0], 0x11);
    EXPECT_EQ(first[cellpool::kBlockBytes - 1], 0x11);
    EXPECT_EQ(second[0], 0x22);
    EXPECT_EQ(second[cellpool::kBlockBytes - 1], 0x22);
}

TEST(LargePageBlocks, AnOddSizeStillGetsAllItAskedFor) {
    const std::size_t size = cellpool::kBlockBytes + 12345;
    auto* block = static_cast<unsigned char*>(posix::AllocateLargePageBlock(size));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0x33, size);
    EXPECT_EQ(block[size - 1], 0x33);
}

// The arrays known to grow big take the mappings when they are that big,
// give them back when they go, and anything smaller comes from malloc.
TEST(LargePageBlocks, BigArraysAloneTakeMappingsAndGiveThemBack) {
    bigarray::SetSource({.map = &posix::MapLargeArray, .unmap = &posix::UnmapLargeArray});
    const void* mapped = nullptr;
    {
        BigVector<std::uint32_t> big(bigarray::kBigArray / sizeof(std::uint32_t), 7u);
        BigString small(1000, 'x');
        mapped = big.data();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(mapped) % cellpool::kBlockBytes, 0u);
        EXPECT_EQ(big.back(), 7u);
        EXPECT_FALSE(posix::UnmapLargeArray(small.data()));
    }
    // Given back when the vector went: no longer the source's to give back.
    EXPECT_FALSE(posix::UnmapLargeArray(const_cast<void*>(mapped)));
    bigarray::SetSource({});
}

// The big arrays are handed to these: only what was
// mapped here may be unmapped here, once; anything else goes back to malloc.
TEST(LargePageBlocks, OnlyAMappedLargeArrayIsGivenBackAndOnlyOnce) {
    EXPECT_EQ(posix::MapLargeArray(posix::kLargeArray - 1), nullptr);
    const std::size_t size = posix::kLargeArray + 12345;
    auto* array = static_cast<unsigned char*>(posix::MapLargeArray(size));
    ASSERT_NE(array, nullptr);
    std::memset(array, 0x44, size);
    EXPECT_EQ(array[size - 1], 0x44);
    void* other = ::operator new (cellpool::kBlockBytes, std::align_val_t{cellpool::kBlockBytes});
    EXPECT_FALSE(posix::UnmapLargeArray(other));
    EXPECT_FALSE(posix::UnmapLargeArray(array + 4096));
    EXPECT_TRUE(posix::UnmapLargeArray(array));
    EXPECT_FALSE(posix::UnmapLargeArray(array));
    ::operator delete (other, std::align_val_t{cellpool::kBlockBytes});
}

}  // namespace
}  // namespace tabulon
