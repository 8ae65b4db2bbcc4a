#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
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

    // Live preview; a browser that cannot serve text ignores these. Shows `bytes` as the page at
    // the absolute `path`, served in place of the file at the page's own address until
    // endLivePage: an update of the page already shown keeps its scroll position, and its
    // alert, confirm and prompt stay quiet. After each load of the live page the browser lists
    // its elements (elementsListed), and a Ctrl+click on the page is reported (elementPicked) and
    // not seen by the page. `charset` names the charset of `bytes` as browsers name it; when
    // empty, the bytes are looked at to tell it.
    virtual void showLivePage(const QString& path, const QByteArray& bytes,
                              const QByteArray& charset);
    // The file itself is served again, and clicks are the page's own.
    virtual void endLivePage();
    // Scrolls the element at `index` (in document order) into view, unless it is in view.
    virtual void revealElement(int index);

signals:
    void commandStateChange(int command, bool enable);
    void documentComplete();
    // The live page's elements by local name ("div", "tbody"), in document order, separated by
    // spaces: one string, which the receiver may split away from the typing.
    void elementsListed(const QString& names);
    // A Ctrl+click on the live page: the element under the pointer and those around it, by
    // index in document order, innermost first.
    void elementPicked(const QList<int>& indexes);
    // A live update of the page kept the page's alert, confirm or prompt from showing.
    void pageDialogSuppressed();
};
