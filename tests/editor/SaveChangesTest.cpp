// The save-changes question before New, Open, New by template and closing, and Save As.
#include "support/ProgramFixture.h"
#include "templates/TemplateChooser.h"

#include <QFileInfo>

namespace {

using Answer = Dialogs::Answer;
const QString Question =
    QStringLiteral("question Текущий документ содержит изменения. Сохранить его?");
const QString ReplaceQuestion =
    QStringLiteral("question Файл с таким именем уже существует. Заменить?");

enum class Caller { New, Open, Template, Close };

class SaveChanges : public MainWindowFixture
{
protected:
    // Runs the caller; returns whether the operation that follows the question went ahead.
    bool run(Caller caller)
    {
        writeFile(path("other.html"), "<p>other</p>");
        dialogs().openAnswers = {{path("other.html"), 1}};
        switch (caller) {
        case Caller::New:
            form->HTML1Click();
            return form->CurrentFileName() == TForm1::UntitledName && editor()->Text().isEmpty();
        case Caller::Open:
            form->N3Click();
            return form->CurrentFileName() == path("other.html");
        case Caller::Template:
            form->N28Click(); // what follows it is seen in the chooser's own tests
            return false;
        case Caller::Close:
            return form->close();
        }
        return false;
    }
};

TEST_F(SaveChanges, NamedDocumentYesSavesThenGoesOn)
{
    for (Caller caller : {Caller::New, Caller::Open, Caller::Close}) {
        SCOPED_TRACE(int(caller));
        form = std::make_unique<TForm1>(platform);
        writeFile(path("doc.html"), "old");
        openThroughDialog(path("doc.html"));
        type("new ");
        dialogs().log.clear();
        dialogs().questionAnswers = {Answer::Yes};

        EXPECT_TRUE(run(caller));
        EXPECT_EQ(readFile(path("doc.html")), "new old");
        EXPECT_EQ(dialogs().log.value(0), Question);
    }
}

TEST_F(SaveChanges, NoGoesOnWithoutSavingAndCancelStops)
{
    for (Caller caller : {Caller::New, Caller::Open, Caller::Close}) {
        for (Answer answer : {Answer::No, Answer::Cancel}) {
            SCOPED_TRACE(int(caller) * 10 + int(answer));
            form = std::make_unique<TForm1>(platform);
            writeFile(path("doc.html"), "old");
            openThroughDialog(path("doc.html"));
            type("new ");
            dialogs().questionAnswers = {answer};

            const bool wentOn = run(caller);

            EXPECT_EQ(wentOn, answer == Answer::No);
            EXPECT_EQ(readFile(path("doc.html")), "old");
            if (answer == Answer::Cancel) {
                EXPECT_EQ(form->CurrentFileName(), path("doc.html"));
                EXPECT_EQ(editor()->PlainText(), "new old");
                EXPECT_TRUE(editor()->Modified());
                EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Изменён"));
            }
        }
    }
}

// Yes on an untitled document runs Save As; when that does not end in a written file, the edits
// stay: New, Open and the closing are abandoned. (The template chooser, which opens after a
// cancelled save dialog, is seen through the whole program below.)
TEST_F(SaveChanges, UntitledYesWithoutCompletedSaveAbandonsTheOperation)
{
    enum class SaveOutcome { DialogCancelled, ReplaceDeclined, WriteFailed, Written };
    for (Caller caller : {Caller::New, Caller::Open, Caller::Template, Caller::Close}) {
        for (SaveOutcome outcome : {SaveOutcome::DialogCancelled, SaveOutcome::ReplaceDeclined,
                                    SaveOutcome::WriteFailed, SaveOutcome::Written}) {
            SCOPED_TRACE(int(caller) * 10 + int(outcome));
            form = std::make_unique<TForm1>(platform);
            form->HTML1Click();
            type("edits");
            writeFile(path("taken.html"), "keep");
            QFile::remove(path("saved.html"));
            dialogs().log.clear();
            dialogs().questionAnswers = {Answer::Yes};
            switch (outcome) {
            case SaveOutcome::DialogCancelled:
                dialogs().saveAnswers = {{QString(), 1}};
                break;
            case SaveOutcome::ReplaceDeclined:
                dialogs().saveAnswers = {{path("taken.html"), 1}};
                dialogs().questionAnswers.push_back(Answer::No);
                break;
            case SaveOutcome::WriteFailed:
                dialogs().saveAnswers = {{path("missing/dir/page"), 1}};
                break;
            case SaveOutcome::Written:
                dialogs().saveAnswers = {{path("saved"), 1}};
                break;
            }

            const bool closed = caller == Caller::Close ? form->close() : (run(caller), false);

            if (outcome == SaveOutcome::Written) {
                EXPECT_EQ(readFile(path("saved.html")), "edits");
                EXPECT_FALSE(caller == Caller::Close && !closed);
                continue;
            }
            EXPECT_FALSE(closed);
            EXPECT_EQ(form->CurrentFileName(), TForm1::UntitledName);
            EXPECT_EQ(editor()->PlainText(), "edits");
            EXPECT_TRUE(editor()->Modified());
            EXPECT_EQ(readFile(path("taken.html")), "keep");
            EXPECT_TRUE(dialogs().logOf("open").isEmpty());
            EXPECT_EQ(dialogs().logOf("error").size(), outcome == SaveOutcome::WriteFailed ? 1 : 0);
        }
    }
}

TEST_F(SaveChanges, TemplateCommandAsksOnlyWhenModified)
{
    form->HTML1Click();
    form->N28Click();
    EXPECT_TRUE(dialogs().logOf("question").isEmpty());
    type("x");
    dialogs().questionAnswers = {Answer::Cancel};
    form->N28Click();
    EXPECT_EQ(dialogs().log, QStringList{Question});
    EXPECT_EQ(editor()->PlainText(), "x");
}

// "По шаблону..." through its menu item in the wired program: the question, then the chooser over
// the disabled main window, or nothing.
class SaveChangesBeforeTemplateChooser : public ProgramFixture
{};

TEST_F(SaveChangesBeforeTemplateChooser, EachAnswer)
{
    enum class Doc { Named, Untitled };
    const struct
    {
        const char* name;
        Doc doc;
        Answer answer;
        FakeDialogs::FileAnswer save; // the save dialog's answer after Yes on an untitled document
        bool chooserOpens;
        bool saved;
        int errors;
    } rows[] = {
        {"NamedNo", Doc::Named, Answer::No, {}, true, false, 0},
        {"NamedCancel", Doc::Named, Answer::Cancel, {}, false, false, 0},
        {"NamedYes", Doc::Named, Answer::Yes, {}, true, true, 0},
        {"UntitledNo", Doc::Untitled, Answer::No, {}, true, false, 0},
        {"UntitledCancel", Doc::Untitled, Answer::Cancel, {}, false, false, 0},
        {"UntitledYesSaved", Doc::Untitled, Answer::Yes, {"saved", 1}, true, true, 0},
        // The user asked to save and nothing was saved: the chooser stays closed, the edits stay.
        {"UntitledYesThenCancel", Doc::Untitled, Answer::Yes, {"", 1}, false, false, 0},
        {"UntitledYesWriteFails",
         Doc::Untitled,
         Answer::Yes,
         {"missing/dir/page", 1},
         false,
         false,
         1},
    };
    auto* chooser = program->templateChooser.get();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.doc == Doc::Named) {
            writeFile(path("doc.html"), "old");
            openThroughDialog(path("doc.html"));
        } else {
            dialogs().questionAnswers = {Answer::No};
            form->HTML1Click();
        }
        type("edits");
        const QString name = form->CurrentFileName();
        const QString text = editor()->PlainText();
        QFile::remove(path("saved.html"));
        dialogs().log.clear();
        dialogs().questionAnswers = {row.answer};
        dialogs().saveAnswers = {{row.save.path.isEmpty() ? QString() : path(row.save.path), 1}};

