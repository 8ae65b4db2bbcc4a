#pragma once

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

// Takes drags that carry exactly one local file away from the widgets it watches and reports the
// drop of that file; every other drag (text, several files, web links) goes on to the widget as
// before, so text dropped into the editor is still inserted.
class FileDropTarget : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The local file that `data` carries as its only URL; empty otherwise.
    static QString droppedFile(const QMimeData* data);

    // Watches `widget`, and with `descendants` also every widget created inside it later (a web
    // view builds its own children when it first loads a page).
    void watch(QWidget* widget, bool descendants = false);

signals:
    void fileDropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchTree(QObject* object);
};
