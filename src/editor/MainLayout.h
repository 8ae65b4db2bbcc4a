#pragma once

#include <QRect>
#include <QSize>
#include <QString>

// The main window's geometry as plain arithmetic: where every control stands in the compact,
// tall and wide layouts, with the tool bar shown or hidden. The splitter is a scroll bar whose
// position is the preview's height; like the real control, assigning its position or maximum
// clamps the position and runs the splitter rule only when the stored position changes. The
// window applies the result to its widgets after each operation.
class MainLayout
{
public:
    static constexpr int CompactWidthLimit = 1024; // start-up: narrower screens get compact
    static constexpr int SwitchBackWidthLimit = 1000;

    int screenMode = 800;       // 800 or 1024
    int toolbarOffset = 0;      // 24 while the tool bar is hidden
    int editorBaseHeight = 473; // 473 or 640
    bool toolbarShown = true;
    QString resolutionCaption = QStringLiteral("1024x768");

    QSize client{800, 524};
    QRect toolbar{0, 0, 801, 25};
    QRect preview{0, 24, 800, 257};
    QRect editor{8, 288, 785, 216};
    QRect statusBar{0, 505, 601, 19};
    QRect splitter{608, 508, 177, 14};
    int splitterMin = 51;
    int splitterMax = 423;
    int splitterPosition = 257;

    void startUp(int screenWidth);
    // A position change by the user or the program: clamps, and runs the rule on a real change.
    void setSplitterPosition(int position);
    void toggleToolbar();
    void defaultSplit();
    void switchResolution(int screenWidth);

private:
    void setSplitterMax(int maximum);
    void splitterRule();
};
