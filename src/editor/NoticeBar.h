#pragma once

#include <QFrame>
#include <QList>
#include <QTimer>
#include <functional>

class QLabel;
class QPushButton;
class QToolButton;

// A non-modal notice laid over the top edge of another widget (its anchor, a sibling): a line of
// text, up to two choices and a close button. It takes no room in any layout, so the window's
// controls never move; one notice at a time, a new one replaces the one shown in place.
class NoticeBar : public QFrame
{
    Q_OBJECT
public:
    struct Choice
    {
        QString text;
        std::function<void()> chosen;
    };
    static constexpr int MaxChoices = 2;

    explicit NoticeBar(QWidget* anchor);

    // Shows `text` with `choices` (at most MaxChoices), in place of any notice shown; hides it
    // after `hideAfterMs` when that is positive. A choice does not hide the notice by itself.
    void showNotice(const QString& text, const QList<Choice>& choices = {}, int hideAfterMs = 0);
    void dismiss();
    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QWidget* anchor_;
    QLabel* label_;
    QPushButton* buttons_[MaxChoices];
    std::function<void()> chosen_[MaxChoices];
    QToolButton* close_;
    QTimer hideTimer_;
};
