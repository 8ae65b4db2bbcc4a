#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// A measuring aid for benchmarks, not a feature: with PAGEWRIGHT_KEY_LATENCY set, prints
// "key-latency <ms>" on stderr for each key typed, the time from the key's event in the X server
// to the start of the first repaint of the widget that took it. A key that waits behind a stall
// of the user-interface thread counts the wait: that is what the person typing feels.
class KeyLatencyProbe : public QObject
{
    Q_OBJECT
public:
    // Watches the application's events when the environment asks for it.
    static void installIfAsked(QObject* application);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyLatencyProbe(QObject* parent);
    void tick();

    // The X server's time of the key not yet painted (milliseconds, wrapping at 32 bits), and
    // the widget that took it; 0 and null when none is waiting.
    quint32 pendingKeyTime_ = 0;
    QObject* keyReceiver_ = nullptr;
    QTimer ticks_;
    QElapsedTimer sinceTick_;
    double cpuAtTick_ = 0;
};
