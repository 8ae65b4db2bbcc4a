// Files that cannot be read or written: the command stops, reports, and changes nothing.
#include "support/MainWindowFixture.h"

#include <QDir>
#include <csignal>
#include <sys/resource.h>

namespace {

class DocumentFailures : public MainWindowFixture
{};

TEST_F(DocumentFailures, OpeningAnUnreadableFileChangesNothing)
{
    writeFile(path("doc.html"), "<p>kept</p>");
    openThroughDialog(path("doc.html"));
    type("edited ");
    QDir(dir.path()).mkdir("folder");
    const QString unreadable[] = {path("missing.html"), path("folder")};
    for (const QString& name : unreadable) {
        SCOPED_TRACE(name.toStdString());
        dialogs().log.clear();
        dialogs().questionAnswers = {Dialogs::Answer::No};
        const QStringList previewCalls = preview()->calls;

        openThroughDialog(name);

        ASSERT_EQ(dialogs().logOf("error").size(), 1);
        EXPECT_TRUE(dialogs().logOf("error").first().contains(name));
        EXPECT_EQ(editor()->PlainText(), "edited <p>kept</p>");
        EXPECT_TRUE(editor()->Modified());
        EXPECT_EQ(form->CurrentFileName(), path("doc.html"));
        EXPECT_EQ(form->windowTitle(), path("doc.html") + " - Pagewrighter");
        EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Изменён"));
        EXPECT_EQ(form->statusPanelText(1), path("doc.html"));
        EXPECT_EQ(preview()->calls, previewCalls);
    }
}

TEST_F(DocumentFailures, SavingIntoAMissingDirectoryKeepsTheDocumentModified)
{
    form->HTML1Click();
    type("text");
    dialogs().saveAnswers = {{path("no/such/dir/page"), 1}};
    form->N7Click();
    ASSERT_EQ(dialogs().logOf("error").size(), 1);
    EXPECT_TRUE(dialogs().logOf("error").first().contains(path("no/such/dir/page.html")));
    EXPECT_EQ(form->CurrentFileName(), TForm1::UntitledName);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("НовыйHTML - Pagewrighter"));
    EXPECT_TRUE(editor()->Modified());
    EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Изменён"));
}

// A save cut short by the file-size limit (as by a full disk) must not replace the earlier file.
TEST_F(DocumentFailures, SaveBeyondTheFileSizeLimitLeavesTheEarlierFileIntact)
{
    const QByteArray earlier = "<p>small earlier version</p>";
    writeFile(path("doc.html"), earlier);
    openThroughDialog(path("doc.html"));
    type(QString(6000, QLatin1Char('x')));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    form->N7Click();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(dialogs().logOf("error").size(), 1);
    EXPECT_EQ(readFile(path("doc.html")), earlier);
    EXPECT_TRUE(editor()->Modified());
    EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Изменён"));
    const QStringList leftovers = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(leftovers, QStringList{"doc.html"});

    // With the limit gone the same save succeeds.
    form->N7Click();
    EXPECT_EQ(readFile(path("doc.html")).size(), earlier.size() + 6000);
    EXPECT_FALSE(editor()->Modified());
}

