// Spell checking in the editor: the view menu's item and option, the underlines the view is given,
// and the context menu's corrections.
#include "app/CommandLine.h"
#include "support/MainWindowFixture.h"
#include "syntax/SpellChecker.h"
#include "text/TextDecoration.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

namespace {

class SpellingInWindow : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        if (!SpellChecker::missingPackages(SpellDictionary::standardFolders()).isEmpty())
            GTEST_SKIP() << "the hunspell-ru and hunspell-en-us dictionaries are not installed";
        form->HTML1Click();
    }

    QAction* item() const { return action("SpellChecking1"); }
    QMenu* contextMenu() const { return form->findChild<QMenu*>("PopupMenu2"); }

    // The underlined words among the formats the view is given for the whole text.
    QStringList underlined() const
    {
        QStringList words;
        TextDecoration* decoration = editor()->decoration();
        if (!decoration)
            return words;
        const QString text = editor()->Text();
        for (const auto& range : decoration->formats(0, text.size()))
            if (range.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline)
                words << text.mid(range.start, range.length);
        return words;
    }
    // Opens the editor's context menu over the character at `position`; returns its captions.
    QStringList openContextMenuAt(qsizetype position)
    {
        const QRect rect = editor()->characterRect(position);
        emit editor()->customContextMenuRequested(rect.center());
        QStringList captions;
        for (QAction* action : contextMenu()->actions())
            captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
        contextMenu()->hide();
        return captions;
    }
    QAction* contextItem(const QString& caption) const
    {
        for (QAction* action : contextMenu()->actions())
            if (action->text() == caption)
                return action;
        return nullptr;
    }
};

TEST_F(SpellingInWindow, ItemFollowsHighlightingAndIsOff)
{
    ASSERT_NE(item(), nullptr);
    const QList<QAction*> actions = form->findChild<QMenu*>("N8")->actions();
    const qsizetype at = actions.indexOf(item());
    ASSERT_GE(at, 1);
    EXPECT_EQ(actions[at - 1], action("SyntaxHighlighting1"));
    EXPECT_TRUE(item()->isCheckable());
    EXPECT_TRUE(item()->isEnabled());
    EXPECT_FALSE(item()->isChecked());
    EXPECT_TRUE(item()->toolTip().isEmpty() || item()->toolTip() == item()->text());
    editor()->LoadText(QStringLiteral("<p>Малоко</p>"));
    EXPECT_EQ(editor()->decoration(), nullptr);
}

TEST_F(SpellingInWindow, UnderlinesOnlyMisspeltWordsOfTheText)
{
    editor()->LoadText(QStringLiteral("<p class=\"малоко\">Превед, мир! Это малоко и house, "
                                      "not hoose.</p><img alt=\"Кортинка\"><!-- ашипка -->"
                                      "<script>var карова;</script>"));
    item()->trigger();
    EXPECT_TRUE(item()->isChecked());
    EXPECT_EQ(underlined(), (QStringList{"Превед", "малоко", "hoose", "Кортинка"}));
    item()->trigger();
    EXPECT_FALSE(item()->isChecked());
    EXPECT_EQ(editor()->decoration(), nullptr);
}

TEST_F(SpellingInWindow, TheWordBeingTypedIsLeftAloneUntilTheCaretLeaves)
{
    form->setSpellChecking(true);
    type(QStringLiteral("<p>recieve"));
    EXPECT_EQ(underlined(), QStringList{});
    type(QStringLiteral(" "));
    EXPECT_EQ(underlined(), QStringList{"recieve"});
}

TEST_F(SpellingInWindow, WorksWithHighlightingInEitherOrder)
{
    editor()->LoadText(QStringLiteral("<b>малоко</b>"));
    form->setSyntaxHighlighting(true);
    form->setSpellChecking(true);
    EXPECT_EQ(underlined(), QStringList{"малоко"});
    bool coloured = false;
    for (const auto& range : editor()->decoration()->formats(0, 3))
        coloured |= range.format.hasProperty(QTextFormat::ForegroundBrush);
    EXPECT_TRUE(coloured);
    form->setSyntaxHighlighting(false);
    EXPECT_EQ(underlined(), QStringList{"малоко"});
    form->setSyntaxHighlighting(true);
    form->setSpellChecking(false);
    EXPECT_EQ(underlined(), QStringList{});
    EXPECT_NE(editor()->decoration(), nullptr);
}

