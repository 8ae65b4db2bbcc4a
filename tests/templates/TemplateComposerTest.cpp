#include "templates/TemplateCases.h"

#include <gtest/gtest.h>

TEST(TemplateComposerTest, ComposesEveryCaseExactly)
{
    for (const TemplateCase& c : templateCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ComposeTemplate(settingsFor(c)).toLatin1(), c.expected);
    }
}

TEST(TemplateComposerTest, KnownSizes)
{
    const auto sizeOf = [](const char* name) {
        for (const TemplateCase& c : templateCases())
            if (QByteArray(c.name) == name)
                return ComposeTemplate(settingsFor(c)).size();
        return qsizetype(-1);
    };
    EXPECT_EQ(sizeOf("CommentOnly"), 10);
    EXPECT_EQ(sizeOf("HeadOnly"), 32);
    EXPECT_EQ(sizeOf("ColoursOnlyAtDefaults"), 88);
    EXPECT_EQ(sizeOf("EveryOptionOff"), 0);
}

TEST(TemplateComposerTest, UserLineBreaksOfAnyFormBecomeCrLf)
{
    TemplateSettings settings;
    settings.body = true;
    settings.bodyText = QStringLiteral("a\r\nb\rc\nd");
    EXPECT_EQ(ComposeTemplate(settings),
              QStringLiteral("<BODY>\r\na\r\nb\r\nc\r\nd\r\n</BODY>\r\n"));
}

TEST(TemplateComposerTest, ColourTextIsRedGreenBlue)
{
    EXPECT_EQ(templateColorText(QColor(10, 0, 171)), QStringLiteral("0A00AB"));
    EXPECT_EQ(templateColorText(QColor(255, 128, 0)), QStringLiteral("FF8000"));
    EXPECT_EQ(templateColorText(QColor(0, 0, 0)), QStringLiteral("000000"));
}
