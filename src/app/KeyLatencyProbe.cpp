#include "app/KeyLatencyProbe.h"

#include "platform/LiveTrace.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

// The X server stamps its events with the monotonic clock in milliseconds, wrapping at 32 bits.
quint32 monotonicMs()
{
    return quint32(quint64(LiveTrace::monotonicMs()));
}

bool isWithin(QObject* object, QObject* ancestor)
{
    for (; object; object = object->parent()) {
        if (object == ancestor)
            return true;
    }
    return false;
}

// The ticks' interval, and the lateness of a tick that counts as a stall.
constexpr int tickMs = 4;
constexpr qint64 stallMs = 12;

// The thread's own CPU time: a stretch the thread spent waiting for a core (the machine busy
// with other work) is no stall of ours.
double threadCpuMs()
{
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return double(used.tv_sec) * 1e3 + double(used.tv_nsec) / 1e6;
}

} // namespace

KeyLatencyProbe::KeyLatencyProbe(QObject* parent) : QObject(parent)
{
    ticks_.setTimerType(Qt::PreciseTimer);
    connect(&ticks_, &QTimer::timeout, this, &KeyLatencyProbe::tick);
    ticks_.start(tickMs);
    sinceTick_.start();
}

void KeyLatencyProbe::tick()
{
    const qint64 elapsed = sinceTick_.restart();
    const double cpu = threadCpuMs();
    if (elapsed > stallMs)
        std::fprintf(stderr, "ui-stall %u %lld cpu %.0f\n", monotonicMs(),
                     static_cast<long long>(elapsed), cpu - cpuAtTick_);
    cpuAtTick_ = cpu;
}

void KeyLatencyProbe::installIfAsked(QObject* application)
{
    if (qEnvironmentVariableIsSet("PAGEWRIGHT_KEY_LATENCY"))
        application->installEventFilter(new KeyLatencyProbe(application));
}

bool KeyLatencyProbe::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && event->spontaneous() && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!keyReceiver_ && !key->text().isEmpty()) {
            pendingKeyTime_ = quint32(key->timestamp());
            keyReceiver_ = watched;
        }
    } else if (event->type() == QEvent::Paint && keyReceiver_ && isWithin(watched, keyReceiver_)) {
        const quint32 now = monotonicMs();
        std::fprintf(stderr, "key-latency %u at %u\n", now - pendingKeyTime_, now);
        keyReceiver_ = nullptr;
    }
    return QObject::eventFilter(watched, event);
}
