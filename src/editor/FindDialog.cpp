#include "editor/FindDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* textEdit(const QString& objectName, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMaxLength(FindDialog::MaxTextLength);
    edit->setMinimumWidth(220);
    return edit;
}

QPushButton* button(const QString& caption, const QString& objectName, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    return button;
}

} // namespace

FindDialog::FindDialog(Mode mode, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      mode_(mode)
{
    const bool replacing = mode == Mode::Replace;
    setObjectName(replacing ? QStringLiteral("ReplaceDialog1") : QStringLiteral("FindDialog1"));
    setWindowTitle(replacing ? QStringLiteral("Заменить") : QStringLiteral("Найти"));
    setModal(false);

    auto* fields = new QGridLayout;
    findEdit_ = textEdit(QStringLiteral("findEdit"), this);
    auto* findLabel = new QLabel(QStringLiteral("&Что:"), this);
    findLabel->setBuddy(findEdit_);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(findEdit_, 0, 1);
    if (replacing) {
        replaceEdit_ = textEdit(QStringLiteral("replaceEdit"), this);
        auto* replaceLabel = new QLabel(QStringLiteral("Ч&ем:"), this);
        replaceLabel->setBuddy(replaceEdit_);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(replaceEdit_, 1, 1);
    }
    fields->setRowStretch(fields->rowCount(), 1);

    auto* buttons = new QVBoxLayout;
    findNextButton_ =
        button(QStringLiteral("&Найти далее"), QStringLiteral("findNextButton"), this);
    findNextButton_->setDefault(true);
    buttons->addWidget(findNextButton_);
    connect(findNextButton_, &QPushButton::clicked, this, &FindDialog::findNext);
    if (replacing) {
        replaceButton_ = button(QStringLiteral("&Заменить"), QStringLiteral("replaceButton"), this);
        replaceAllButton_ =
            button(QStringLiteral("Заменить &все"), QStringLiteral("replaceAllButton"), this);
        buttons->addWidget(replaceButton_);
        buttons->addWidget(replaceAllButton_);
        connect(replaceButton_, &QPushButton::clicked, this, &FindDialog::replace);
        connect(replaceAllButton_, &QPushButton::clicked, this, &FindDialog::replaceAll);
    }
    auto* cancelButton = button(QStringLiteral("Отмена"), QStringLiteral("cancelButton"), this);
    buttons->addWidget(cancelButton);
    buttons->addStretch(1);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(findEdit_, &QLineEdit::textChanged, this, &FindDialog::updateButtons);
    updateButtons();
}

QString FindDialog::FindText() const
{
    return findEdit_->text();
}

void FindDialog::SetFindText(const QString& text)
{
    findEdit_->setText(text);
}

QString FindDialog::ReplaceText() const
{
    return replaceEdit_ ? replaceEdit_->text() : QString();
}

void FindDialog::SetReplaceText(const QString& text)
{
    if (replaceEdit_)
        replaceEdit_->setText(text);
}

void FindDialog::Execute()
{
    show();
    raise();
    activateWindow();
    findEdit_->setFocus();
    findEdit_->selectAll();
}

void FindDialog::updateButtons()
{
    // As with the system's own find dialogs, nothing can be sought for an empty text.
    const bool hasText = !findEdit_->text().isEmpty();
    findNextButton_->setEnabled(hasText);
    if (replaceButton_)
        replaceButton_->setEnabled(hasText);
    if (replaceAllButton_)
        replaceAllButton_->setEnabled(hasText);
}
