#include "editor/NoticeBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

NoticeBar::NoticeBar(QWidget* anchor)
    : QFrame(anchor->parentWidget()), anchor_(anchor), label_(new QLabel(this)),
      close_(new QToolButton(this))
{
    setObjectName(QStringLiteral("NoticeBar"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xc4));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 2, 2);
    label_->setObjectName(QStringLiteral("NoticeText"));
    row->addWidget(label_, 1);
    for (int i = 0; i < MaxChoices; ++i) {
        buttons_[i] = new QPushButton(this);
        buttons_[i]->setObjectName(QStringLiteral("NoticeChoice%1").arg(i + 1));
        buttons_[i]->setFocusPolicy(Qt::TabFocus);
        row->addWidget(buttons_[i]);
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] {
            if (chosen_[i])
                chosen_[i]();
        });
    }
    close_->setObjectName(QStringLiteral("NoticeClose"));
    close_->setText(QStringLiteral("✕"));
    close_->setToolTip(QStringLiteral("Закрыть"));
    close_->setAccessibleName(QStringLiteral("Закрыть"));
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);
    row->addWidget(close_);
    connect(close_, &QToolButton::clicked, this, &NoticeBar::dismiss);

    hideTimer_.setSingleShot(true);
    connect(&hideTimer_, &QTimer::timeout, this, &NoticeBar::dismiss);
    anchor_->installEventFilter(this);
    hide();
}

void NoticeBar::showNotice(const QString& text, const QList<Choice>& choices, int hideAfterMs)
{
    label_->setText(text);
    for (int i = 0; i < MaxChoices; ++i) {
        const bool used = i < choices.size();
        buttons_[i]->setText(used ? choices[i].text : QString());
        chosen_[i] = used ? choices[i].chosen : nullptr;
        buttons_[i]->setVisible(used);
    }
    if (hideAfterMs > 0)
        hideTimer_.start(hideAfterMs);
    else
        hideTimer_.stop();
    place();
    show();
    raise();
}

void NoticeBar::dismiss()
{
    hideTimer_.stop();
    hide();
}

QString NoticeBar::text() const
{
    return isVisibleTo(parentWidget()) ? label_->text() : QString();
}

bool NoticeBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == anchor_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        place();
    return QFrame::eventFilter(watched, event);
}

void NoticeBar::place()
{
    layout()->activate();
    setGeometry(anchor_->x(), anchor_->y(), anchor_->width(), sizeHint().height());
}
