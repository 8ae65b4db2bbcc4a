// Test main: one QApplication for the whole run, as the windows need one.
#include "document/DocumentFormat.h"
#include "platform/LocalPageSchemeHandler.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    // As in the program: no death by SIGXFSZ, and no web engine sandbox for root.
    std::signal(SIGXFSZ, SIG_IGN);
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // GUI tests need no display; the end-to-end tests choose their platform themselves.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Recovery journals of the documents the tests edit go to a folder of the run's own, never to
    // the user's.
    QTemporaryDir stateHome;
    if (!stateHome.isValid())
        return 1;
    qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));
    Q_INIT_RESOURCE(resources);
    // As in the program: pages reach the previews with the charset the editor reads them in.
    LocalPageSchemeHandler::registerScheme(
        [](const QByteArray& page) { return charsetName(documentFormat(page)); });
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
