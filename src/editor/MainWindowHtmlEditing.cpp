// HTML-aware editing, beyond the plain text editor and off by default: syntax highlighting, as a
// checkable item at the end of the view menu and a command-line option.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "editor/HtmlHighlighting.h"
#include "text/SourceEditor.h"

void TForm1::addHtmlEditingItems()
{
    ui->N8->addSeparator();
    SyntaxHighlighting1 = ui->N8->addAction(QStringLiteral("Подсветка синтаксиса"));
    SyntaxHighlighting1->setObjectName(QStringLiteral("SyntaxHighlighting1"));
    SyntaxHighlighting1->setCheckable(true);
    connect(SyntaxHighlighting1, &QAction::toggled, this, &TForm1::setSyntaxHighlighting);
}

void TForm1::setSyntaxHighlighting(bool on)
{
    SyntaxHighlighting1->setChecked(on);
    if (on && !highlighting_)
        highlighting_ = std::make_unique<HtmlHighlighting>(RichEdit1);
    else if (!on)
        highlighting_.reset();
}
