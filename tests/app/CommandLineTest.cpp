// The command line: at most one file, named absolutely or relative to the current directory, and
// opened at start-up as Open opens a file.
#include "app/CommandLine.h"
#include "document/DocumentFile.h"
#include "support/ProgramFixture.h"

#include <QDir>

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

} // namespace
