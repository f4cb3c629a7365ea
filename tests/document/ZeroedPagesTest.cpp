// Memory handed out as zero pages: all of it reads zero and every byte can be written.
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

}  // namespace
}  // namespace arvestra
