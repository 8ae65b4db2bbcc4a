// The document session without any window: the save-changes question for each caller and answer,
// the save flow, refresh's save, opening a named file, and what the session announces.
#include "document/DocumentSession.h"
#include "support/FakeDialogs.h"
#include "support/FakeDocumentEditor.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Answer = Dialogs::Answer;
using Operation = DocumentSession::FollowingOperation;
const QString Untitled = QStringLiteral("НовыйHTML");
const QString Question =
    QStringLiteral("question Текущий документ содержит изменения. Сохранить его?");

class DocumentSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        editor.changed = [this] { session.editorChanged(); };
        QObject::connect(&session, &DocumentSession::titleChanged,
                         [this](const QString& t) { title = t; });
        QObject::connect(&session, &DocumentSession::statusPanelChanged,
                         [this](int panel, const QString& text) { panels[panel] = text; });
        QObject::connect(&session, &DocumentSession::documentControlsEnabled,
                         [this] { ++controlsEnabled; });
        QObject::connect(&session, &DocumentSession::previewNavigationRequested,
                         [this](const QString& p) { preview << "navigate " + p; });
        QObject::connect(&session, &DocumentSession::previewRefreshRequested,
                         [this] { preview << "refresh"; });
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    void open(const QString& file)
    {
        dialogs.openAnswers = {{file, 1}};
        session.openDocument();
    }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakeDocumentEditor editor;
    DocumentSession session{dialogs, editor};
    QString title;
    QString panels[2];
    int controlsEnabled = 0;
    QStringList preview;
};

// --- The save-changes question ----------------------------------------------------------------

enum class Caller { New, Open, OpenNamedFile, Template, Close };
// The document the question is asked about, and what its save comes to after Yes.
enum class Case {
    No,
    Cancel,
    NamedWritten,
    NamedWriteFails,
    UntitledWritten,
    UntitledDialogCancelled,
    UntitledReplaceDeclined,
    UntitledWriteFails,
};

struct QuestionRow
{
    Case what;
    bool goesOn;           // for every caller but the template chooser
    bool chooserOpens;     // for the template chooser
    const char* savedFile; // the file that holds the edits afterwards, or ""
    int errors;
};

const QuestionRow questionRows[] = {
    {Case::No, true, true, "", 0},
    {Case::Cancel, false, false, "", 0},
    {Case::NamedWritten, true, true, "doc.html", 0},
    {Case::NamedWriteFails, false, false, "", 1},
    {Case::UntitledWritten, true, true, "saved.html", 0},
    // The user asked to save and nothing was saved: nothing follows, the chooser included.
    {Case::UntitledDialogCancelled, false, false, "", 0},
    {Case::UntitledReplaceDeclined, false, false, "", 0},
    {Case::UntitledWriteFails, false, false, "", 1},
};

class SaveChangesQuestion : public DocumentSessionTest,
                            public ::testing::WithParamInterface<std::tuple<Caller, QuestionRow>>
{
protected:
    // Brings the session to a modified document as `what` needs it and scripts the answers.
    void prepare(Case what)
    {
        writeFile(path("other.html"), "<p>other</p>");
        writeFile(path("taken.html"), "keep");
        const bool named = what == Case::NamedWritten || what == Case::NamedWriteFails ||
                           what == Case::No || what == Case::Cancel;
        if (named) {
            ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
            writeFile(path("sub/doc.html"), "old");
            open(path("sub/doc.html"));
        } else {
            session.newDocument();
        }
        editor.type("edits");
        dialogs.log.clear();
        dialogs.questionAnswers = {what == Case::No       ? Answer::No
                                   : what == Case::Cancel ? Answer::Cancel
                                                          : Answer::Yes};
        switch (what) {
        case Case::NamedWriteFails:
            QDir(path("sub")).removeRecursively();
            break;
        case Case::UntitledWritten:
            dialogs.saveAnswers = {{path("saved"), 1}};
            break;
        case Case::UntitledDialogCancelled:
            dialogs.saveAnswers = {{QString(), 1}};
            break;
        case Case::UntitledReplaceDeclined:
            dialogs.saveAnswers = {{path("taken.html"), 1}};
            dialogs.questionAnswers.push_back(Answer::No);
            break;
        case Case::UntitledWriteFails:
            dialogs.saveAnswers = {{path("missing/dir/page"), 1}};
            break;
        default:
            break;
        }
        dialogs.openAnswers = {{path("other.html"), 1}};
    }

    // Runs the caller; returns whether the operation that follows the question went ahead.
    bool run(Caller caller)
    {
        switch (caller) {
        case Caller::New:
            session.newDocument();
            return session.fileName() == Untitled && editor.text.isEmpty();
        case Caller::Open:
            session.openDocument();
            return session.fileName() == path("other.html");
        case Caller::OpenNamedFile:
            session.openDocumentFile(path("other.html"));
            return session.fileName() == path("other.html");
        case Caller::Template:
            return session.mayOpenTemplateChooser();
        case Caller::Close:
            return session.mayClose();
        }
        return false;
    }
};

