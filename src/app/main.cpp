// Start-up: the application object, the command line, the seven windows, the document named on
// the command line, the message loop.
#include "app/CommandLine.h"
#include "app/KeyLatencyProbe.h"
#include "app/ProgramWindows.h"
#include "document/DocumentFormat.h"
#include "editor/MainWindow.h"
#include "platform/QtPlatform.h"
#include "syntax/SpellChecker.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <QTranslator>
#include <csignal>
#include <cstdio>

namespace {

// The charset a page's bytes are read in, as browsers name it: the previews read pages in the
// charset the editor reads them in.
QByteArray pageCharset(const QByteArray& page)
{
    return charsetName(documentFormat(page));
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

    // Read before the application object, which needs a display: a wrong command line, help and
    // version are answered without one.
    CommandLine commandLine;
    commandLine.process(argc, argv);
    Q_INIT_RESOURCE(resources);
    // The application object takes its own options (-platform, -style, ...), which the command
    // line above left to it.
    QApplication app(argc, argv);
    KeyLatencyProbe::installIfAsked(&app);
    // The icon and the menu entry under which desktops group the program's windows.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/pagewright.svg")));
    QApplication::setDesktopFileName(QStringLiteral("pagewright"));
    // Closing the main window ends the program even while tool windows are shown.
    QApplication::setQuitOnLastWindowClosed(false);
    QTranslator qtTexts;
    CommandLine::installRussianQtTexts(app, qtTexts);
    const QString documentFile = commandLine.documentFile();

    QtPlatform platform(EngineModule::besideProgram(), pageCharset);
    // The working directory is where the templates live, also when a document is named.
    ProgramWindows windows(platform, QDir::currentPath());
    TForm1* mainWindow = windows.mainWindow.get();
    if (commandLine.highlight())
        mainWindow->setSyntaxHighlighting(true);
    if (commandLine.spell() && !mainWindow->setSpellChecking(true)) {
        const QStringList missing =
            SpellChecker::missingPackages(SpellDictionary::standardFolders());
        std::fputs(qPrintable(QStringLiteral("Проверка орфографии недоступна: нет словаря, "
                                             "установите пакет %1.\n")
                                  .arg(missing.join(QStringLiteral(", ")))),
                   stderr);
    }
    if (commandLine.livePreview())
        mainWindow->setLivePreview(true);
    mainWindow->show();
    // Opened once the loop runs, as Open opens a file: a file that cannot be read is reported
    // over the shown window, which then starts with no document.
    if (!documentFile.isEmpty())
        QTimer::singleShot(0, mainWindow, [mainWindow, documentFile] {
            mainWindow->openDocumentFile(documentFile);
        });
    else
        QTimer::singleShot(0, mainWindow,
                           [mainWindow] { mainWindow->session().offerRecoveryAtStartUp(); });
    return QApplication::exec();
}
