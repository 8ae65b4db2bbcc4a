#include "editor/FileDropTarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

const char* const WatchDescendants = "pagewrightWatchDescendants";

} // namespace

QString FileDropTarget::droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    return urls.first().toLocalFile();
}

void FileDropTarget::watch(QWidget* widget, bool descendants)
{
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
    if (descendants) {
        widget->setProperty(WatchDescendants, true);
        for (QObject* child : widget->children())
            watchTree(child);
    }
}

void FileDropTarget::watchTree(QObject* object)
{
    if (!object->isWidgetType())
        return;
    object->setProperty(WatchDescendants, true);
    object->installEventFilter(this);
    for (QObject* child : object->children())
        watchTree(child);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (watched->property(WatchDescendants).toBool())
            watchTree(static_cast<QChildEvent*>(event)->child());
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (droppedFile(drag->mimeData()).isEmpty())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = droppedFile(drop->mimeData());
        if (path.isEmpty())
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        emit fileDropped(path);
        return true;
    }
    default:
        return false;
    }
}