TEST_P(SaveChangesQuestion, GoesOnOrStops)
{
    const auto [caller, row] = GetParam();
    prepare(row.what);
    const QString nameBefore = session.fileName();
    const QString edited = editor.text;

    const bool wentOn = run(caller);

    EXPECT_EQ(dialogs.log.value(0), Question);
    EXPECT_EQ(wentOn, caller == Caller::Template ? row.chooserOpens : row.goesOn);
    EXPECT_EQ(dialogs.logOf("error").size(), row.errors);
    EXPECT_EQ(readFile(path("taken.html")), "keep");
    const bool saved = *row.savedFile;
    if (saved) {
        const QString file = path(row.what == Case::NamedWritten ? "sub/doc.html" : "saved.html");
        EXPECT_EQ(readFile(file), edited.toUtf8());
    }
    // When nothing followed, or what followed keeps the document (the chooser opening, the
    // closing), the document is as the question's save left it.
    if (!wentOn || caller == Caller::Template || caller == Caller::Close) {
        EXPECT_EQ(editor.text, edited);
        EXPECT_EQ(editor.modified, !saved);
        EXPECT_EQ(panels[0], saved ? QString() : QStringLiteral("Изменён"));
        if (!saved) {
            EXPECT_EQ(session.fileName(), nameBefore);
        }
    }
}

std::string callerName(Caller c)
{
    static const char* names[] = {"New", "Open", "OpenNamedFile", "Template", "Close"};
    return names[int(c)];
}
std::string caseName(Case c)
{
    static const char* names[] = {
        "No",
        "Cancel",
        "NamedYesWritten",
        "NamedYesWriteFails",
        "UntitledYesWritten",
        "UntitledYesThenCancel",
        "UntitledYesReplaceDeclined",
        "UntitledYesWriteFails",
    };
    return names[int(c)];
}

void PrintTo(Caller c, std::ostream* os)
{
    *os << callerName(c);
}
void PrintTo(const QuestionRow& row, std::ostream* os)
{
    *os << caseName(row.what);
}

INSTANTIATE_TEST_SUITE_P(Callers, SaveChangesQuestion,
                         ::testing::Combine(::testing::Values(Caller::New, Caller::Open,
                                                              Caller::OpenNamedFile,
                                                              Caller::Template, Caller::Close),
                                            ::testing::ValuesIn(questionRows)),
                         [](const auto& generated) {
                             return caseName(std::get<1>(generated.param).what) + "_" +
                                    callerName(std::get<0>(generated.param));
                         });

TEST_F(DocumentSessionTest, NoQuestionWithoutChanges)
{
    for (bool untitled : {false, true}) {
        if (untitled)
            session.newDocument();
        EXPECT_TRUE(session.mayClose());
        EXPECT_TRUE(session.mayOpenTemplateChooser());
        EXPECT_TRUE(dialogs.log.isEmpty());
    }
}

// --- Commands -------------------------------------------------------------------------------

TEST_F(DocumentSessionTest, SaveAndSaveAsBeforeAnyDocumentDoNothing)
{
    dialogs.saveAnswers = {{path("a"), 1}, {path("b"), 1}};
    session.saveDocument();
    session.saveDocumentAs();
    session.refreshPreview();
    EXPECT_TRUE(dialogs.log.isEmpty());
    EXPECT_EQ(session.fileName(), QString());
    EXPECT_EQ(title, QString());
    EXPECT_EQ(controlsEnabled, 0);
    EXPECT_FALSE(editor.enabled);
}

