#pragma once

#include <QCommandLineParser>
#include <QString>

class QCoreApplication;

// The program's command line: pagewright [--help] [--version] [--highlight] [ФАЙЛ], with
// Russian texts.
class CommandLine
{
public:
    CommandLine();

    // Reads the application's arguments (after the application object took its own). --help,
    // --version and a wrong command line print their text and end the program.
    void process(const QCoreApplication& app);
    // Reads `arguments` (the program's name first). Returns false, with errorText(), for a wrong
    // command line.
    bool parse(const QStringList& arguments);
    QString errorText() const { return error_; }

    // The document named on the command line as an absolute path (a relative name counts from
    // the current directory); empty when none is named.
    QString documentFile() const;
    // --highlight: the editor colours HTML for this run.
    bool highlight() const { return parser_.isSet(highlightOption_); }

private:
    bool checkArguments();

    QCommandLineParser parser_;
    QCommandLineOption highlightOption_{QStringLiteral("highlight"),
                                        QStringLiteral("Подсветка синтаксиса HTML в редакторе.")};
    QString error_;
};
