#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

CommandLine::CommandLine()
{
    parser_.setApplicationDescription(QStringLiteral(
        "Pagewright — редактор HTML-страниц: исходный текст и просмотр страницы в одном окне."));
    parser_.addHelpOption();
    parser_.addVersionOption();
    parser_.addOption(highlightOption_);
    parser_.addPositionalArgument(QStringLiteral("ФАЙЛ"),
                                  QStringLiteral("HTML-документ, который открыть при запуске."),
                                  QStringLiteral("[ФАЙЛ]"));
}

void CommandLine::process(const QCoreApplication& app)
{
    parser_.process(app);
    if (!checkArguments()) {
        std::fprintf(stderr, "%s\n", qPrintable(error_));
        std::exit(2);
    }
}

bool CommandLine::parse(const QStringList& arguments)
{
    if (!parser_.parse(arguments)) {
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
