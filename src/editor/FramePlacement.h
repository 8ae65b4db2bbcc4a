#pragma once

#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <optional>

class QWidget;

// Keeps a top-level window's frame (title bar and border included) at a designed position.
//
// Until the window manager has framed the window, a position can only place the client area; on
// X11 the frame's extents arrive some time after the window is mapped, sometimes after the first
// activation, and the title bar may be added to the frame later still, above a client area that
// stays where it is, with no event that tells Qt. So once the window is shown, the frame is looked
// at on every move and activation and on a short timer, the window is moved until its frame is at
// the designed position, and the frame is watched a few seconds more after that.
class FramePlacement : public QObject
{
public:
    enum class Step { Wait, Move, Done };
    struct Decision
    {
        Step step;
        // Where the client area goes for the frame to be at the designed position (for Move).
        QPoint client;
    };
    // What to do, given the client area and the frame extents if they are known.
    static Decision nextStep(const QRect& client, const std::optional<QMargins>& extents,
                             const QPoint& designed);

    FramePlacement(QWidget* window, const QPoint& designed);

    // Puts the frame at the designed position now (before the window is framed: its client area;
    // the watch that started with the object then finishes the job).
    void place();
    bool pending() const { return pending_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<QMargins> frameExtents() const;
    void check();
    void stop();

    QWidget* window_;
    QPoint designed_;
    QTimer retry_;
    bool pending_ = true;
    int checks_ = 0;
    int moves_ = 0;
    // The frame was seen at its place: it is looked at for a while longer.
    bool settling_ = false;
    QElapsedTimer settleClock_;
};
