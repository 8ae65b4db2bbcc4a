#pragma once

#include "templates/TemplateComposer.h"

#include <QByteArray>
#include <functional>
#include <vector>

// Settings and the exact file content they must give, shared by the composition and the file
// tests. Expected contents are ASCII, so their bytes in the file are the same characters.
struct TemplateCase
{
    const char* name;
    std::function<void(TemplateSettings&)> set;
    QByteArray expected;
};

inline TemplateSettings settingsFor(const TemplateCase& c)
{
    TemplateSettings settings;
    c.set(settings);
    return settings;
}

inline const std::vector<TemplateCase>& templateCases()
{
    static const std::vector<TemplateCase> cases = {
        {"EveryOptionOn",
         [](TemplateSettings& s) {
             s.head = s.description = s.keywords = s.title = s.body = s.colors = s.comment = true;
             s.descriptionText = "d";
             s.keywordsText = "k";
             s.bodyText = "t";
             s.commentText = "c";
         },
         "<!--c-->\r\n"
         "<HTML>\r\n"
         "<HEAD>\r\n"
         "<META NAME=\"description\" CONTENT=\"d\">\r\n"
         "<META NAME=\"keywords\" CONTENT=\"k\">\r\n"
         "<TITLE>Untitled Document</TITLE>\r\n"
         "</HEAD>\r\n"
         "<BODY bgcolor=#FFFFFF text=#000000 link=#0000FF vlink=#0000FF alink=#0000FF >\r\n"
         "t\r\n"
         "</BODY>\r\n"
         "</HTML>"},
        {"EveryOptionOff", [](TemplateSettings&) {}, ""},
        {"HeadElementsWithoutHead",
         [](TemplateSettings& s) {
             s.description = s.keywords = s.title = true;
             s.descriptionText = "d";
         },
         ""},
        {"CommentOnly",
         [](TemplateSettings& s) {
             s.comment = true;
             s.commentText = "x";
         },
         "<!--x-->\r\n"},
        {"MultiLineComment",
         [](TemplateSettings& s) {
             s.comment = true;
             s.commentText = "a\nb";
         },
         "<!--a\r\nb-->\r\n"},
        {"HeadOnly", [](TemplateSettings& s) { s.head = true; },
         "<HTML>\r\n<HEAD>\r\n</HEAD>\r\n</HTML>"},
        {"HeadWithTitleOnly",
         [](TemplateSettings& s) {
             s.head = s.title = true;
             s.titleText = "My page";
         },
         "<HTML>\r\n<HEAD>\r\n<TITLE>My page</TITLE>\r\n</HEAD>\r\n</HTML>"},
        {"ColoursOnlyAtDefaults", [](TemplateSettings& s) { s.colors = true; },
         "<BODY bgcolor=#FFFFFF text=#000000 link=#0000FF vlink=#0000FF alink=#0000FF >\r\n"
         "</BODY>\r\n"},
        {"ChosenColoursRedFirst",
         [](TemplateSettings& s) {
             s.colors = true;
             s.background = QColor(10, 0, 171);
             s.text = QColor(255, 128, 0);
             s.link = QColor(1, 2, 3);
             s.visitedLink = QColor(16, 32, 48);
             s.activeLink = QColor(254, 253, 252);
         },
         "<BODY bgcolor=#0A00AB text=#FF8000 link=#010203 vlink=#102030 alink=#FEFDFC >\r\n"
         "</BODY>\r\n"},
        {"BodyWithoutFinalLineEnd",
         [](TemplateSettings& s) {
             s.body = true;
             s.bodyText = "one\ntwo";
         },
         "<BODY>\r\none\r\ntwo\r\n</BODY>\r\n"},
        {"BodyWithFinalLineEnd",
         [](TemplateSettings& s) {
             s.body = true;
             s.bodyText = "t\n";
         },
         "<BODY>\r\nt\r\n\r\n</BODY>\r\n"},
        {"EmptyBody", [](TemplateSettings& s) { s.body = true; }, "<BODY>\r\n\r\n</BODY>\r\n"},
        {"BodyAndColours",
         [](TemplateSettings& s) {
             s.body = s.colors = true;
             s.bodyText = "t";
         },
         "<BODY bgcolor=#FFFFFF text=#000000 link=#0000FF vlink=#0000FF alink=#0000FF >\r\n"
         "t\r\n</BODY>\r\n"},
        {"HeadOffBodyOnWithComment",
         [](TemplateSettings& s) {
             s.body = s.comment = true;
             s.bodyText = "t";
             s.commentText = "c";
             s.description = s.title = true;
         },
         "<!--c-->\r\n<BODY>\r\nt\r\n</BODY>\r\n"},
        {"QuotesEscapedOnlyInsideContent",
         [](TemplateSettings& s) {
             s.head = s.description = s.keywords = s.title = s.body = true;
             s.descriptionText = "say \"hi\"";
             s.keywordsText = "\"a\", <b> & c";
             s.titleText = "\"T\" & <t>";
             s.bodyText = "<p class=\"x\">&amp;</p>";
         },
         "<HTML>\r\n<HEAD>\r\n"
         "<META NAME=\"description\" CONTENT=\"say &quot;hi&quot;\">\r\n"
         "<META NAME=\"keywords\" CONTENT=\"&quot;a&quot;, <b> & c\">\r\n"
         "<TITLE>\"T\" & <t></TITLE>\r\n"
         "</HEAD>\r\n"
         "<BODY>\r\n<p class=\"x\">&amp;</p>\r\n</BODY>\r\n"
         "</HTML>"},
    };
    return cases;
}
