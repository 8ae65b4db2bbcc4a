#pragma once

#include "platform/Browser.h"

class QWebEngineView;

// The preview on Qt WebEngine. The engine (and its processes) starts only at the first
// navigation, so that start-up does not wait for it.
class WebEngineBrowser : public Browser
{
    Q_OBJECT
public:
    using Browser::Browser;

    void navigate(const QString& path) override;
    void refresh() override;
    void goBack() override;
    void goForward() override;
    void setDefaultTextEncoding(const QByteArray& charset) override;

    // Picks the scene graph the engine's views draw with; must run before the first view exists.
    static void chooseSceneGraph();

    // The engine view, or null before the first navigation.
    QWebEngineView* view() const { return view_; }

protected:
    // The engine hands the keys that the page did not use to the view's parent, this widget:
    // Alt+Left goes back, Alt+Right goes forward.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createView();
    void watchPageWidget(QObject* child);
    void backUnlessEditing();
    void focusShownPage();

    QWebEngineView* view_ = nullptr;
    QByteArray defaultTextEncoding_;
};
