// HTML-aware editing, beyond the plain text editor and off by default: syntax highlighting and
// spell checking, as checkable items at the end of the view menu and command-line options.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "editor/DecorationStack.h"
#include "editor/HtmlHighlighting.h"
#include "editor/SpellUnderlines.h"
#include "syntax/SpellChecker.h"
#include "text/SourceEditor.h"
#include "text/TextBuffer.h"

#include <QMenu>

void TForm1::addHtmlEditingItems()
{
    decorations_ = std::make_unique<DecorationStack>();
    ui->N8->addSeparator();
    SyntaxHighlighting1 = ui->N8->addAction(QStringLiteral("Подсветка синтаксиса"));
    SyntaxHighlighting1->setObjectName(QStringLiteral("SyntaxHighlighting1"));
    SyntaxHighlighting1->setCheckable(true);
    connect(SyntaxHighlighting1, &QAction::toggled, this, &TForm1::setSyntaxHighlighting);
    SpellChecking1 = ui->N8->addAction(QStringLiteral("Проверка орфографии"));
    SpellChecking1->setObjectName(QStringLiteral("SpellChecking1"));
    SpellChecking1->setCheckable(true);
    connect(SpellChecking1, &QAction::toggled, this, &TForm1::setSpellChecking);
    setDictionaryFolders(SpellDictionary::standardFolders());
}

void TForm1::setDictionaryFolders(const QStringList& folders)
{
    dictionaryFolders_ = folders;
    const QStringList missing = SpellChecker::missingPackages(folders);
    SpellChecking1->setEnabled(missing.isEmpty() || SpellChecking1->isChecked());
    SpellChecking1->setToolTip(
        missing.isEmpty()
            ? QString()
            : QStringLiteral("Нет словаря для проверки орфографии: установите пакет %1")
                  .arg(missing.join(QStringLiteral(", "))));
    // A menu shows no tooltips unless asked; only this item has one, and only while disabled.
    ui->N8->setToolTipsVisible(!missing.isEmpty());
}

void TForm1::updateDecorations()
{
    RichEdit1->setDecoration(decorations_->isEmpty() ? nullptr : decorations_.get());
}

void TForm1::setSyntaxHighlighting(bool on)
{
    SyntaxHighlighting1->setChecked(on);
    if (on && !highlighting_) {
        highlighting_ = std::make_unique<HtmlHighlighting>(RichEdit1);
        decorations_->add(highlighting_.get());
    } else if (!on && highlighting_) {
        decorations_->remove(highlighting_.get());
        highlighting_.reset();
    }
    updateDecorations();
}

bool TForm1::setSpellChecking(bool on)
{
    if (on && !spelling_) {
        if (!SpellChecker::missingPackages(dictionaryFolders_).isEmpty()) {
            SpellChecking1->setChecked(false);
            return false;
        }
        if (!spellChecker_)
            spellChecker_ = std::make_unique<SpellChecker>(dictionaryFolders_);
        spelling_ = std::make_unique<SpellUnderlines>(RichEdit1, *spellChecker_);
        decorations_->add(spelling_.get());
    } else if (!on && spelling_) {
        decorations_->remove(spelling_.get());
        spelling_.reset();
    }
    SpellChecking1->setChecked(on);
    updateDecorations();
    return on;
}

void TForm1::addSpellItems(QPoint viewportPoint)
{
    qDeleteAll(spellItems_);
    spellItems_.clear();
    if (!spelling_)
        return;
    const std::optional<SpellRanges::Word> word =
        spelling_->misspeltWordAt(RichEdit1->positionAt(viewportPoint));
    if (!word)
        return;
    const TextBuffer* buffer = RichEdit1->buffer();
    const QString spelling = buffer->mid(word->start, word->length);
    QAction* first = PopupMenu2->actions().value(0);
    const auto addItem = [&](const QString& caption) {
        auto* item = new QAction(caption, PopupMenu2);
        PopupMenu2->insertAction(first, item);
        spellItems_ << item;
        return item;
    };
    const QStringList suggestions = spellChecker_->suggestions(spelling);
    for (const QString& suggestion : suggestions) {
        connect(addItem(suggestion), &QAction::triggered, this, [this, word, suggestion] {
            RichEdit1->setSelection(word->start, word->start + word->length);
            RichEdit1->insertPlainText(suggestion);
        });
    }
    if (suggestions.isEmpty())
        addItem(QStringLiteral("Нет вариантов"))->setEnabled(false);
    connect(addItem(QStringLiteral("Пропустить везде")), &QAction::triggered, this,
            [this, spelling] {
                spellChecker_->skipEverywhere(spelling);
                spelling_->recheck();
            });
    spellItems_ << PopupMenu2->insertSeparator(first);
}
