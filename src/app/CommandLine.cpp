#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// The options that Qt's application objects take off the command line themselves, as they read
// them ("--platform" counts as "-platform"). `value`: whether the next argument is its value;
// `attached`: whether it also takes its value as "-style=fusion".
struct ToolkitOption
{
    const char* name;
    bool value;
    bool attached;
};

constexpr ToolkitOption toolkitOptions[] = {
    // QGuiApplication
    {"platform", true, false},
    {"platformpluginpath", true, false},
    {"platformtheme", true, false},
    {"plugin", true, false},
    {"qwindowgeometry", true, false},
    {"qwindowtitle", true, false},
    {"qwindowicon", true, false},
    {"session", true, false},
    {"reverse", false, false},
    // The X11 platform
    {"display", true, false},
    {"geometry", true, false},
    {"title", true, false},
    {"icon", true, false},
    {"name", true, false},
    {"visual", true, false},
    {"sync", false, false},
    {"nograb", false, false},
    {"dograb", false, false},
    // QApplication and QCoreApplication
    {"style", true, true},
    {"stylesheet", true, true},
    {"widgetcount", false, false},
    {"qmljsdebugger", false, true},
};

// The toolkit option `argument` is, or null.
const ToolkitOption* toolkitOption(QStringView argument, bool* attachedValue)
{
    if (argument.startsWith(u"--"))
        argument = argument.sliced(1);
    if (!argument.startsWith(u'-'))
        return nullptr;
    argument = argument.sliced(1);
    for (const ToolkitOption& option : toolkitOptions) {
        const QLatin1StringView name(option.name);
        if (argument == name) {
            *attachedValue = false;
            return &option;
        }
        if (option.attached && argument.startsWith(name) && argument.size() > name.size() &&
            argument[name.size()] == u'=') {
            *attachedValue = true;
            return &option;
        }
    }
    return nullptr;
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

CommandLine::CommandLine()
{
    parser_.setApplicationDescription(QStringLiteral(
        "Pagewright — редактор HTML-страниц: исходный текст и просмотр страницы в одном окне."));
    parser_.addHelpOption();
    parser_.addVersionOption();
    parser_.addOption(highlightOption_);
    parser_.addOption(spellOption_);
    parser_.addOption(livePreviewOption_);
    parser_.addPositionalArgument(QStringLiteral("ФАЙЛ"),
                                  QStringLiteral("HTML-документ, который открыть при запуске."),
                                  QStringLiteral("[ФАЙЛ]"));
}

void CommandLine::process(int argc, char** argv)
{
    const QStringList arguments = argumentsOf(argc, argv);
    static const QStringList textOptions = {"h", "?", "help", "help-all", "v", "version"};
    const bool parsed = parse(arguments);
    if (parsed && std::none_of(textOptions.begin(), textOptions.end(), [this](const QString& o) {
            return parser_.optionNames().contains(o);
        }))
        return;
    // Help, version or a wrong command line: Qt's part of the text is translated, which needs an
    // application object, though not one with a display, and a parser made after the translation
    // is in place.
    int textArgc = argc;
    QCoreApplication app(textArgc, argv);
    QTranslator qtTexts;
    installRussianQtTexts(app, qtTexts);
    CommandLine translated;
    if (translated.parse(arguments))
        translated.parser_.process(withoutToolkitOptions(arguments, nullptr)); // prints, ends
    std::fprintf(stderr, "pagewright: %s\n", qPrintable(translated.error_));
    std::exit(2);
}

bool CommandLine::parse(const QStringList& arguments)
{
    QString missingValue;
    const QStringList ours = withoutToolkitOptions(arguments, &missingValue);
    if (!missingValue.isEmpty()) {
        error_ = QCoreApplication::translate("QCommandLineParser", "Missing value after '%1'.")
                     .arg(missingValue);
        return false;
    }
    if (!parser_.parse(ours)) {
        error_ = parser_.errorText();
        return false;
    }
    return checkArguments();
}

bool CommandLine::checkArguments()
{
    if (parser_.positionalArguments().size() <= 1)
        return true;
    error_ = QStringLiteral("Можно открыть только один файл.");
    return false;
}

QString CommandLine::documentFile() const
{
    const QStringList files = parser_.positionalArguments();
    return files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();
}

QStringList CommandLine::withoutToolkitOptions(const QStringList& arguments, QString* missingValue)
{
    QStringList ours;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        bool attachedValue = false;
        const ToolkitOption* option = i > 0 ? toolkitOption(arguments[i], &attachedValue) : nullptr;
        if (!option) {
            ours << arguments[i];
        } else if (option->value && !attachedValue) {
            if (i + 1 < arguments.size())
                ++i;
            else if (missingValue)
                *missingValue = arguments[i];
        }
    }
    return ours;
}

void CommandLine::installRussianQtTexts(QCoreApplication& app, QTranslator& translator)
{
    if (translator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}
