#include "templates/TemplateChooser.h"
#include "support/MainWindowFixture.h"
#include "templates/ScopedEnv.h"
#include "templates/TemplateBuilder.h"
#include "templates/TemplateStore.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class TemplateChooserTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkpath("templates/sub.sbl"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("home/share"));
        templates = dir.filePath("templates");
        chooser = std::make_unique<TForm3>(platform, *form, templates);
        // As the program wires them.
        QObject::connect(chooser.get(), &TForm3::templateChosen, form.get(),
                         &TForm1::StartDocumentFromTemplate);
    }

    void TearDown() override
    {
        chooser.reset();
        QCoreApplication::processEvents();
    }

    QListWidget* list() { return chooser->findChild<QListWidget*>("FileListBox1"); }
    QPushButton* chooserButton(const char* name) { return chooser->findChild<QPushButton*>(name); }
    QStringList listed()
    {
        QStringList names;
        for (int row = 0; row < list()->count(); ++row)
            names << list()->item(row)->text();
        return names;
    }
    bool buttonsAvailable()
    {
        const bool done = chooserButton("Button1")->isEnabled();
        EXPECT_EQ(chooserButton("Button3")->isEnabled(), done);
        return done;
    }
    void addTemplate(const QString& name, const QByteArray& bytes = "x")
    {
        writeFile(QDir(templates).filePath(name), bytes);
    }
    // Selects an entry as the user does, with a click on it.
    void clickEntry(const QString& name)
    {
        const QList<QListWidgetItem*> items = list()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(items.first()).center());
        ASSERT_EQ(chooser->SelectedTemplatePath(), QDir(templates).filePath(name));
    }
    void activate(QWidget& window)
    {
        window.activateWindow();
        QCoreApplication::processEvents();
    }

    QString templates;
    std::unique_ptr<TForm3> chooser;
    // Deleted templates go to a trash of the test's own.
    ScopedEnv home{"HOME", dir.filePath("home").toLocal8Bit()};
    ScopedEnv dataHome{"XDG_DATA_HOME", dir.filePath("home/share").toLocal8Bit()};
};

} // namespace

