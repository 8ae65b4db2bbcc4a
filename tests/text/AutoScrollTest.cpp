#include "text/AutoScroll.h"

#include <gtest/gtest.h>

namespace {

struct ScrollCase
{
    const char* name;
    QPoint pointer;
    QPoint step;
};

class AutoScrollSteps : public ::testing::TestWithParam<ScrollCase>
{};

// A 400x200 view with lines 10 pixels high and a column step of 8 pixels.
TEST_P(AutoScrollSteps, GrowWithThePointersDistanceOutside)
{
    const ScrollCase& c = GetParam();
    EXPECT_EQ(AutoScroll::step(QRect(0, 0, 400, 200), c.pointer, 10, 8), c.step);
}

INSTANTIATE_TEST_SUITE_P(AutoScroll, AutoScrollSteps,
                         ::testing::Values(ScrollCase{"Inside", {399, 199}, {0, 0}},
                                           ScrollCase{"JustRight", {400, 100}, {9, 0}},
                                           ScrollCase{"FarRight", {699, 100}, {308, 0}},
                                           ScrollCase{"JustLeft", {-1, 100}, {-9, 0}},
                                           ScrollCase{"FarLeft", {-100, 100}, {-108, 0}},
                                           ScrollCase{"JustBelow", {100, 200}, {0, 1}},
                                           ScrollCase{"FarBelow", {100, 259}, {0, 7}},
                                           ScrollCase{"Above", {100, -25}, {0, -3}},
                                           ScrollCase{"BelowAndRight", {450, 230}, {59, 4}}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