TEST_F(SpellingInWindow, ContextMenuOffersCorrectionsAndSkipping)
{
    editor()->LoadText(QStringLiteral("<p>Это малоко и молоко</p>"));
    const QStringList plain = openContextMenuAt(9);
    form->setSpellChecking(true);
    const QStringList onWord = openContextMenuAt(9);
    const qsizetype added = onWord.size() - plain.size();
    ASSERT_GE(added, 3); // at least one suggestion, the skip item and a separator
    EXPECT_LE(added - 2, SpellChecker::suggestionLimit);
    EXPECT_TRUE(onWord.mid(0, added - 2).contains(QStringLiteral("молоко")));
    EXPECT_EQ(onWord[added - 2], QStringLiteral("Пропустить везде"));
    EXPECT_EQ(onWord[added - 1], QStringLiteral("-"));
    EXPECT_EQ(onWord.mid(added), plain);
    EXPECT_EQ(openContextMenuAt(17), plain); // a correct word: nothing added

    openContextMenuAt(9);
    contextItem(QStringLiteral("молоко"))->trigger();
    EXPECT_EQ(editor()->Text(), QStringLiteral("<p>Это молоко и молоко</p>"));

    editor()->LoadText(QStringLiteral("<p>Пейджрайт и пейджрайт, Пейджрайт</p>"));
    EXPECT_EQ(underlined(), (QStringList{"Пейджрайт", "пейджрайт", "Пейджрайт"}));
    openContextMenuAt(4);
    contextItem(QStringLiteral("Пропустить везде"))->trigger();
    EXPECT_EQ(underlined(), QStringList{"пейджрайт"});
    // Skipped for the run: also after spell checking was off and on again.
    form->setSpellChecking(false);
    form->setSpellChecking(true);
    EXPECT_EQ(underlined(), QStringList{"пейджрайт"});
}

TEST_F(SpellingInWindow, MissingDictionaryDisablesTheItemAndNamesThePackage)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    QTemporaryDir englishOnly;
    ASSERT_TRUE(englishOnly.isValid());
    for (const char* file : {"en_US.aff", "en_US.dic"})
        ASSERT_TRUE(QFile::copy(QStringLiteral("/usr/share/hunspell/") + QLatin1String(file),
                                englishOnly.filePath(QLatin1String(file))));
    const struct
    {
        QString folder;
        QString packages;
    } cases[] = {
        {empty.path(), QStringLiteral("hunspell-ru, hunspell-en-us")},
        {englishOnly.path(), QStringLiteral("hunspell-ru")},
    };
    for (const auto& c : cases) {
        form->setDictionaryFolders({c.folder});
        EXPECT_FALSE(item()->isEnabled());
        EXPECT_TRUE(item()->toolTip().contains(c.packages)) << item()->toolTip().toStdString();
        EXPECT_TRUE(form->findChild<QMenu*>("N8")->toolTipsVisible());
        EXPECT_FALSE(form->setSpellChecking(true));
        EXPECT_FALSE(item()->isChecked());
        EXPECT_EQ(editor()->decoration(), nullptr);
    }
    form->setDictionaryFolders(SpellDictionary::standardFolders());
    EXPECT_TRUE(item()->isEnabled());
    EXPECT_FALSE(form->findChild<QMenu*>("N8")->toolTipsVisible());
    EXPECT_TRUE(form->setSpellChecking(true));
}

TEST(SpellOption, CommandLineTurnsItOn)
{
    for (const auto& [arguments, on] :
         {std::pair{QStringList{"pagewright", "--highlight"}, false},
          std::pair{QStringList{"pagewright", "--spell"}, true},
          std::pair{QStringList{"pagewright", "--spell", "--highlight", "a.html"}, true}}) {
        CommandLine commandLine;
        ASSERT_TRUE(commandLine.parse(arguments));
        EXPECT_EQ(commandLine.spell(), on);
    }
}

} // namespace
