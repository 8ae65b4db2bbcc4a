#include "editor/MainLayout.h"

#include <algorithm>

void MainLayout::startUp(int screenWidth)
{
    screenMode = 800;
    editorBaseHeight = 473;
    if (screenWidth < CompactWidthLimit)
        return;
    // The tall layout. The base height is set before the first position assignment, so that
    // no intermediate run of the rule works with the compact base.
    editorBaseHeight = 640;
    preview.setHeight(400);
    editor.moveTop(432);
    editor.setHeight(240);
    splitter.moveTop(681);
    setSplitterMax(591);
    setSplitterPosition(400);
    statusBar.moveTop(678);
    client.setHeight(698);
    setSplitterPosition(257);
}

void MainLayout::setSplitterPosition(int position)
{
    position = std::clamp(position, splitterMin, splitterMax);
    if (position == splitterPosition)
        return;
    splitterPosition = position;
    splitterRule();
}

void MainLayout::setSplitterMax(int maximum)
{
    splitterMax = maximum;
    const int clamped = std::clamp(splitterPosition, splitterMin, splitterMax);
    if (clamped == splitterPosition)
        return;
    splitterPosition = clamped;
    splitterRule();
}

void MainLayout::splitterRule()
{
    const int base = screenMode == 800 ? editorBaseHeight : 640;
    preview.setHeight(splitterPosition);
    editor.setHeight(base + toolbarOffset - splitterPosition);
    editor.moveTop(splitterPosition + 31 - toolbarOffset);
}

void MainLayout::toggleToolbar()
{
    if (toolbarShown) {
        toolbarShown = false;
        preview.moveTop(0);
        preview.setHeight(preview.height() + 24);
        toolbarOffset = 24;
    } else {
        toolbarShown = true;
        preview.moveTop(24);
        preview.setHeight(preview.height() - 24);
        toolbarOffset = 0;
    }
}

void MainLayout::defaultSplit()
{
    setSplitterPosition(screenMode == 800 ? 257 : 400);
}

void MainLayout::switchResolution(int screenWidth)
{
    const bool toWide = screenMode == 800;
    const bool tall = !toWide && screenWidth >= SwitchBackWidthLimit;
    struct Values
    {
        int clientHeight, clientWidth, toolbarWidth, previewWidth, previewHeight, editorWidth,
            editorTop, editorHeight, splitterLeft, splitterWidth, splitterTop, splitterMax,
            splitterPosition, statusTop, statusWidth;
    };
    static constexpr Values wide{698, 1024, 1024, 1024, 400, 1008, 432, 240,
                                 715, 302,  681,  591,  400, 678,  708};
    static constexpr Values compact{524, 800, 800, 800, 257, 775, 288, 216,
                                    608, 177, 508, 423, 257, 505, 601};
    static constexpr Values tallValues{698, 800, 800, 800, 257, 775, 432, 240,
                                       608, 177, 681, 591, 400, 678, 601};
    const Values& v = toWide ? wide : (tall ? tallValues : compact);

    // The order of the assignments matters: the maximum and the position run the splitter rule
    // when they change the position, and what the rule sets overrides the explicit values.
    screenMode = toWide ? 1024 : 800;
    client = QSize(v.clientWidth, v.clientHeight);
    toolbar.setWidth(v.toolbarWidth);
    preview.setWidth(v.previewWidth);
    preview.setHeight(v.previewHeight);
    editor.setWidth(v.editorWidth);
    editor.moveTop(v.editorTop);
    editor.setHeight(v.editorHeight);
    splitter.moveLeft(v.splitterLeft);
    splitter.setWidth(v.splitterWidth);
    splitter.moveTop(v.splitterTop);
    // Back in the compact layout the editor must end above the status bar again, also after
    // a start in the tall layout; the base is set before the rule can run with it.
    if (!toWide && !tall)
        editorBaseHeight = 473;
    setSplitterMax(v.splitterMax);
    setSplitterPosition(v.splitterPosition);
    statusBar.moveTop(v.statusTop);
    statusBar.setWidth(v.statusWidth);
    if (tall)
        editorBaseHeight = 640;
    resolutionCaption = toWide ? QStringLiteral("800x600") : QStringLiteral("1024x768");
}
