#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class QCoreApplication;
class QTranslator;

// The program's command line: pagewright [--help] [--version] [--highlight] [--spell]
// [--live-preview] [ФАЙЛ], with Russian texts. It is read before the application object
// exists, so a wrong command line, help and version need no display.
class CommandLine
{
public:
    CommandLine();

    // Reads the program's arguments. --help and --version print their text and end the program;
    // a wrong command line prints its message on stderr and ends it with exit status 2.
    void process(int argc, char** argv);
    // Reads `arguments` (the program's name first), leaving out the application object's own
    // options. Returns false, with errorText(), for a wrong command line.
    bool parse(const QStringList& arguments);
    QString errorText() const { return error_; }

    // The document named on the command line as an absolute path (a relative name counts from
    // the current directory); empty when none is named.
    QString documentFile() const;
    // --highlight: the editor colours HTML for this run.
    bool highlight() const { return parser_.isSet(highlightOption_); }
    // --spell: the editor underlines misspelt words for this run.
    bool spell() const { return parser_.isSet(spellOption_); }
    // --live-preview: the preview follows the text as it is typed, for this run.
    bool livePreview() const { return parser_.isSet(livePreviewOption_); }

    // `arguments` without the options that Qt's application object takes for itself (-platform
    // xcb, -style=fusion, -reverse, ...) and their values; `missingValue` is set to an option of
    // Qt's that comes last without the value it needs.
    static QStringList withoutToolkitOptions(const QStringList& arguments, QString* missingValue);

    // Qt's own texts (standard dialogs, the command line's help and errors) in Russian, as the rest
    // of the program speaks; `translator` must live as long as the application object.
    static void installRussianQtTexts(QCoreApplication& app, QTranslator& translator);

private:
    bool checkArguments();

    QCommandLineParser parser_;
    QCommandLineOption highlightOption_{QStringLiteral("highlight"),
                                        QStringLiteral("Подсветка синтаксиса HTML в редакторе.")};
    QCommandLineOption spellOption_{QStringLiteral("spell"),
                                    QStringLiteral("Проверка орфографии текста страницы.")};
    QCommandLineOption livePreviewOption_{
        QStringLiteral("live-preview"),
        QStringLiteral("Живой просмотр: страница меняется по мере набора, без сохранения.")};
    QString error_;
};
