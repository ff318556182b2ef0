#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>

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

// The program's operator new hands large arrays to these: only what was
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
