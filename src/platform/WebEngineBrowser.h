#pragma once

#include "platform/Browser.h"

class PreviewPage;
class QWebEngineView;

// The preview on Qt WebEngine. The engine (and its processes) starts only at the first
// navigation, so that start-up does not wait for it.
class WebEngineBrowser : public Browser
{
    Q_OBJECT
public:
    explicit WebEngineBrowser(QWidget* parent = nullptr);

    void navigate(const QString& path) override;
    void refresh() override;
    void goBack() override;
    void goForward() override;
    void setDefaultTextEncoding(const QByteArray& charset) override;
    void showLivePage(const QString& path, const QByteArray& bytes,
                      const QByteArray& charset) override;
    void endLivePage() override;
    void revealElement(int index) override;

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
    // Whether the page shown is the live page.
    bool showsLivePage() const;
    void listElements();
    // Lists the elements of the page just loaded once it is on the screen (or soon, if nothing
    // is painted): the script would hold the page's last frame back.
    void listAfterPaint();
    void pagePainted();
    // Reports the element under `point` of the page's widget (a Ctrl+click).
    void pickElement(QPointF point);
    // Whether `event`, sent to a widget of the page, is part of a Ctrl+click on the live page,
    // which the page does not see.
    bool isElementPick(QEvent* event) const;

    QWebEngineView* view_ = nullptr;
    PreviewPage* page_ = nullptr;
    // The path of the live page; empty while the preview shows files.
    QString livePath_;
    QByteArray defaultTextEncoding_;
    // Counts the loads of the live page whose elements wait for a paint; 0 when none waits.
    quint64 listWaitingLoad_ = 0;
    quint64 liveLoads_ = 0;
};
