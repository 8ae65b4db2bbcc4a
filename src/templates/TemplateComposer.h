#pragma once

#include <QColor>
#include <QString>

// Everything a template is made of, as the builder holds it. Multi-line texts use '\n' between
// lines (a final '\n' is a line end the user typed after the last line).
struct TemplateSettings
{
    bool head = false;
    bool description = false;
    QString descriptionText;
    bool keywords = false;
    QString keywordsText;
    bool title = false;
    QString titleText = QStringLiteral("Untitled Document");
    bool body = false;
    QString bodyText;
    bool colors = false;
    QColor background = defaultBackground();
    QColor text = defaultText();
    QColor link = defaultLink();
    QColor visitedLink = defaultLink();
    QColor activeLink = defaultLink();
    bool comment = false;
    QString commentText;
    QString name = QStringLiteral("Шаблон1");

    static QColor defaultBackground() { return QColor(255, 255, 255); }
    static QColor defaultText() { return QColor(0, 0, 0); }
    static QColor defaultLink() { return QColor(0, 0, 255); }
};

// The six-character colour text of an HTML colour attribute: red, green, blue ("0A00AB").
QString templateColorText(const QColor& color);

// The template's text: the comment, the head, the body and the closing </HTML>, each only where
// its option asks for it. Every line end is CR LF, and nothing follows the closing </HTML>.
// Quotation marks in the description and keywords become &quot; so that their CONTENT attribute
// stays whole; everything else the user typed is copied unchanged.
QString ComposeTemplate(const TemplateSettings& settings);
