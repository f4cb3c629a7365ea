// Memory handed out as zero pages: all of it reads zero, every byte can be written, and two
// blocks never share a byte.
#include <gtest/gtest.h>

#include <algorithm>

#include "document/LocationLayout.h"
#include "document/ZeroedPages.h"

namespace arvestra {
namespace {

TEST(ZeroedPages, EveryByteReadsZeroAndCanBeWritten) {
    ZeroedPages pages(kLocationSize);
    ASSERT_NE(pages.Data(), nullptr);
    EXPECT_EQ(pages.Size(), kLocationSize);
    EXPECT_TRUE(
        std::all_of(pages.Data(), pages.Data() + kLocationSize, [](uint8_t b) { return b == 0; }));
    pages.Data()[0] = 1;
    pages.Data()[kLocationSize - 1] = 2;
    EXPECT_EQ(pages.Data()[0], 1);
    EXPECT_EQ(pages.Data()[kLocationSize - 1], 2);
}

TEST(ZeroedPages, TwoBlocksAreApart) {
    ZeroedPages first(kLocationSize);
    ZeroedPages second(kLocationSize);
    std::fill_n(first.Data(), kLocationSize, uint8_t{0xFF});
    EXPECT_TRUE(std::all_of(second.Data(), second.Data() + kLocationSize,
                            [](uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace arvestra
