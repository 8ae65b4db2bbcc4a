#include "platform/QtDialogs.h"

#include "widgets/FontDialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

namespace {

// QFileDialog saves its folder history, view mode and sidebar into the user's QtProject.conf
// when it closes, and has no option against it. The program stores no settings, so the user
// scope of Qt's settings is pointed at a place where no file can be made ("/dev/null" is no
// folder): the dialog then starts from its defaults and writes nothing. Nothing else in the
// program uses QSettings.
void keepFileDialogSettingsUnwritten()
{
    static const bool done = [] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("/dev/null"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
        return true;
    }();
    Q_UNUSED(done);
}

bool runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QStringList& filters,
                   FileDialogState& state)
{
    keepFileDialogSettingsUnwritten();
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // The program asks its own replace question and chooses the extension itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    const int index = std::clamp(state.filterIndex, 1, int(filters.size()));
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.at(index - 1));
    if (!state.fileName.isEmpty())
        dialog.selectFile(state.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    state.fileName = dialog.selectedFiles().constFirst();
    state.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (state.filterIndex < 1)
        state.filterIndex = 1;
    return true;
}

} // namespace

bool QtDialogs::openFile(QWidget* parent, const QStringList& filters, FileDialogState& state,
                         bool& readOnly)
{
    readOnly = false; // the dialog shows no read-only box
    return runFileDialog(parent, QFileDialog::AcceptOpen, filters, state);
}

bool QtDialogs::saveFile(QWidget* parent, const QStringList& filters, FileDialogState& state)
{
    return runFileDialog(parent, QFileDialog::AcceptSave, filters, state);
}

namespace {

// The answer of a question box by the button that closed it; closed otherwise, Cancel.
Dialogs::Answer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Dialogs::Answer::Yes;
    case QMessageBox::No:
        return Dialogs::Answer::No;
    default:
        return Dialogs::Answer::Cancel;
    }
}

} // namespace

Dialogs::Answer QtDialogs::askYesNoCancel(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Подтверждение"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    return answerOf(box.exec());
}

Dialogs::Answer QtDialogs::askYesNo(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.setDefaultButton(QMessageBox::Yes);
    // Esc and the window's close button answer neither Yes nor No: they click this hidden button.
    QAbstractButton* unanswered = box.addButton(QMessageBox::Cancel);
    unanswered->hide();
    box.setEscapeButton(unanswered);
    return answerOf(box.exec());
}

void QtDialogs::showMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Pagewright"), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

void QtDialogs::reportError(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Ошибка"), text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogs::chooseFont(QWidget* parent, EditorFont& font)
{
    return FontDialog::getFont(parent, font);
}

bool QtDialogs::chooseColor(QWidget* parent, QColor& color)
{
    const QColor chosen = QColorDialog::getColor(color, parent, QStringLiteral("Цвет"));
    if (!chosen.isValid())
        return false;
    color = chosen;
    return true;
}
