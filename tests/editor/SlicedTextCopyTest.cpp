// A long text copied a slice per turn of the event loop: the copy is the text, however the text
// lies in memory and however long the slices are.
#include "editor/SlicedTextCopy.h"

#include <gtest/gtest.h>

namespace {

struct SliceCase
{
    const char* name;
    qsizetype textLength;
    qsizetype sliceLength;
    // The longest run the text gives at once (a gap buffer gives two).
    qsizetype chunkLength;
    int slices;
};

void PrintTo(const SliceCase& c, std::ostream* os)
{
    *os << c.name;
}

class SlicedTextCopyOf : public ::testing::TestWithParam<SliceCase>
{};

TEST_P(SlicedTextCopyOf, CopiesTheWholeTextInSlices)
{
    const SliceCase& c = GetParam();
    QString text;
    for (qsizetype i = 0; i < c.textLength; ++i)
        text += QChar(char16_t(u'a' + i % 26));
    const auto chunkAt = [&](qsizetype at) {
        return QStringView(text).mid(at, std::min(c.chunkLength, text.size() - at));
    };
    SlicedTextCopy copy(c.sliceLength);
    copy.start(text.size());
    int slices = 1;
    while (!copy.copyNextSlice(chunkAt)) {
        ASSERT_LT(slices, 1000) << "the copy does not end";
        ++slices;
    }
    EXPECT_EQ(slices, c.slices);
    EXPECT_TRUE(copy.isActive());
    EXPECT_EQ(copy.take(), text);
    EXPECT_FALSE(copy.isActive());
}

const SliceCase sliceCases[] = {
    {"Empty", 0, 4, 4, 1},
    {"OneSlice", 5, 8, 8, 1},
    {"SliceEndsTheText", 8, 4, 8, 2},
    {"ChunksShorterThanASlice", 10, 4, 3, 3},
    {"ChunksSplitAcrossSlices", 10, 3, 4, 4},
    {"OneCharacterAtATime", 5, 1, 1, 5},
};

INSTANTIATE_TEST_SUITE_P(Lengths, SlicedTextCopyOf, ::testing::ValuesIn(sliceCases),
                         [](const auto& sliceCase) { return std::string(sliceCase.param.name); });

TEST(SlicedTextCopy, TextShorterThanSaidEndsTheCopyWhereItEnds)
{
    const QString text = QStringLiteral("abc");
    SlicedTextCopy copy(2);
    copy.start(5);
    const auto chunkAt = [&](qsizetype at) {
        return QStringView(text).mid(std::min(at, text.size()));
    };
    EXPECT_FALSE(copy.copyNextSlice(chunkAt));
    EXPECT_TRUE(copy.copyNextSlice(chunkAt));
    EXPECT_EQ(copy.take(), text);
}

TEST(SlicedTextCopy, CancelledOrRestartedCopyHoldsNothingOld)
{
    const QString text = QStringLiteral("abcdef");
    const auto chunkAt = [&](qsizetype at) { return QStringView(text).mid(at); };
    SlicedTextCopy copy(4);
    copy.start(text.size());
    EXPECT_FALSE(copy.copyNextSlice(chunkAt));
    copy.cancel();
    EXPECT_FALSE(copy.isActive());
    EXPECT_FALSE(copy.copyNextSlice(chunkAt)) << "a cancelled copy copies nothing more";

    // Started again on a shorter text, the copy is of that text from its start.
    const QString shorter = QStringLiteral("xyz");
    copy.start(text.size());
    EXPECT_FALSE(copy.copyNextSlice(chunkAt));
    copy.start(shorter.size());
    EXPECT_TRUE(copy.copyNextSlice([&](qsizetype at) { return QStringView(shorter).mid(at); }));
    EXPECT_EQ(copy.take(), shorter);
}

} // namespace
