#include "editor/FramePlacement.h"

#include "platform/FrameExtents.h"

#include <QEvent>
#include <QWidget>

namespace {

// Extents that have not arrived after this many looks (about 10 s) never will: a window manager
// that does not declare them, or none at all.
constexpr int MaxChecks = 400;
constexpr int CheckIntervalMs = 25;
// After a move the window manager's answer normally comes as a move event; this look is for when
// it does not.
constexpr int AfterMoveCheckMs = 250;
// A window manager that keeps the frame elsewhere is not fought with.
constexpr int MaxMoves = 5;
// Qt reports a requested position as the window's own before the window manager has answered,
// and the manager may still place the window or change its frame after that, with no event when
// only the frame changes; so the frame is looked at for this long after it was first seen at its
// place.
constexpr int SettleMs = 3000;
constexpr int SettleCheckIntervalMs = 100;

} // namespace

FramePlacement::Decision FramePlacement::nextStep(const QRect& client,
                                                  const std::optional<QMargins>& extents,
                                                  const QPoint& designed)
{
    if (!extents)
        return {Step::Wait, {}};
    const QPoint frame = client.topLeft() - QPoint(extents->left(), extents->top());
    if (frame == designed)
        return {Step::Done, {}};
    return {Step::Move, designed + QPoint(extents->left(), extents->top())};
}

FramePlacement::FramePlacement(QWidget* window, const QPoint& designed)
    : QObject(window), window_(window), designed_(designed)
{
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &FramePlacement::check);
    window_->installEventFilter(this);
}

void FramePlacement::place()
{
    window_->move(designed_);
}

bool FramePlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (pending_ && watched == window_ &&
        (event->type() == QEvent::Show || event->type() == QEvent::Move ||
         event->type() == QEvent::ActivationChange))
        check();
    return QObject::eventFilter(watched, event);
}

// What the window manager declares, which is up to date, else Qt's own idea of the frame, which
// Qt learns only with the manager's next configure event. A window manager may declare a frame
// before it has added the title bar (openbox was seen to, and then added the bar above the client
// area, which stays where it is), so for a window with a title bar a frame without a top counts
// as not known yet.
std::optional<QMargins> FramePlacement::frameExtents() const
{
    const std::optional<QMargins> declared = declaredFrameExtents(window_);
    if (declared) {
        if (declared->top() == 0 && window_->windowFlags().testFlag(Qt::WindowTitleHint))
            return std::nullopt;
        return declared;
    }
    const QRect frame = window_->frameGeometry();
    const QRect client = window_->geometry();
    if (frame == client)
        return std::nullopt;
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

void FramePlacement::check()
{
    if (!pending_ || !window_->isVisible())
        return;
    const Decision decision = nextStep(window_->geometry(), frameExtents(), designed_);
    switch (decision.step) {
    case Step::Wait:
        if (++checks_ < MaxChecks)
            retry_.start(CheckIntervalMs);
        else
            stop();
        break;
    case Step::Move:
        settling_ = false;
        if (++moves_ <= MaxMoves) {
            // The client area's geometry: right whether or not Qt knows the frame yet.
            window_->setGeometry(QRect(decision.client, window_->size()));
            retry_.start(AfterMoveCheckMs);
        } else {
            stop();
        }
        break;
    case Step::Done:
        if (!settling_) {
            settling_ = true;
            settleClock_.start();
        }
        if (settleClock_.elapsed() >= SettleMs)
            stop();
        else if (!retry_.isActive())
            retry_.start(SettleCheckIntervalMs);
        break;
    }
}

void FramePlacement::stop()
{
    pending_ = false;
    retry_.stop();
    window_->removeEventFilter(this);
}
