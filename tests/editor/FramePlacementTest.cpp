// What the frame placement does with what is known of the frame.
#include "editor/FramePlacement.h"

#include <gtest/gtest.h>

namespace {

using Step = FramePlacement::Step;

struct StepCase
{
    const char* name;
    QRect client;
    std::optional<QMargins> extents;
    Step step;
    QPoint clientTo = {};
};

class FramePlacementStep : public testing::TestWithParam<StepCase>
{};

const QPoint Designed(-3, 0);
const QMargins Openbox(1, 20, 1, 1);

TEST_P(FramePlacementStep, FromClientAndExtents)
{
    const StepCase& c = GetParam();
    const FramePlacement::Decision decision =
        FramePlacement::nextStep(c.client, c.extents, Designed);
    EXPECT_EQ(decision.step, c.step);
    if (c.step == Step::Move) {
        EXPECT_EQ(decision.client, c.clientTo);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FramePlacementStep,
    testing::Values(
        // Extents not known yet: the client area may sit where the frame should.
        StepCase{"ExtentsUnknown", QRect(-3, 0, 800, 717), std::nullopt, Step::Wait},
        // The client area at the frame's place puts the title bar above the screen.
        StepCase{"TitleBarAboveTheScreen", QRect(-3, 0, 800, 717), Openbox, Step::Move,
                 QPoint(-2, 20)},
        StepCase{"FramedElsewhere", QRect(101, 70, 800, 717), Openbox, Step::Move, QPoint(-2, 20)},
        StepCase{"FramedAtThePlace", QRect(-2, 20, 800, 717), Openbox, Step::Done},
        // A window manager without decorations declares zero extents.
        StepCase{"NoDecorationAtThePlace", QRect(-3, 0, 800, 717), QMargins(), Step::Done},
        StepCase{"NoDecorationElsewhere", QRect(5, 5, 800, 717), QMargins(), Step::Move,
                 QPoint(-3, 0)}),
    [](const testing::TestParamInfo<StepCase>& row) { return std::string(row.param.name); });

} // namespace
