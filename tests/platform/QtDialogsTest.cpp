#include "platform/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

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

// How the user leaves a Yes/No question box, and the answer that gives.
struct YesNoCase
{
    const char* name;
    std::function<void(QMessageBox&)> leave;
    Dialogs::Answer expected;
};

void pressKey(QWidget& widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

QAbstractButton* buttonCaptioned(QMessageBox& box, const QString& caption)
{
    for (QAbstractButton* button : box.buttons())
        if (button->text() == caption)
            return button;
    return nullptr;
}

class QtDialogsYesNoTest : public testing::TestWithParam<YesNoCase>
{};

// Only the buttons answer: Esc and the window's close button leave the question unanswered, so
// that a caller never takes them for a No (the recovery question deletes a journal on No).
TEST_P(QtDialogsYesNoTest, AnswersByTheWayTheBoxIsLeft)
{
    const YesNoCase& c = GetParam();
    QStringList shownButtons;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible())
                continue;
            for (QAbstractButton* button : box->buttons())
                if (button->isVisible())
                    shownButtons << button->text();
            c.leave(*box);
        }
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.askYesNo(nullptr, "Восстановление", "Восстановить их?"), c.expected);
    shownButtons.sort();
    EXPECT_EQ(shownButtons, QStringList({"Да", "Нет"}));
}

INSTANTIATE_TEST_SUITE_P(
    Leaving, QtDialogsYesNoTest,
    testing::Values(
        YesNoCase{"Enter", [](QMessageBox& box) { pressKey(*box.focusWidget(), Qt::Key_Return); },
                  Dialogs::Answer::Yes},
        YesNoCase{"ClickNo", [](QMessageBox& box) { buttonCaptioned(box, "Нет")->click(); },
                  Dialogs::Answer::No},
        YesNoCase{"Escape", [](QMessageBox& box) { pressKey(box, Qt::Key_Escape); },
                  Dialogs::Answer::Cancel},
        YesNoCase{"Closed", [](QMessageBox& box) { box.close(); }, Dialogs::Answer::Cancel}),
    [](const auto& c) { return std::string(c.param.name); });

} // namespace
