// Start-up: the application object, the command line, the seven windows, the document named on
// the command line, the message loop.
#include "app/CommandLine.h"
#include "app/ProgramWindows.h"
#include "document/DocumentFormat.h"
#include "editor/MainWindow.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSet>
#include <QTimer>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// Qt's own texts (standard dialogs, the command line's help) in Russian, as the rest of the
// program speaks.
void installRussianQtTexts(QCoreApplication& app, QTranslator& translator)
{
    if (translator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

// The charset a page's bytes are read in, as browsers name it: the previews read pages in the
// charset the editor reads them in.
QByteArray pageCharset(const QByteArray& page)
{
    return charsetName(documentFormat(page));
}

// Whether the command line asks only for a text (help, version), which needs no display.
bool asksOnlyForText(int argc, char** argv)
{
    static const QSet<QByteArray> textOptions = {"-h",         "-?", "--help",
                                                 "--help-all", "-v", "--version"};
    for (int i = 1; i < argc; ++i)
        if (textOptions.contains(QByteArray(argv[i])))
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // A save that exceeds the file-size limit must fail with an error, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication::setApplicationName(QStringLiteral("Pagewright"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PAGEWRIGHT_VERSION));
    // Only previews that draw with OpenGL need the context all contexts share; it must exist before
    // the application object, and creating it costs tens of milliseconds.
    if (EngineModule::usesOpenGL())
        QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    // The web engine's sandbox cannot start for root; turn it off in that case only.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("pagewright: running as root, so the web engine's sandbox is turned off\n",
                   stderr);
    }
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        QTranslator qtTexts;
        installRussianQtTexts(app, qtTexts);
        CommandLine().process(app); // prints and ends the program
        return 0;
    }
    Q_INIT_RESOURCE(resources);
    // The application object takes its own options (-platform, -style, ...) off the command line
    // first; what is left is ours.
    QApplication app(argc, argv);
    // The icon and the menu entry under which desktops group the program's windows.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/pagewright.svg")));
    QApplication::setDesktopFileName(QStringLiteral("pagewright"));
    // Closing the main window ends the program even while tool windows are shown.
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator qtTexts;
    installRussianQtTexts(app, qtTexts);
    CommandLine commandLine;
    commandLine.process(app);
    const QString documentFile = commandLine.documentFile();

    QtPlatform platform(EngineModule::besideProgram(), pageCharset);
    // The working directory is where the templates live, also when a document is named.
    ProgramWindows windows(platform, QDir::currentPath());
    TForm1* mainWindow = windows.mainWindow.get();
    if (commandLine.highlight())
        mainWindow->setSyntaxHighlighting(true);
    mainWindow->show();
    // Opened once the loop runs, as Open opens a file: a file that cannot be read is reported
    // over the shown window, which then starts with no document.
    if (!documentFile.isEmpty())
        QTimer::singleShot(0, mainWindow, [mainWindow, documentFile] {
            mainWindow->openDocumentFile(documentFile);
        });
    return QApplication::exec();
}
