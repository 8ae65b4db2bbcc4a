// The command line: at most one file, named absolutely or relative to the current directory, and
// opened at start-up as Open opens a file.
#include "app/CommandLine.h"
#include "document/DocumentFile.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

// The current directory for the length of a test.
class CurrentDirectory
{
public:
    explicit CurrentDirectory(const QString& path) : saved_(QDir::currentPath())
    {
        QDir::setCurrent(path);
    }
    ~CurrentDirectory() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

using FileArgument = ProgramFixture;

TEST_F(FileArgument, ArgumentsGiveOneAbsoluteFile)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("pages"));
    const CurrentDirectory current(dir.path());
    const struct
    {
        QStringList arguments;
        bool accepted;
        QString file;
    } cases[] = {
        {{}, true, QString()},
        {{path("a.html")}, true, path("a.html")},
        {{"page.html"}, true, path("page.html")},
        {{"pages/../pages/b.htm"}, true, path("pages/b.htm")},
        {{"--", "-dash.html"}, true, path("-dash.html")},
        {{"a.html", "b.html"}, false, QString()},
        {{"--no-such-option"}, false, QString()},
        // The application object's own options are left to it, with their values.
        {{"-platform", "offscreen", "a.html"}, true, path("a.html")},
        {{"--style=fusion", "-reverse", "a.html", "-qwindowtitle", "b.html"}, true, path("a.html")},
        {{"-display", ":7", "--platformtheme", "x", "-stylesheet", "c.css"}, true, QString()},
        {{"-style", "fusion", "a.html", "b.html"}, false, QString()},
        {{"a.html", "-platform"}, false, QString()},
        {{"-platform=xcb"}, false, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        CommandLine commandLine;
        EXPECT_EQ(commandLine.parse(QStringList{"pagewright"} + c.arguments), c.accepted);
        EXPECT_EQ(commandLine.errorText().isEmpty(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(commandLine.documentFile(), c.file);
        }
    }
}

// What main does with the named file, on the wired program: the document opens as through the
// open dialog, or the message is shown and the program has no document.
TEST_F(FileArgument, NamedFileOpensAsOpenDoes)
{
    writeFile(path("page.html"), "<p>\xcf\xf0\xe8</p>");
    QFile big(path("big.html"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(maxDocumentBytes + 1)); // sparse: nothing is written
    big.close();
    const CurrentDirectory current(dir.path());
    const struct
    {
        const char* argument;
        bool opens;
        const char* reason; // part of the error message
    } cases[] = {
        {"page.html", true, ""},
        {"missing.html", false, "missing.html"},
        {"templates", false, "templates"},
        {"big.html", false, "велик"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        restart();
        CommandLine commandLine;
        ASSERT_TRUE(commandLine.parse({"pagewright", QString::fromUtf8(c.argument)}));
        dialogs().log.clear();

        form->openDocumentFile(commandLine.documentFile());

        if (c.opens) {
            EXPECT_TRUE(dialogs().log.isEmpty());
            EXPECT_EQ(form->CurrentFileName(), path(c.argument));
            EXPECT_EQ(form->windowTitle(), path(c.argument) + " - Pagewrighter");
            EXPECT_EQ(editor()->PlainText(), QStringLiteral("<p>При</p>"));
            EXPECT_TRUE(editor()->isEnabled());
            EXPECT_FALSE(editor()->Modified());
            EXPECT_EQ(preview()->calls, QStringList{"navigate " + path(c.argument)});
        } else {
            ASSERT_EQ(dialogs().logOf("error").size(), 1);
            EXPECT_TRUE(dialogs().logOf("error").first().contains(QString::fromUtf8(c.reason)));
            EXPECT_EQ(form->CurrentFileName(), QString());
            EXPECT_EQ(form->windowTitle(), QStringLiteral("Pagewright"));
            EXPECT_FALSE(editor()->isEnabled());
            EXPECT_TRUE(preview()->calls.isEmpty());
        }
        // The templates are still read from where the program was started.
        EXPECT_EQ(QDir::currentPath(), dir.path());
    }
}

struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The built program, started with `arguments` on a system with no display: the X platform, which
// cannot start there, is asked for.
ProgramRun runWithoutDisplay(const QStringList& arguments)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PAGEWRIGHT_PROGRAM), arguments);
    ProgramRun run;
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = program.exitCode();
    run.out = QString::fromUtf8(program.readAllStandardOutput());
    run.err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

// Help, version and a wrong command line are answered without a display: text on stdout and
// status 0, or the Russian message on stderr and status 2. Nothing about the web engine, which
// does not start.
TEST(CommandLineWithoutDisplay, AnswersInRussianWithTheExitStatus)
{
    const struct
    {
        QStringList arguments;
        int exitCode;
        const char* out; // part of stdout
        const char* err; // all of stderr
    } cases[] = {
        {{"--help"}, 0, "ФАЙЛ", ""},
        {{"-platform", "xcb", "-h"}, 0, "HTML-документ, который открыть при запуске.", ""},
        {{"--version"}, 0, "Pagewright " PAGEWRIGHT_VERSION, ""},
        {{"--bogus"}, 2, "", "pagewright: Неизвестный параметр «bogus».\n"},
        {{"a.html", "b.html"}, 2, "", "pagewright: Можно открыть только один файл.\n"},
        {{"a.html", "-platform"}, 2, "", "pagewright: Отсутствует значение после «-platform».\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProgramRun run = runWithoutDisplay(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(c.out))) << run.out.toStdString();
        EXPECT_EQ(run.err, QString::fromUtf8(c.err));
        if (c.exitCode != 0) {
            EXPECT_EQ(run.out, QString());
        }
    }
}

} // namespace
