// The live preview, beyond the saved page and off by default: a checkable item at the end of the
// view menu and a command-line option turn it on; turning it off shows the saved file again.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "editor/LivePreview.h"
#include "platform/Browser.h"
#include "text/SourceEditor.h"

#include <QDir>

void TForm1::addLivePreviewItem()
{
    LivePreview1 = ui->N8->addAction(QStringLiteral("Живой просмотр"));
    LivePreview1->setObjectName(QStringLiteral("LivePreview1"));
    LivePreview1->setCheckable(true);
    connect(LivePreview1, &QAction::toggled, this, &TForm1::setLivePreview);
}

void TForm1::setLivePreview(bool on)
{
    LivePreview1->setChecked(on);
    if (on == bool(livePreview_))
        return;
    if (on) {
        // An untitled page resolves its links in the template folder, the working directory.
        livePreview_ =
            std::make_unique<LivePreview>(*RichEdit1, *session_, *WebBrowser1, QDir::currentPath());
        return;
    }
    livePreview_.reset();
    const QString saved = session_->savedFileName();
    if (!saved.isEmpty()) {
        WebBrowser1->setDefaultTextEncoding(charsetName(session_->format()));
        WebBrowser1->navigate(saved);
    }
}

QString TForm1::fullScreenPage()
{
    if (!livePreview_)
        return session_->savedFileName();
    livePreview_->serveNow();
    return livePreview_->pagePath();
}