TEST_F(TemplateChooserTest, WindowAndControls)
{
    EXPECT_EQ(chooser->windowTitle(), QStringLiteral("При помощи шаблона"));
    EXPECT_TRUE(chooser->isWindow());
    EXPECT_TRUE(chooser->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(chooser->minimumSize(), QSize(527, 354));
    EXPECT_EQ(chooser->maximumSize(), QSize(527, 354));
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(chooser->findChild<QPlainTextEdit*>("Memo1")->toPlainText().split('\n'),
              (QStringList{"Выберите нужный шаблон и нажмите \"Готово\".",
                           "Он появится в окне редактора как \"НовыйHTML\".", "",
                           "Создать новый шаблон можно в главном окне ",
                           "редактора, выбрав  меню \"Файл\"-->\"Новый\"-->\"Шаблон...\""}));
    const QLabel* picture = chooser->findChild<QLabel*>("Image1");
    EXPECT_EQ(picture->size(), QSize(160, 120));
    EXPECT_EQ(picture->pixmap().size(), QSize(160, 120));
    EXPECT_FALSE(picture->pixmap().toImage().allGray());
    EXPECT_EQ(chooserButton("Button3")->text(), QStringLiteral("Удалить"));
    EXPECT_EQ(chooserButton("Button3")->toolTip(), QStringLiteral("Удалить шаблон"));
    EXPECT_EQ(chooserButton("Button1")->text(), QStringLiteral("Готово"));
    EXPECT_EQ(chooserButton("Button2")->text(), QStringLiteral("Отмена"));
    EXPECT_FALSE(buttonsAvailable());
    EXPECT_TRUE(chooserButton("Button2")->isEnabled());
}

TEST_F(TemplateChooserTest, ShowingListsTheTemplatesWithNothingSelected)
{
    for (const char* name : {"b.sbl", "A.SBL", "c.Sbl", ".hidden.sbl", "ro.sbl", "page.html"})
        addTemplate(QString::fromLatin1(name));
    QFile::setPermissions(QDir(templates).filePath("ro.sbl"), QFile::ReadOwner);
    chooser->OpenOverMainWindow();
    EXPECT_EQ(listed(), (QStringList{"A.SBL", "b.sbl", "c.Sbl", "ro.sbl"}));
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_FALSE(buttonsAvailable());

    clickEntry("c.Sbl");
    EXPECT_TRUE(buttonsAvailable());
    // The keyboard selects too.
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(chooser->SelectedTemplatePath(), QDir(templates).filePath("ro.sbl"));
    EXPECT_TRUE(buttonsAvailable());
}

TEST_F(TemplateChooserTest, EmptyDirectoryOffersOnlyCancel)
{
    chooser->OpenOverMainWindow();
    EXPECT_EQ(list()->count(), 0);
    EXPECT_FALSE(buttonsAvailable());
    chooserButton("Button1")->click();
    chooserButton("Button3")->click();
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_TRUE(dialogs().log.isEmpty());
}

TEST_F(TemplateChooserTest, EveryShowingRereadsTheDirectory)
{
    addTemplate("one.sbl");
    chooser->OpenOverMainWindow();
    clickEntry("one.sbl");
    chooserButton("Button2")->click();
    addTemplate("two.sbl");
    chooser->OpenOverMainWindow();
    EXPECT_EQ(listed(), (QStringList{"one.sbl", "two.sbl"}));
    EXPECT_FALSE(buttonsAvailable());
}

TEST_F(TemplateChooserTest, FocusBackFromAnotherWindowOfTheProgramRereadsTheList)
{
    addTemplate("one.sbl");
    QWidget lens;
    lens.show();
    chooser->OpenOverMainWindow();
    activate(*chooser);
    ASSERT_EQ(QGuiApplication::focusWindow(), chooser->windowHandle());
    clickEntry("one.sbl");
    addTemplate("two.sbl");

    // A dialog box of the program coming and going is no change of window.
    QDialog box;
    box.show();
    activate(box);
    activate(*chooser);
    EXPECT_EQ(listed(), QStringList{"one.sbl"});
    EXPECT_TRUE(buttonsAvailable());

    activate(lens);
    ASSERT_EQ(QGuiApplication::focusWindow(), lens.windowHandle());
    EXPECT_EQ(listed(), QStringList{"one.sbl"});
    activate(*chooser);
    EXPECT_EQ(listed(), (QStringList{"one.sbl", "two.sbl"}));
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_FALSE(buttonsAvailable());
}

TEST_F(TemplateChooserTest, DeleteMovesTheFileAwayWithoutAQuestion)
{
    addTemplate("keep.sbl");
    addTemplate("old.sbl", "old");
    chooser->OpenOverMainWindow();
    clickEntry("old.sbl");
    chooserButton("Button3")->click();
    EXPECT_FALSE(QFileInfo::exists(QDir(templates).filePath("old.sbl")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("home/share/Trash/files/old.sbl")));
    EXPECT_EQ(listed(), QStringList{"keep.sbl"});
    EXPECT_FALSE(buttonsAvailable());
    EXPECT_TRUE(dialogs().log.isEmpty());
    EXPECT_TRUE(chooser->isVisible());
}

TEST_F(TemplateChooserTest, FailedDeleteIsReportedAndTheListStays)
{
    addTemplate("gone.sbl");
    chooser->OpenOverMainWindow();
    clickEntry("gone.sbl");
    QFile::remove(QDir(templates).filePath("gone.sbl"));
    chooserButton("Button3")->click();
    ASSERT_EQ(dialogs().logOf("error").size(), 1);
    EXPECT_TRUE(dialogs().log.first().contains("gone.sbl"));
    EXPECT_EQ(listed(), QStringList{"gone.sbl"});
    EXPECT_TRUE(buttonsAvailable());
}

TEST_F(TemplateChooserTest, MainWindowIsDisabledWhileShownAndEnabledAfterEveryClose)
{
    form->HTML1Click();
    type("old text");
    for (const bool closeButton : {false, true}) {
        chooser->OpenOverMainWindow();
        EXPECT_FALSE(form->isEnabled());
        if (closeButton)
            chooser->close();
        else
            chooserButton("Button2")->click();
        EXPECT_FALSE(chooser->isVisible());
        EXPECT_TRUE(form->isEnabled());
    }
    EXPECT_EQ(editor()->PlainText(), QStringLiteral("old text"));
}

TEST_F(TemplateChooserTest, LoadingStartsAnUntitledModifiedDocument)
{
    const struct
    {
        const char* file;
        QByteArray bytes;
        QString text;
        QString panel0;
    } cases[] = {
        {"empty.sbl", "", "", "Modified"},
        {"page.sbl", "<!--c-->\r\n<BODY>\r\n\xD2\xE5\xEA\xF1\xF2\r\n</BODY>\r\n",
         "<!--c-->\n<BODY>\nТекст\n</BODY>\n", "Изменён"},
        {"notes.sbl", "not HTML at all", "not HTML at all", "Изменён"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        addTemplate(c.file, c.bytes);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QStringList previewCalls = preview()->calls;
        chooser->OpenOverMainWindow();
        clickEntry(c.file);
        chooserButton("Button1")->click();

        EXPECT_FALSE(chooser->isVisible());
        EXPECT_TRUE(form->isEnabled());
        EXPECT_EQ(editor()->PlainText(), c.text);
        EXPECT_TRUE(editor()->Modified());
        EXPECT_TRUE(editor()->isEnabled());
        EXPECT_EQ(form->CurrentFileName(), QStringLiteral("НовыйHTML"));
        EXPECT_EQ(form->windowTitle(), QStringLiteral("НовыйHTML - Pagewrighter"));
        EXPECT_EQ(form->statusPanelText(0), c.panel0);
        EXPECT_EQ(form->statusPanelText(1), QStringLiteral("НовыйHTML"));
        EXPECT_TRUE(action("N30")->isEnabled());
        EXPECT_TRUE(action("N39")->isEnabled());
        EXPECT_TRUE(button("SpeedButton8")->isEnabled());
        EXPECT_EQ(preview()->calls, previewCalls);
        EXPECT_TRUE(QFileInfo::exists(QDir(templates).filePath(c.file)));
    }
    EXPECT_TRUE(dialogs().log.isEmpty());
}

TEST_F(TemplateChooserTest, TemplateThatCannotBeReadChangesNothing)
{
    writeFile(path("doc.html"), "<p>mine</p>");
    openThroughDialog(path("doc.html"));
    const QString title = form->windowTitle();
    addTemplate("vanishing.sbl");
    chooser->OpenOverMainWindow();
    clickEntry("vanishing.sbl");
    QFile::remove(QDir(templates).filePath("vanishing.sbl"));

    chooserButton("Button1")->click();

    ASSERT_EQ(dialogs().logOf("error").size(), 1);
    EXPECT_TRUE(dialogs().logOf("error").first().contains("vanishing.sbl"));
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_FALSE(form->isEnabled());
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_EQ(form->CurrentFileName(), path("doc.html"));
    EXPECT_EQ(editor()->PlainText(), QStringLiteral("<p>mine</p>"));
    EXPECT_FALSE(editor()->Modified());
    EXPECT_EQ(form->statusPanelText(0), QString());
}

// The builder writes a template, the chooser lists and loads it, and the editor holds exactly
// the composed text.
TEST_F(TemplateChooserTest, RoundTripThroughBuilderAndChooser)
{
    TForm4 builder(platform, *form, templates);
    builder.OpenOverMainWindow();
    const auto tick = [&](const char* name) {
        builder.findChild<QAbstractButton*>(name)->setChecked(true);
    };
    for (const char* name : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5",
                             "CheckBox6", "CheckBox12"})
        tick(name);
    builder.findChild<QLineEdit*>("Edit1")->setText("Описание \"в кавычках\"");
    builder.findChild<QLineEdit*>("Edit2")->setText("html, шаблон");
    builder.findChild<QPlainTextEdit*>("RichEdit1")->setPlainText("<P>Текст</P>\n\n<P>Ещё</P>");
    builder.findChild<QPlainTextEdit*>("RichEdit2")->setPlainText("Комментарий");
    builder.findChild<QAbstractButton*>("CheckBox7")->setChecked(false);
    dialogs().colorAnswers.push_back(QColor(10, 0, 171));
    builder.findChild<QPushButton*>("Button4")->click();
    builder.findChild<QLineEdit*>("Edit4")->setText("Новости");
    const TemplateSettings settings = builder.CurrentSettings();
    for (const char* next : {"Button1", "Button2", "Button3", "Button9", "Button17"})
        builder.findChild<QPushButton*>(next)->click();
    ASSERT_FALSE(builder.isVisible());
    ASSERT_TRUE(form->isEnabled());

    chooser->OpenOverMainWindow();
    EXPECT_EQ(listed(), QStringList{"Новости.sbl"});
    clickEntry("Новости.sbl");
    chooserButton("Button1")->click();

    EXPECT_EQ(editor()->Text(), ComposeTemplate(settings));
    EXPECT_TRUE(editor()->Text().contains("bgcolor=#0A00AB"));
    EXPECT_TRUE(editor()->Text().contains("CONTENT=\"Описание &quot;в кавычках&quot;\""));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("НовыйHTML - Pagewrighter"));
    EXPECT_TRUE(dialogs().logOf("error").isEmpty());
}
