// Start-up time: from the launch of a fresh process to the main window being on screen, once
// as the program starts (the web engine waits for the first page) and once with the engine
// started before the window is shown. Runs each variant several times, alternating, in child
// processes of itself, and prints the medians. Needs a display (run under xvfb-run).
//
//   pagewright_startup_bench [runs]
#include "app/ProgramWindows.h"
#include "editor/MainWindow.h"
#include "platform/QtPlatform.h"
#include "platform/WebEngineBrowser.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QWebEngineView>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>
#include <vector>

// Resources must be initialised from the global namespace.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

qint64 monotonicMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// The child: start as the program does, optionally with the engine first, and report the time
// from the parent's launch stamp to the window's first exposure.
int runChild(int argc, char** argv, bool eager)
{
    const qint64 launched = qEnvironmentVariable("PAGEWRIGHT_LAUNCH_US").toLongLong();
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    initResources();
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QtPlatform platform;
    ProgramWindows windows(platform, QDir::currentPath());
    std::unique_ptr<QWebEngineView> engine;
    if (eager) {
        WebEngineBrowser::chooseSceneGraph();
        engine = std::make_unique<QWebEngineView>();
        engine->setHtml(QStringLiteral("<html></html>"));
    }
    windows.mainWindow->show();
    while (!windows.mainWindow->windowHandle() || !windows.mainWindow->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    std::printf("%lld\n", static_cast<long long>(monotonicMicroseconds() - launched));
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 &&
        (qstrcmp(argv[1], "--child-lazy") == 0 || qstrcmp(argv[1], "--child-eager") == 0))
        return runChild(argc, argv, qstrcmp(argv[1], "--child-eager") == 0);

    const int runs = argc >= 2 ? std::max(1, atoi(argv[1])) : 5;
    std::vector<double> lazy, eager;
    for (int run = 0; run < runs; ++run) {
        for (const char* mode : {"--child-lazy", "--child-eager"}) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("PAGEWRIGHT_LAUNCH_US", QString::number(monotonicMicroseconds()));
            child.setProcessEnvironment(env);
            child.start(QString::fromLocal8Bit(argv[0]), {QString::fromLatin1(mode)});
            child.waitForFinished(120000);
            const double ms = child.readAllStandardOutput().trimmed().toDouble() / 1000.0;
            (qstrcmp(mode, "--child-lazy") == 0 ? lazy : eager).push_back(ms);
        }
    }
    std::printf("launch to main window shown, median of %d runs:\n", runs);
    std::printf("  engine started at the first page (the program): %8.1f ms\n", median(lazy));
    std::printf("  engine started before the window is shown:      %8.1f ms\n", median(eager));
    return 0;
}
