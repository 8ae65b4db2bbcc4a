// Start-up: the application object, the seven windows, the message loop.
#include "app/ProgramWindows.h"
#include "editor/MainWindow.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    // A save that exceeds the file-size limit must fail with an error, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // The web engine's sandbox cannot start for root; turn it off in that case only.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("pagewright: running as root, so the web engine's sandbox is turned off\n",
                   stderr);
    }
    Q_INIT_RESOURCE(resources);
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagewright"));
    // The icon and the menu entry under which desktops group the program's windows.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/pagewright.svg")));
    QApplication::setDesktopFileName(QStringLiteral("pagewright"));
    // Closing the main window ends the program even while tool windows are shown.
    QApplication::setQuitOnLastWindowClosed(false);
    // The standard dialogs speak Russian, as the rest of the program does.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QtPlatform platform;
    ProgramWindows windows(platform, QDir::currentPath());
    windows.mainWindow->show();
    return QApplication::exec();
}