TEST_F(DocumentSessionTest, NewOpenAndSaveAnnounceNameTitleAndMarks)
{
    session.newDocument();
    EXPECT_EQ(title, Untitled + " - Pagewrighter");
    EXPECT_EQ(panels[1], Untitled);
    EXPECT_TRUE(editor.enabled);
    EXPECT_EQ(editor.focusTaken, 1);
    EXPECT_EQ(controlsEnabled, 1);
    EXPECT_EQ(session.format(), newDocumentFormat());

    editor.type("<p>\xd0\x96</p>");
    EXPECT_EQ(panels[0], QStringLiteral("Изменён"));
    dialogs.saveAnswers = {{path("page"), 2}};
    session.saveDocument();
    EXPECT_EQ(readFile(path("page.htm")), "<p>\xc6</p>");
    EXPECT_EQ(title, path("page.htm") + " - Pagewrighter");
    EXPECT_EQ(panels[0], QString());
    EXPECT_FALSE(editor.modified);

    writeFile(path("utf8.html"), "<p>\xd0\x96</p>\n");
    open(path("utf8.html"));
    EXPECT_EQ(editor.text, QStringLiteral("<p>Ж</p>\n"));
    EXPECT_EQ(session.format().encoding, TextEncoding::Utf8);
    EXPECT_EQ(session.format().lineEnding, LineEnding::Lf);
    EXPECT_EQ(panels[0], QString()); // the load's change leaves no mark
    EXPECT_FALSE(editor.modified);
    EXPECT_EQ(editor.focusTaken, 1); // the preview gives the focus once the page has loaded
    EXPECT_EQ(preview, QStringList{"navigate " + path("utf8.html")});
}

TEST_F(DocumentSessionTest, OpenTakesTheDialogsReadOnlyResult)
{
    writeFile(path("a.html"), "a");
    dialogs.openAnswers = {{path("a.html"), 1, true}};
    session.openDocument();
    EXPECT_TRUE(editor.readOnly);
    open(path("a.html"));
    EXPECT_FALSE(editor.readOnly);
}

TEST_F(DocumentSessionTest, NamedFileOpensAsTheDialogsFileDoes)
{
    writeFile(path("a.html"), "<p>a</p>");
    session.openDocumentFile(path("a.html"));
    EXPECT_EQ(session.fileName(), path("a.html"));
    EXPECT_EQ(editor.text, "<p>a</p>");
    EXPECT_EQ(preview, QStringList{"navigate " + path("a.html")});

    // A file that cannot be read is reported; the document stays as it was.
    preview.clear();
    session.openDocumentFile(path("missing.html"));
    ASSERT_EQ(dialogs.logOf("error").size(), 1);
    EXPECT_TRUE(dialogs.logOf("error").first().contains(path("missing.html")));
    EXPECT_EQ(session.fileName(), path("a.html"));
    EXPECT_TRUE(preview.isEmpty());
}

TEST_F(DocumentSessionTest, TemplateStartsAnUntitledModifiedDocument)
{
    const struct
    {
        QString text;
        QString panel0;
    } cases[] = {{"", "Modified"}, {"<p>t</p>", "Изменён"}};
    for (const auto& c : cases) {
        DecodedDocument document;
        document.text = c.text;
        document.format.encoding = TextEncoding::Utf8;
        session.startFromTemplate(document);
        EXPECT_EQ(session.fileName(), Untitled);
        EXPECT_EQ(editor.text, c.text);
        EXPECT_TRUE(editor.modified);
        EXPECT_EQ(panels[0], c.panel0);
        EXPECT_EQ(panels[1], Untitled);
        EXPECT_EQ(session.format().encoding, TextEncoding::Utf8);
        EXPECT_TRUE(preview.isEmpty());
    }
}

