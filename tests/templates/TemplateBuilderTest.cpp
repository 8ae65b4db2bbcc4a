#include "templates/TemplateBuilder.h"
#include "support/FakePlatform.h"
#include "templates/TemplateStore.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TemplateBuilderTest : public ::testing::Test
{
protected:
    FakePlatform platform;
    QWidget mainWindow;
    QTemporaryDir directory;
    TForm4 form{platform, mainWindow, directory.path()};

    template <class T = QWidget> T* child(const char* name)
    {
        T* found = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Whether the control itself is available, apart from its group.
    bool ownEnabled(const QString& name)
    {
        QWidget* control = child(name.toLatin1());
        return control->isEnabledTo(control->parentWidget());
    }
    QCheckBox* box(const char* name) { return child<QCheckBox>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QLabel* label(const char* name) { return child<QLabel>(name); }

    // The number of the one page that is shown; 0 when none or several are.
    int shownPage()
    {
        int shown = 0;
        for (int page = 1; page <= 5; ++page) {
            if (child(QStringLiteral("Page%1").arg(page).toLatin1())->isVisibleTo(&form)) {
                if (shown)
                    return 0;
                shown = page;
            }
        }
        return shown;
    }

    // The captions of the shown page's buttons, left to right.
    QStringList shownButtons()
    {
        QList<QPushButton*> buttons;
        for (QPushButton* b : form.findChildren<QPushButton*>())
            if (b->isVisibleTo(&form) && b->y() > 300)
                buttons << b;
        std::sort(buttons.begin(), buttons.end(),
                  [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
        QStringList captions;
        for (QPushButton* b : buttons)
            captions << b->text().remove(QLatin1Char('&'));
        return captions;
    }

    void open()
    {
        form.OpenOverMainWindow();
        ASSERT_TRUE(form.isVisible());
    }

    void goToPage(int page)
    {
        const char* next[] = {"Button1", "Button2", "Button3", "Button9"};
        for (int p = shownPage(); p < page; ++p)
            button(next[p - 1])->click();
        ASSERT_EQ(shownPage(), page);
    }

    QColor previewColor(const char* name, QPalette::ColorRole role)
    {
        return child(name)->palette().color(role);
    }

    QByteArray fileBytes(const QString& name)
    {
        QFile file(directory.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
};

struct ColorGroupCase
{
    const char* defaultBox;
    const char* chooseButton;
    const char* label;
    const char* preview;
    QPalette::ColorRole role;
    QColor defaultColor;
    const char* defaultText;
    QColor TemplateSettings::*setting;
};

const ColorGroupCase colorGroups[] = {
    {"CheckBox7", "Button4", "Label1", "Panel4", QPalette::Window, QColor(255, 255, 255),
     "R:255 G:255 B:255", &TemplateSettings::background},
    {"CheckBox8", "Button5", "Label2", "Label6", QPalette::WindowText, QColor(0, 0, 0),
     "R:0 G:0 B:0", &TemplateSettings::text},
    {"CheckBox9", "Button6", "Label3", "Label7", QPalette::WindowText, QColor(0, 0, 255),
     "R:0 G:0 B:255", &TemplateSettings::link},
    {"CheckBox10", "Button7", "Label4", "Label8", QPalette::WindowText, QColor(0, 0, 255),
     "R:0 G:0 B:255", &TemplateSettings::visitedLink},
    {"CheckBox11", "Button8", "Label5", "Label9", QPalette::WindowText, QColor(0, 0, 255),
     "R:0 G:0 B:255", &TemplateSettings::activeLink},
};

} // namespace

TEST_F(TemplateBuilderTest, WindowIsAFixedStayOnTopWindow)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Создание шаблона"));
    EXPECT_TRUE(form.isWindow());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.minimumSize(), QSize(527, 354));
    EXPECT_EQ(form.maximumSize(), QSize(527, 354));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(TemplateBuilderTest, InitialState)
{
    for (const char* name : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5",
                             "CheckBox6", "CheckBox12"})
        EXPECT_FALSE(box(name)->isChecked()) << name;
    for (const char* name : {"GroupBox1", "Edit1", "Edit2", "Edit3", "RichEdit1", "RichEdit2",
                             "GroupBox3", "GroupBox4", "GroupBox5", "GroupBox6", "GroupBox7"})
        EXPECT_FALSE(child(name)->isEnabled()) << name;
    for (const ColorGroupCase& g : colorGroups) {
        EXPECT_TRUE(box(g.defaultBox)->isChecked()) << g.defaultBox;
        EXPECT_FALSE(button(g.chooseButton)->isEnabled()) << g.chooseButton;
        EXPECT_EQ(label(g.label)->text(), QString::fromLatin1(g.defaultText)) << g.label;
        EXPECT_EQ(previewColor(g.preview, g.role), g.defaultColor) << g.preview;
    }
    EXPECT_EQ(child<QLineEdit>("Edit3")->text(), QStringLiteral("Untitled Document"));
    for (const char* name : {"Edit1", "Edit2", "Edit3"})
        EXPECT_EQ(child<QLineEdit>(name)->maxLength(), 250) << name;
    EXPECT_EQ(child<QLineEdit>("Edit4")->text(), QStringLiteral("Шаблон1"));
    EXPECT_EQ(child<QLineEdit>("Edit4")->maxLength(), 200);
    EXPECT_TRUE(button("Button17")->isEnabled());
    EXPECT_EQ(
        child<QPlainTextEdit>("Memo1")->toPlainText().split(QLatin1Char('\n')),
        (QStringList{"Данный шаблон позволяет создовать новые ",
                     "документы, не повторяя некоторые стандартные",
                     "процедуры создания HTML кода. ", "Все установки будут включены в код HTML.",
                     "", "Создавать документы по шаблону можно ",
                     "воспользовавшись главным окном редактора,",
                     "выбрав  меню \"Файл\"-->\"Новый\"-->\"По шаблону...\""}));

    // What Done would write as the builder starts: nothing at all, under "Шаблон1".
    const TemplateSettings settings = form.CurrentSettings();
    EXPECT_EQ(ComposeTemplate(settings), QString());
    EXPECT_EQ(settings.name, QStringLiteral("Шаблон1"));
}

TEST_F(TemplateBuilderTest, PagesInOrderWithTheirButtons)
{
    open();
    const QStringList back = {"< Назад", "Далее >", "Отмена"};
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(shownButtons(), (QStringList{"Далее >", "Отмена"}));
    button("Button1")->click();
    EXPECT_EQ(shownPage(), 2);
    EXPECT_EQ(shownButtons(), back);
    button("Button2")->click();
    EXPECT_EQ(shownPage(), 3);
    EXPECT_EQ(shownButtons(), back);
    button("Button3")->click();
    EXPECT_EQ(shownPage(), 4);
    EXPECT_EQ(shownButtons(), back);
    button("Button9")->click();
    EXPECT_EQ(shownPage(), 5);
    EXPECT_EQ(shownButtons(), (QStringList{"Готово", "Отмена"}));

    form.SetPageVisible(5, false);
    form.SetPageVisible(4, true);
    button("Button13")->click();
    EXPECT_EQ(shownPage(), 3);
    button("Button15")->click();
    EXPECT_EQ(shownPage(), 2);
    button("Button11")->click();
    EXPECT_EQ(shownPage(), 1);
}

TEST_F(TemplateBuilderTest, EveryShowingStartsOnPageOneWithTheSettingsKept)
{
    open();
    box("CheckBox1")->setChecked(true);
    box("CheckBox2")->setChecked(true);
    child<QLineEdit>("Edit1")->setText("about");
    goToPage(2);
    box("CheckBox5")->setChecked(true);
    child<QPlainTextEdit>("RichEdit1")->setPlainText("body\ntext");
    goToPage(3);
    box("CheckBox6")->setChecked(true);
    box("CheckBox8")->setChecked(false);
    platform.fakeDialogs.colorAnswers.push_back(QColor(1, 2, 3));
    button("Button5")->click();
    goToPage(5);
    child<QLineEdit>("Edit4")->setText("mine");
    const TemplateSettings before = form.CurrentSettings();

    button("Button18")->click();
    EXPECT_FALSE(form.isVisible());
    open();

    EXPECT_EQ(shownPage(), 1);
    const TemplateSettings after = form.CurrentSettings();
    EXPECT_EQ(ComposeTemplate(after), ComposeTemplate(before));
    EXPECT_EQ(after.name, QStringLiteral("mine"));
    EXPECT_EQ(after.text, QColor(1, 2, 3));
    EXPECT_TRUE(child("Edit1")->isEnabled());
    EXPECT_TRUE(button("Button5")->isEnabled());
}

TEST_F(TemplateBuilderTest, DoneIsAvailableExactlyWhileThereIsAName)
{
    QLineEdit* name = child<QLineEdit>("Edit4");
    name->clear();
    EXPECT_FALSE(button("Button17")->isEnabled());
    name->setText(" ");
    EXPECT_TRUE(button("Button17")->isEnabled());
    name->clear();
    name->setText("x");
    EXPECT_TRUE(button("Button17")->isEnabled());
}

TEST_F(TemplateBuilderTest, OptionBoxesMakeTheirControlsAvailableWithoutClearingThem)
{
    const struct
    {
        const char* box;
        QStringList controls;
    } options[] = {
        {"CheckBox1", {"GroupBox1"}},
        {"CheckBox2", {"Edit1"}},
        {"CheckBox3", {"Edit2"}},
        {"CheckBox4", {"Edit3"}},
        {"CheckBox5", {"RichEdit1"}},
        {"CheckBox6", {"GroupBox3", "GroupBox4", "GroupBox5", "GroupBox6", "GroupBox7"}},
        {"CheckBox12", {"RichEdit2"}},
    };
    child<QPlainTextEdit>("RichEdit2")->setPlainText("kept");
    for (const auto& option : options) {
        SCOPED_TRACE(option.box);
        box(option.box)->setChecked(true);
        for (const QString& control : option.controls)
            EXPECT_TRUE(ownEnabled(control)) << control.toStdString();
        box(option.box)->setChecked(false);
        for (const QString& control : option.controls)
            EXPECT_FALSE(ownEnabled(control)) << control.toStdString();
    }
    EXPECT_EQ(child<QPlainTextEdit>("RichEdit2")->toPlainText(), QStringLiteral("kept"));
    EXPECT_EQ(child<QLineEdit>("Edit3")->text(), QStringLiteral("Untitled Document"));
}

TEST_F(TemplateBuilderTest, HeadElementsCountOnlyWhileHeadIsTicked)
{
    box("CheckBox2")->setChecked(true);
    child<QLineEdit>("Edit1")->setText("d");
    EXPECT_EQ(ComposeTemplate(form.CurrentSettings()), QString());
    box("CheckBox1")->setChecked(true);
    EXPECT_TRUE(ComposeTemplate(form.CurrentSettings())
                    .contains(QStringLiteral("<META NAME=\"description\" CONTENT=\"d\">")));
    EXPECT_TRUE(child("Edit1")->isEnabled());
}

TEST_F(TemplateBuilderTest, ColourGroupsFollowTheirDefaultBoxAndTheDialog)
{
    box("CheckBox6")->setChecked(true);
    int answer = 0;
    for (const ColorGroupCase& g : colorGroups) {
        SCOPED_TRACE(g.defaultBox);
        // Unticking only offers the choice.
        box(g.defaultBox)->setChecked(false);
        EXPECT_TRUE(button(g.chooseButton)->isEnabled());
        EXPECT_EQ(label(g.label)->text(), QString::fromLatin1(g.defaultText));
        EXPECT_EQ(previewColor(g.preview, g.role), g.defaultColor);
        EXPECT_EQ(form.CurrentSettings().*g.setting, g.defaultColor);

        // A chosen colour shows at once in the label, the preview and the settings.
        const QColor chosen(10 + answer, 128, 171 - answer);
        ++answer;
        platform.fakeDialogs.colorAnswers.push_back(chosen);
        button(g.chooseButton)->click();
        EXPECT_EQ(label(g.label)->text(), ColorLabelText(chosen));
        EXPECT_EQ(previewColor(g.preview, g.role), chosen);
        EXPECT_EQ(form.CurrentSettings().*g.setting, chosen);

        // Cancelling the dialog keeps the colour.
        platform.fakeDialogs.colorAnswers.push_back(std::nullopt);
        button(g.chooseButton)->click();
        EXPECT_EQ(form.CurrentSettings().*g.setting, chosen);
        EXPECT_EQ(label(g.label)->text(), ColorLabelText(chosen));

        // Ticking the default again brings the default back.
        box(g.defaultBox)->setChecked(true);
        EXPECT_FALSE(button(g.chooseButton)->isEnabled());
        EXPECT_EQ(label(g.label)->text(), QString::fromLatin1(g.defaultText));
        EXPECT_EQ(previewColor(g.preview, g.role), g.defaultColor);
        EXPECT_EQ(form.CurrentSettings().*g.setting, g.defaultColor);
    }
    EXPECT_EQ(platform.fakeDialogs.logOf("color").size(), 10);
}

TEST_F(TemplateBuilderTest, TheSharedDialogStartsWhiteAndKeepsTheLastChoice)
{
    box("CheckBox6")->setChecked(true);
    box("CheckBox8")->setChecked(false);
    box("CheckBox9")->setChecked(false);
    platform.fakeDialogs.colorAnswers.push_back(QColor(255, 128, 0));
    button("Button5")->click();
    EXPECT_EQ(platform.fakeDialogs.lastColorShown, QColor(255, 255, 255));
    platform.fakeDialogs.colorAnswers.push_back(std::nullopt);
    button("Button6")->click();
    EXPECT_EQ(platform.fakeDialogs.lastColorShown, QColor(255, 128, 0));
    EXPECT_EQ(form.CurrentSettings().link, QColor(0, 0, 255));
}

TEST_F(TemplateBuilderTest, ChosenColoursAreWrittenOnlyWhileColoursIsTicked)
{
    box("CheckBox6")->setChecked(true);
    box("CheckBox7")->setChecked(false);
    platform.fakeDialogs.colorAnswers.push_back(QColor(10, 0, 171));
    button("Button4")->click();
    box("CheckBox6")->setChecked(false);
    EXPECT_EQ(ComposeTemplate(form.CurrentSettings()), QString());
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("R:10 G:0 B:171"));
    box("CheckBox6")->setChecked(true);
    EXPECT_TRUE(ComposeTemplate(form.CurrentSettings()).startsWith("<BODY bgcolor=#0A00AB "));
}

TEST_F(TemplateBuilderTest, MainWindowIsDisabledWhileShownAndEnabledAfterEveryClose)
{
    const struct
    {
        int page;
        const char* button;
    } closers[] = {{1, "Button10"}, {2, "Button12"}, {3, "Button14"}, {4, "Button16"},
                   {5, "Button18"}, {5, "Button17"}, {1, nullptr},    {3, nullptr}};
    for (const auto& closer : closers) {
        SCOPED_TRACE(closer.button ? closer.button : "close button");
        open();
        EXPECT_FALSE(mainWindow.isEnabled());
        goToPage(closer.page);
        if (closer.button)
            button(closer.button)->click();
        else
            form.close();
        EXPECT_FALSE(form.isVisible());
        EXPECT_TRUE(mainWindow.isEnabled());
    }
}

TEST_F(TemplateBuilderTest, DoneWritesEveryPageIncludingUnvisitedOnesAndCloses)
{
    box("CheckBox12")->setChecked(true);
    child<QPlainTextEdit>("RichEdit2")->setPlainText("c");
    box("CheckBox5")->setChecked(true);
    child<QPlainTextEdit>("RichEdit1")->setPlainText("t\n");
    child<QLineEdit>("Edit4")->setText("full");
    open();
    goToPage(5);
    button("Button17")->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(fileBytes("full.sbl"), QByteArray("<!--c-->\r\n<BODY>\r\nt\r\n\r\n</BODY>\r\n"));
    EXPECT_TRUE(platform.fakeDialogs.log.isEmpty());

    // Again without a change: the same file again, silently.
    open();
    goToPage(5);
    button("Button17")->click();
    EXPECT_EQ(fileBytes("full.sbl"), QByteArray("<!--c-->\r\n<BODY>\r\nt\r\n\r\n</BODY>\r\n"));
    EXPECT_TRUE(platform.fakeDialogs.log.isEmpty());
}

TEST_F(TemplateBuilderTest, RefusedNameWritesNothingAndStaysOnPageFive)
{
    for (const char* name : {"../up", "sub/x", "a\\b", ".", "..", ".hidden"}) {
        SCOPED_TRACE(name);
        platform.fakeDialogs.log.clear();
        open();
        goToPage(5);
        child<QLineEdit>("Edit4")->setText(QString::fromLatin1(name));
        button("Button17")->click();
        ASSERT_EQ(platform.fakeDialogs.logOf("message").size(), 1);
        EXPECT_TRUE(platform.fakeDialogs.log.first().contains(QString::fromLatin1(name)));
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(shownPage(), 5);
        EXPECT_FALSE(mainWindow.isEnabled());
        form.close();
    }
    EXPECT_TRUE(QDir(directory.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    QDir parent(directory.path());
    parent.cdUp();
    EXPECT_FALSE(parent.exists("up.sbl"));
}

TEST_F(TemplateBuilderTest, FailedWriteIsReportedAndTheBuilderStaysOpen)
{
    TForm4 elsewhere{platform, mainWindow, directory.filePath("missing")};
    elsewhere.OpenOverMainWindow();
    for (const char* next : {"Button1", "Button2", "Button3", "Button9"})
        elsewhere.findChild<QPushButton*>(next)->click();
    elsewhere.findChild<QPushButton*>("Button17")->click();
    EXPECT_EQ(platform.fakeDialogs.logOf("error").size(), 1);
    EXPECT_TRUE(elsewhere.isVisible());
    EXPECT_TRUE(elsewhere.findChild<QWidget*>("Page5")->isVisibleTo(&elsewhere));
    EXPECT_FALSE(mainWindow.isEnabled());
    elsewhere.close();
    EXPECT_TRUE(mainWindow.isEnabled());
}
