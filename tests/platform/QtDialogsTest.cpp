#include "platform/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The file dialog keeps no settings file: a run of it, cancelled and accepted, writes nothing
// under the user's configuration folder (QtProject.conf).
TEST(QtDialogsTest, TheFileDialogWritesNoSettingsFile)
{
    QTemporaryDir config;
    QTemporaryDir documents;
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));

    QtDialogs dialogs;
    for (const bool accept : {false, true}) {
        // Answers the dialog once it is up, as a user would.
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                if (accept) {
                    dialog->selectFile(QDir(documents.path()).filePath("page.html"));
                    static_cast<QDialog*>(dialog)->accept();
                } else {
                    dialog->reject();
                }
            }
        });
        FileDialogState state;
        state.fileName = QDir(documents.path()).filePath("page.html");
        EXPECT_EQ(dialogs.saveFile(nullptr, {"HTML (*.html)", "HTM (*.htm)"}, state), accept);
    }
    QCoreApplication::processEvents();

    QStringList written;
    QDirIterator it(config.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        written << it.next();
    EXPECT_EQ(written, QStringList()) << "settings written";

    if (previous.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", previous);
}

} // namespace
