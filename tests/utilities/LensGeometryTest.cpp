#include "utilities/LensGeometry.h"

#include "support/TestNames.h"

#include <gtest/gtest.h>

namespace {

struct LensCase
{
    int x, y, h;
    QRect expected;
};

void PrintTo(const LensCase& c, std::ostream* out)
{
    *out << "pointer (" << c.x << ", " << c.y << "), half-size " << c.h << ": ";
    PrintTo(c.expected, out);
}

std::string lensCaseName(const ::testing::TestParamInfo<LensCase>& row)
{
    const LensCase& c = row.param;
    return "At" + testNameOf(c.x) + "_" + testNameOf(c.y) + "Half" + testNameOf(c.h);
}

class LensSourceRectTest : public ::testing::TestWithParam<LensCase>
{};

// A 1280 x 1024 primary screen.
TEST_P(LensSourceRectTest, KeepsTheSquareInsideThePrimaryScreen)
{
    const LensCase& c = GetParam();
    EXPECT_EQ(LensSourceRect(c.x, c.y, 1280, 1024, c.h), c.expected)
        << "pointer " << c.x << "," << c.y << " half-size " << c.h;
}

INSTANTIATE_TEST_SUITE_P(Corners, LensSourceRectTest,
                         ::testing::Values(LensCase{0, 0, 40, QRect(0, 0, 80, 80)},
                                           LensCase{1279, 1023, 40, QRect(1200, 944, 80, 80)},
                                           LensCase{1279, 0, 20, QRect(1240, 0, 40, 40)},
                                           LensCase{0, 1023, 10, QRect(0, 1004, 20, 20)},
                                           LensCase{640, 512, 10, QRect(630, 502, 20, 20)}),
                         lensCaseName);

INSTANTIATE_TEST_SUITE_P(
    EdgeBounds, LensSourceRectTest,
    ::testing::Values(LensCase{40, 500, 40, QRect(0, 460, 80, 80)},      // x = h
                      LensCase{39, 500, 40, QRect(0, 460, 80, 80)},      // x = h - 1
                      LensCase{41, 500, 40, QRect(1, 460, 80, 80)},      // x = h + 1
                      LensCase{1240, 500, 40, QRect(1200, 460, 80, 80)}, // x = W - h
                      LensCase{1241, 500, 40, QRect(1200, 460, 80, 80)},
                      LensCase{1239, 500, 40, QRect(1199, 460, 80, 80)},
                      LensCase{500, 984, 40, QRect(460, 944, 80, 80)}, // y = H - h
                      LensCase{500, 9, 10, QRect(490, 0, 20, 20)}),
    lensCaseName);

INSTANTIATE_TEST_SUITE_P(OutsideTheScreen, LensSourceRectTest,
                         ::testing::Values(LensCase{-100, -5, 40, QRect(0, 0, 80, 80)},
                                           LensCase{5000, 3000, 40, QRect(1200, 944, 80, 80)},
                                           LensCase{-1, 500, 20, QRect(0, 480, 40, 40)},
                                           LensCase{1280, 1024, 20, QRect(1240, 984, 40, 40)},
                                           LensCase{1700, 300, 10,
                                                    QRect(1260, 290, 20, 20)}), // second monitor
                         lensCaseName);

} // namespace
