#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

// An embedded web browser with its own history. Navigation is asynchronous: the browser later
// reports history changes through commandStateChange and a finished load through
// documentComplete, on the user-interface thread.
class Browser : public QWidget
{
    Q_OBJECT
public:
    // Command numbers of commandStateChange.
    static constexpr int ForwardCommand = 1;
    static constexpr int BackCommand = 2;

    // A blank white area that the page, once shown, fills.
    explicit Browser(QWidget* parent = nullptr);

    // Loads a local file given by its path.
    virtual void navigate(const QString& path) = 0;
    // Reloads the page being shown.
    virtual void refresh() = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    // The charset for pages that declare none (a name such as "windows-1251"), from the next
    // load on: the document's own, so that an undeclared page is not left to guessing.
    virtual void setDefaultTextEncoding(const QByteArray& charset) = 0;

signals:
    void commandStateChange(int command, bool enable);
    void documentComplete();
};