// Open, then save unchanged: the same bytes come back, through the editor.
TEST_F(DocumentFailures, UnchangedOpenAndSaveGivesTheSameBytes)
{
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b) {
        if (b == '\r' || b == '\n')
            continue;
        everyByte.append(char(b));
        if (b % 16 == 15)
            everyByte.append("\r\n");
    }
    const struct
    {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"every-byte.html", everyByte},
        {"utf8.html", "<p>\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xe2\x82\xac</p>\r\n"},
        {"utf8-bom.html", "\xef\xbb\xbf<p>\xd0\x9f\xd1\x80\xd0\xb8</p>\n"},
        {"lf-only.html", "<html>\n<body>\n</body>\n</html>\n"},
        {"no-final-end.html", "line one\r\nline two"},
        {"empty.html", ""},
        {"cp1251.html", "<p>\xcf\xf0\xe8\xe2\xe5\xf2\xa0\xe2\xf1\xe5\xec</p>\r\n"},
        // Lone CR (a line break on screen), CR before CR LF, and a CR at the very end.
        {"lone-cr.html", "a\rb\r\nc\r\r\nd\r"},
        {"lone-cr-lf-file.html", "a\rb\nc\n\r"},
        // Paragraph and line separators, noncharacters and NUL in UTF-8.
        {"separators-utf8.html",
         QByteArray("<p>\xe2\x80\xa9\xe2\x80\xa8\xef\xb7\x90\xef\xb7\x91\xd0\x99", 15) +
             QByteArray("\0x\r\n", 4)},
        {"utf16le-bom.html", QByteArray("\xff\xfe"
                                        "A\0\r\0\n\0",
                                        8)},
        {"utf16be.html", QByteArray("\0<\0p\0>\x04\x1f\0\n\0<\0/\0p\0>\0\n", 20)},
        {"utf32le-bom.html", QByteArray("\xff\xfe\0\0"
                                        "A\0\0\0\r\0\0\0\n\0\0\0",
                                        16)},
        {"koi8r.html", "<meta charset=koi8-r>\r\n<p>\xf0\xd2\xc9\xd7\xc5\xd4</p>\r\n"},
        {"declared-1251-valid-utf8.html", "<meta charset=windows-1251><p>\xc2\xa8</p>\n"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        writeFile(path(file.name), file.bytes);
        openThroughDialog(path(file.name));
        ASSERT_EQ(form->CurrentFileName(), path(file.name));
        form->N7Click();
        EXPECT_TRUE(dialogs().logOf("error").isEmpty());
        EXPECT_EQ(readFile(path(file.name)).toHex(' '), file.bytes.toHex(' '));
    }
}

// A page that declares its charset is written in it, whatever else its bytes could be.
TEST_F(DocumentFailures, TypingIntoADeclaredCharsetKeepsIt)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        QByteArray saved; // after typing "ж" at the start
    } files[] = {
        {"cp1251.html", "<meta charset=windows-1251>\xc2\xa8",
         "\xe6<meta charset=windows-1251>\xc2\xa8"},
        {"koi8r.html", "<meta charset=koi8-r>\xc1", "\xd6<meta charset=koi8-r>\xc1"},
        {"cp866.html", "<meta charset=cp866>\xa0", "\xa6<meta charset=cp866>\xa0"},
        {"iso88595.html", "<meta charset=iso-8859-5>\xd0", "\xd6<meta charset=iso-8859-5>\xd0"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        writeFile(path(file.name), file.bytes);
        openThroughDialog(path(file.name));
        editor()->SetSelStart(0);
        editor()->insertPlainText(QStringLiteral("ж"));
        form->N7Click();
        EXPECT_EQ(readFile(path(file.name)).toHex(' '), file.saved.toHex(' '));
    }
}

TEST_F(DocumentFailures, UnencodableCharactersAreWrittenAsReferences)
{
    form->HTML1Click();
    editor()->insertPlainText(QStringLiteral("<p>漢字 и €</p>"));
    dialogs().saveAnswers = {{path("refs"), 1}};
    form->N7Click();
    // Windows-1251 holds the Cyrillic and the euro sign but not the CJK characters.
    EXPECT_EQ(readFile(path("refs.html")), QByteArray("<p>&#28450;&#23383; \xe8 \x88</p>"));
}

} // namespace

// The modified mark follows the text's distance from what was saved: undoing back to the saved
// text clears it, redoing away from it brings it back, in a new document as after a save.
TEST_F(DocumentFailures, TheModifiedMarkFollowsUndoAndRedoAcrossTheSavedText)
{
    form->HTML1Click();
    type("ab");
    EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Изменён"));
    editor()->undo();
    EXPECT_EQ(editor()->PlainText(), "");
    EXPECT_FALSE(editor()->Modified());
    EXPECT_EQ(form->statusPanelText(0), QString());
    editor()->redo();
    EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Изменён"));

    dialogs().saveAnswers = {{path("page"), 1}};
    form->N7Click();
    ASSERT_EQ(readFile(path("page.html")), "ab");
    EXPECT_EQ(form->statusPanelText(0), QString());
    type("c");
    EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Изменён"));
    editor()->undo();
    EXPECT_EQ(editor()->PlainText(), "ab");
    EXPECT_EQ(form->statusPanelText(0), QString());
    // Undoing past the saved text is a change again.
    editor()->undo();
    EXPECT_EQ(editor()->PlainText(), "");
    EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Изменён"));
    editor()->redo();
    EXPECT_EQ(form->statusPanelText(0), QString());
}