        action("N28")->trigger();

        EXPECT_EQ(dialogs().log.value(0), Question);
        EXPECT_EQ(chooser->isVisible(), row.chooserOpens);
        EXPECT_EQ(form->isEnabled(), !row.chooserOpens);
        EXPECT_EQ(dialogs().logOf("error").size(), row.errors);
        EXPECT_EQ(editor()->PlainText(), text);
        EXPECT_EQ(editor()->Modified(), !row.saved);
        if (row.saved) {
            const QString file = row.doc == Doc::Named ? path("doc.html") : path("saved.html");
            EXPECT_EQ(readFile(file), text.toUtf8());
            EXPECT_EQ(form->CurrentFileName(), file);
        } else {
            EXPECT_EQ(form->CurrentFileName(), name);
        }
        chooser->close();
        ASSERT_TRUE(form->isEnabled());
    }
}

class SaveAs : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        form->HTML1Click();
        type("text");
    }
    void saveAs(const QString& name, int filter, std::deque<Answer> answers = {})
    {
        dialogs().log.clear();
        dialogs().saveAnswers = {{name, filter}};
        dialogs().questionAnswers = answers;
        form->N4Click();
    }
};

TEST_F(SaveAs, FilterEntryChoosesTheExtension)
{
    const struct
    {
        const char* name;
        int filter;
        const char* written;
    } cases[] = {
        {"a", 1, "a.html"},
        {"b", 2, "b.htm"},
        {"page.html", 1, "page.html"},
        {"page2.HTML", 2, "page2.HTML"},
        {"old.htm", 1, "old.htm"},
        {"notes.txt", 1, "notes.txt.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        saveAs(path(c.name), c.filter);
        EXPECT_EQ(readFile(path(c.written)), "text");
        EXPECT_EQ(form->CurrentFileName(), path(c.written));
        EXPECT_EQ(form->windowTitle(), path(c.written) + " - Pagewrighter");
        EXPECT_EQ(form->statusPanelText(1), path(c.written));
        EXPECT_TRUE(dialogs().logOf("question").isEmpty());
    }
    EXPECT_EQ(dialogs().lastFilters, (QStringList{"HTML (*.html)", "HTM (*.htm)"}));
}

TEST_F(SaveAs, DialogKeepsNameAndFilterEntry)
{
    saveAs(path("first"), 2);
    dialogs().log.clear();
    form->N4Click(); // no scripted answer: cancelled
    EXPECT_EQ(dialogs().log, QStringList{"save " + path("first") + "|2"});
    EXPECT_EQ(form->CurrentFileName(), path("first.htm"));
}

TEST_F(SaveAs, ExistingFilesAreReplacedOnlyAfterYes)
{
    const struct
    {
        const char* existing;
        const char* typed;
        int filter;
        Answer answer;
        bool written;
    } cases[] = {
        {"exact", "exact", 1, Answer::Yes, true}, // no extension added to an existing name
        {"exact", "exact", 1, Answer::No, false},
        {"exact", "exact", 1, Answer::Cancel, false},
        {"with.html", "with", 1, Answer::Yes, true}, // only the name plus extension exists
        {"with.html", "with", 1, Answer::No, false},
        {"with.htm", "with", 2, Answer::Cancel, false},
        {"page.html", "page.html", 1, Answer::Yes, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " " + std::to_string(int(c.answer)));
        writeFile(path(c.existing), "before");
        const QString titleBefore = form->windowTitle();
        const QString nameBefore = form->CurrentFileName();
        saveAs(path(c.typed), c.filter, {c.answer});
        EXPECT_EQ(dialogs().logOf("question"), QStringList{ReplaceQuestion});
        EXPECT_EQ(readFile(path(c.existing)), c.written ? "text" : "before");
        EXPECT_EQ(form->CurrentFileName(), c.written ? path(c.existing) : nameBefore);
        if (!c.written) {
            EXPECT_EQ(form->windowTitle(), titleBefore);
        }
        QFile::remove(path(c.existing));
    }
}

} // namespace
