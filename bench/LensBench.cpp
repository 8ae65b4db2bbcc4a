// The lens on the real screen (run under Xvfb with QT_QPA_PLATFORM=xcb):
//   BM_LensTick            one tick, grab of the square round the pointer and the stretch;
//   BM_LensCpuShare/shown  the process's CPU share over ten seconds with the lens shown;
//   BM_LensCpuShare/hidden the same with the lens hidden, and how many grabs it made.
#include "platform/QtScreenCapture.h"
#include "support/FakePlatform.h"
#include "utilities/ScreenLens.h"

#include <QAction>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

// The real screen, with its grabs counted.
class CountingScreenCapture : public QtScreenCapture
{
public:
    int grabs = 0;
    QImage grab(const QRect& rect) override
    {
        ++grabs;
        return QtScreenCapture::grab(rect);
    }
};

class RealScreenPlatform : public FakePlatform
{
public:
    CountingScreenCapture realScreen;
    ScreenCapture& screen() override { return realScreen; }
};

bool onRealScreen(benchmark::State& state)
{
    if (QGuiApplication::platformName() == "xcb")
        return true;
    state.SkipWithError("needs an X display: run under xvfb-run with QT_QPA_PLATFORM=xcb");
    return false;
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_LensTick(benchmark::State& state)
{
    if (!onRealScreen(state))
        return;
    RealScreenPlatform platform;
    TForm7 lens(platform);
    lens.show();
    if (!QTest::qWaitForWindowExposed(&lens)) {
        state.SkipWithError("the lens window was never shown");
        return;
    }
    const char* items[] = {"N11", "N21", "N31"};
    lens.findChild<QAction*>(items[state.range(0)])->trigger();
    QCursor::setPos(400, 300);
    QCoreApplication::processEvents();
    for (auto _ : state)
        lens.Timer1Timer();
    state.counters["grabs"] = platform.realScreen.grabs;
}
BENCHMARK(BM_LensTick)
    ->ArgName("enlargement")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

void BM_LensCpuShare(benchmark::State& state)
{
    if (!onRealScreen(state))
        return;
    const bool shown = state.range(0) != 0;
    const int seconds = qEnvironmentVariableIntValue("PAGEWRIGHT_BENCH_LENS_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("PAGEWRIGHT_BENCH_LENS_SECONDS")
                            : 10;
    RealScreenPlatform platform;
    TForm7 lens(platform);
    if (shown) {
        lens.show();
        if (!QTest::qWaitForWindowExposed(&lens)) {
            state.SkipWithError("the lens window was never shown");
            return;
        }
    }
    QCursor::setPos(400, 300);
    for (auto _ : state) {
        const int grabsBefore = platform.realScreen.grabs;
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        const double elapsed = wall.nsecsElapsed() / 1e9;
        state.counters["cpu_percent"] = 100.0 * (processCpuSeconds() - cpuBefore) / elapsed;
        state.counters["grabs"] = platform.realScreen.grabs - grabsBefore;
        state.counters["grabs_per_s"] = (platform.realScreen.grabs - grabsBefore) / elapsed;
    }
}
BENCHMARK(BM_LensCpuShare)
    ->ArgName("shown")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

} // namespace
