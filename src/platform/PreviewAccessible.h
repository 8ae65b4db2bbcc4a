#pragma once

#include "platform/PageNodes.h"

#include <QAccessibleWidget>

class WebEngineBrowser;

// The preview as a screen reader sees it: the page the engine shows, node by node, where only
// the focused control reports the focused state. The engine's own tree would report its focused
// node (the document at least) while the source editor has the keyboard focus.
class PreviewAccessible : public QAccessibleWidget
{
public:
    explicit PreviewAccessible(WebEngineBrowser* browser);

    // Installs the factory for the previews and lets the engine expose its pages to screen
    // readers (on Linux it shows only an empty document unless asked); must run before the
    // first preview and the first engine view exist.
    static void install();

    QAccessibleInterface* focusChild() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    // The root of the engine's tree of the page shown, or null while there is none.
    QAccessibleInterface* pageRoot() const;
    bool viewHasFocus() const;

    WebEngineBrowser* browser() const;

    mutable PageNodes nodes_;
};