// Save As: the filter entry gives the extension unless the name already has one of ours; an
// existing name (as typed, or with the extension) is replaced only after Yes.
TEST_F(DocumentSessionTest, SaveAsNamesTheFile)
{
    const struct
    {
        const char* existing; // a file there before, or ""
        const char* typed;
        int filter;
        Answer answer; // to the replace question, when it is asked
        const char* written;
    } cases[] = {
        {"", "a", 1, Answer::Yes, "a.html"},
        {"", "b", 2, Answer::Yes, "b.htm"},
        {"", "page.HTML", 2, Answer::Yes, "page.HTML"},
        {"", "notes.txt", 1, Answer::Yes, "notes.txt.html"},
        {"exact", "exact", 1, Answer::Yes, "exact"},
        {"exact", "exact", 1, Answer::No, ""},
        {"with.html", "with", 1, Answer::Yes, "with.html"},
        {"with.htm", "with", 2, Answer::Cancel, ""},
    };
    session.newDocument();
    editor.type("text");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        if (*c.existing)
            writeFile(path(c.existing), "before");
        const QString nameBefore = session.fileName();
        editor.type("!");
        dialogs.log.clear();
        dialogs.saveAnswers = {{path(c.typed), c.filter}};
        dialogs.questionAnswers = {c.answer};

        session.saveDocumentAs();

        EXPECT_EQ(dialogs.logOf("question").size(), *c.existing ? 1 : 0);
        if (*c.written) {
            EXPECT_EQ(readFile(path(c.written)), editor.text.toUtf8());
            EXPECT_EQ(session.fileName(), path(c.written));
            EXPECT_EQ(title, path(c.written) + " - Pagewrighter");
            EXPECT_FALSE(editor.modified);
        } else {
            EXPECT_EQ(readFile(path(c.existing)), "before");
            EXPECT_EQ(session.fileName(), nameBefore);
            EXPECT_TRUE(editor.modified);
        }
        if (*c.existing)
            QFile::remove(path(c.existing));
    }
}

// A charset declaration typed into the text decides the encoding from the save on.
TEST_F(DocumentSessionTest, SavedCharsetDeclarationDecidesTheEncoding)
{
    session.newDocument();
    editor.type(QStringLiteral("<meta charset=\"utf-8\"><p>Ж</p>"));
    dialogs.saveAnswers = {{path("page"), 1}};
    session.saveDocument();
    EXPECT_EQ(readFile(path("page.html")), "<meta charset=\"utf-8\"><p>\xd0\x96</p>");
    EXPECT_EQ(session.format().encoding, TextEncoding::Utf8);
    editor.type("ё");
    session.saveDocument();
    EXPECT_TRUE(readFile(path("page.html")).endsWith("\xd1\x91"));
}

// --- Refresh --------------------------------------------------------------------------------

TEST_F(DocumentSessionTest, RefreshSavesThenLoadsOrReloads)
{
    writeFile(path("a.html"), "a");
    const struct
    {
        const char* step;
        std::function<void()> act;
        QStringList preview;
        int saveDialogs;
    } steps[] = {
        {"unchanged untitled: nothing", [&] { session.newDocument(); }, {}, 0},
        {"modified untitled, dialog cancelled: nothing", [&] { editor.type("x"); }, {}, 1},
        {"modified untitled, saved: the new file is loaded",
         [&] {
             dialogs.saveAnswers = {{path("new"), 1}};
         },
         {"navigate " + path("new.html")},
         1},
        {"unchanged named: nothing", [] {}, {}, 0},
        {"modified named: written and reloaded", [&] { editor.type("y"); }, {"refresh"}, 0},
        {"named anew by Save As: the new file is loaded",
         [&] {
             editor.type("z");
             dialogs.saveAnswers = {{path("b"), 1}};
             session.saveDocumentAs();
             editor.type("w");
             dialogs.log.clear();
         },
         {"navigate " + path("b.html")},
         0},
        {"write fails: nothing",
         [&] {
             editor.type("v");
             QFile::remove(path("b.html"));
             QDir(dir.path()).mkdir("b.html");
         },
         {},
         0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.act();
        dialogs.log.clear();
        preview.clear();
        session.refreshPreview();
        EXPECT_EQ(preview, s.preview);
        EXPECT_EQ(dialogs.logOf("save").size(), s.saveDialogs);
    }
    EXPECT_EQ(readFile(path("new.html")), "xy");
    EXPECT_EQ(dialogs.logOf("error").size(), 1);
    EXPECT_TRUE(editor.modified);
    EXPECT_EQ(panels[0], QStringLiteral("Изменён"));
}

} // namespace
