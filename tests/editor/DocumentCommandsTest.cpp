// The document commands of the main window across the three document states.
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace {

enum class State { NoDocument, Untitled, UntitledModified, Named, NamedModified };
enum class Command { New, Open, Save, SaveAs, Close };

const char* stateName(State s)
{
    static const char* names[] = {"NoDocument", "Untitled", "UntitledModified", "Named",
                                  "NamedModified"};
    return names[int(s)];
}
const char* commandName(Command c)
{
    static const char* names[] = {"New", "Open", "Save", "SaveAs", "Close"};
    return names[int(c)];
}

// Placeholders in expectations: $DOC the named document, $OTHER the file the open dialog gives,
// $NEW the name the save dialog gives (without extension).
struct Row
{
    State state;
    Command command;
    QString title; // "" means the start-up caption
    QString panel0;
    QString panel1;
    bool modified;
    bool documentControlsEnabled;
    QStringList dialogLog;
    QMap<QString, QByteArray> files; // path placeholder -> content ("<missing>" for none)
    bool closed = false;
};

const QByteArray DocText = "<p>old</p>";
const QByteArray OtherText = "<p>other</p>";
const QString Untitled = QStringLiteral("НовыйHTML");
const QString UntitledTitle = QStringLiteral("НовыйHTML - Pagewrighter");
const QString Question =
    QStringLiteral("question Текущий документ содержит изменения. Сохранить его?");

std::vector<Row> rows()
{
    const QString M = QStringLiteral("Изменён");
    return {
        // No document: Save and Save As do nothing and show nothing.
        {State::NoDocument, Command::New, UntitledTitle, "", Untitled, false, true, {}, {}},
        {State::NoDocument,
         Command::Open,
         "$OTHER - Pagewrighter",
         "",
         "$OTHER",
         false,
         true,
         {"open |1"},
         {}},
        {State::NoDocument,
         Command::Save,
         "",
         "",
         "",
         false,
         false,
         {},
         {{"$NEW.html", "<missing>"}}},
        {State::NoDocument,
         Command::SaveAs,
         "",
         "",
         "",
         false,
         false,
         {},
         {{"$NEW.html", "<missing>"}}},
        {State::NoDocument, Command::Close, "", "", "", false, false, {}, {}, true},
        // Untitled and unchanged: no question anywhere; Save runs Save As.
        {State::Untitled, Command::New, UntitledTitle, "", Untitled, false, true, {}, {}},
        {State::Untitled,
         Command::Open,
         "$OTHER - Pagewrighter",
         "",
         "$OTHER",
         false,
         true,
         {"open |1"},
         {}},
        {State::Untitled,
         Command::Save,
         "$NEW.html - Pagewrighter",
         "",
         "$NEW.html",
         false,
         true,
         {"save |1"},
         {{"$NEW.html", ""}}},
        {State::Untitled,
         Command::SaveAs,
         "$NEW.html - Pagewrighter",
         "",
         "$NEW.html",
         false,
         true,
         {"save |1"},
         {{"$NEW.html", ""}}},
        {State::Untitled, Command::Close, UntitledTitle, "", Untitled, false, true, {}, {}, true},
        // Untitled with edits "abc": the question (answered No) guards New, Open and closing.
        {State::UntitledModified,
         Command::New,
         UntitledTitle,
         "",
         Untitled,
         false,
         true,
         {Question},
         {{"$NEW.html", "<missing>"}}},
        {State::UntitledModified,
         Command::Open,
         "$OTHER - Pagewrighter",
         "",
         "$OTHER",
         false,
         true,
         {Question, "open |1"},
         {}},
        {State::UntitledModified,
         Command::Save,
         "$NEW.html - Pagewrighter",
         "",
         "$NEW.html",
         false,
         true,
         {"save |1"},
         {{"$NEW.html", "abc"}}},
        {State::UntitledModified,
         Command::SaveAs,
         "$NEW.html - Pagewrighter",
         "",
         "$NEW.html",
         false,
         true,
         {"save |1"},
         {{"$NEW.html", "abc"}}},
        {State::UntitledModified,
         Command::Close,
         UntitledTitle,
         M,
         Untitled,
         true,
         true,
         {Question},
         {{"$NEW.html", "<missing>"}},
         true},
        // Named and unchanged: Save writes in place anyway; the open dialog remembers the name.
        {State::Named,
         Command::New,
         UntitledTitle,
         "",
         Untitled,
         false,
         true,
         {},
         {{"$DOC", DocText}}},
        {State::Named,
         Command::Open,
         "$OTHER - Pagewrighter",
         "",
         "$OTHER",
         false,
         true,
         {"open $DOC|1"},
         {}},
        {State::Named,
         Command::Save,
         "$DOC - Pagewrighter",
         "",
         "$DOC",
         false,
         true,
         {},
         {{"$DOC", DocText}}},
        {State::Named,
         Command::SaveAs,
         "$NEW.html - Pagewrighter",
         "",
         "$NEW.html",
         false,
         true,
         {"save |1"},
         {{"$NEW.html", DocText}, {"$DOC", DocText}}},
        {State::Named,
         Command::Close,
         "$DOC - Pagewrighter",
         "",
         "$DOC",
         false,
         true,
         {},
         {},
         true},
        // Named with the edit "X" in front.
        {State::NamedModified,
         Command::New,
         UntitledTitle,
         "",
         Untitled,
         false,
         true,
         {Question},
         {{"$DOC", DocText}}},
        {State::NamedModified,
         Command::Open,
         "$OTHER - Pagewrighter",
         "",
         "$OTHER",
         false,
         true,
         {Question, "open $DOC|1"},
         {{"$DOC", DocText}}},
        {State::NamedModified,
         Command::Save,
         "$DOC - Pagewrighter",
         "",
         "$DOC",
         false,
         true,
         {},
         {{"$DOC", "X" + DocText}}},
        {State::NamedModified,
         Command::SaveAs,
         "$NEW.html - Pagewrighter",
         "",
         "$NEW.html",
         false,
         true,
         {"save |1"},
         {{"$NEW.html", "X" + DocText}, {"$DOC", DocText}}},
        {State::NamedModified,
         Command::Close,
         "$DOC - Pagewrighter",
         M,
         "$DOC",
         true,
         true,
         {Question},
         {{"$DOC", DocText}},
         true},
    };
}

class DocumentStates : public MainWindowFixture
{
protected:
    QString expand(QString text) const
    {
        text.replace("$DOC", path("doc.html"));
        text.replace("$OTHER", path("other.html"));
        text.replace("$NEW", path("new"));
        return text;
    }

    void enter(State state)
    {
        dialogs().openAnswers.clear();
        dialogs().saveAnswers.clear();
        dialogs().questionAnswers.clear();
        writeFile(path("doc.html"), DocText);
        writeFile(path("other.html"), OtherText);
        switch (state) {
        case State::NoDocument:
            break;
        case State::Untitled:
        case State::UntitledModified:
            form->HTML1Click();
            if (state == State::UntitledModified)
                type("abc");
            break;
        case State::Named:
        case State::NamedModified:
            openThroughDialog(path("doc.html"));
            if (state == State::NamedModified) {
                editor()->SetSelStart(0);
                type("X");
            }
            break;
        }
        dialogs().log.clear();
    }

    bool run(Command command)
    {
        dialogs().questionAnswers = {Dialogs::Answer::No};
        dialogs().openAnswers = {{path("other.html"), 1}};
        dialogs().saveAnswers = {{path("new"), 1}};
        switch (command) {
        case Command::New:
            form->HTML1Click();
            break;
        case Command::Open:
            form->N3Click();
            break;
        case Command::Save:
            form->N7Click();
            break;
        case Command::SaveAs:
            form->N4Click();
            break;
        case Command::Close:
            return form->close();
        }
        return false;
    }
};

TEST_F(DocumentStates, EachCommandInEachState)
{
    for (const Row& row : rows()) {
        SCOPED_TRACE(std::string(stateName(row.state)) + " x " + commandName(row.command));
        form = std::make_unique<TForm1>(platform);
        platform.browsers.clear();
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        enter(row.state);

        const bool closed = run(row.command);

        EXPECT_EQ(closed, row.closed);
        EXPECT_EQ(form->windowTitle(),
                  row.title.isEmpty() ? QStringLiteral("Pagewright") : expand(row.title));
        EXPECT_EQ(form->statusPanelText(0), row.panel0);
        EXPECT_EQ(form->statusPanelText(1), expand(row.panel1));
        EXPECT_EQ(editor()->Modified(), row.modified);
        for (QObject* control : {(QObject*)editor(), (QObject*)action("N30"),
                                 (QObject*)action("N39"), (QObject*)button("SpeedButton8")})
            EXPECT_EQ(control->property("enabled").toBool(), row.documentControlsEnabled)
                << control->objectName().toStdString();
        QStringList expectedLog;
        for (const QString& entry : row.dialogLog)
            expectedLog << expand(entry);
        EXPECT_EQ(dialogs().log, expectedLog);
        for (auto it = row.files.begin(); it != row.files.end(); ++it)
            EXPECT_EQ(readFile(expand(it.key())), it.value()) << expand(it.key()).toStdString();
    }
}

} // namespace
