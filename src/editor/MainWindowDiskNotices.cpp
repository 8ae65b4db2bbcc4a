// The main window's notices about the document's file on disk: one bar over the top of the
// source editor, replaced in place as the news changes, never a modal box.
#include "editor/MainWindow.h"

#include "editor/NoticeBar.h"
#include "text/SourceEditor.h"

namespace {

// How long the notice that the file was read again stays.
constexpr int ReloadedNoticeMs = 6000;

} // namespace

void TForm1::connectDiskNotices()
{
    diskNotice_ = new NoticeBar(RichEdit1);
    connect(session_.get(), &DocumentSession::diskNoticeChanged, this, &TForm1::showDiskNotice);
}

void TForm1::showDiskNotice(DocumentSession::DiskNotice notice)
{
    using Notice = DocumentSession::DiskNotice;
    switch (notice) {
    case Notice::None:
        diskNotice_->dismiss();
        break;
    case Notice::Reloaded:
        diskNotice_->showNotice(QStringLiteral("Файл изменён другой программой и перечитан."), {},
                                ReloadedNoticeMs);
        break;
    case Notice::ChangedOnDisk:
        diskNotice_->showNotice(
            QStringLiteral("Файл изменён другой программой."),
            {{QStringLiteral("Перечитать"), [this] { session_->reloadFromDisk(); }},
             {QStringLiteral("Оставить мой текст"), [this] { diskNotice_->dismiss(); }}});
        break;
    case Notice::RemovedFromDisk:
        diskNotice_->showNotice(QStringLiteral(
            "Файл удалён или переименован другой программой. Сохранение запишет его снова."));
        break;
    }
}
