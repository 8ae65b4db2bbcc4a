// Every command of the main window reached the way a user reaches it: menu items (submenus
// included) chosen where the menu bar holds them, tool buttons clicked, context-menu items chosen
// in the menu that a right click opens, shortcuts typed into the active window. Each case checks
// the effect that tells its command apart from the others, on the windows the program builds.
#include "app/ProgramWindows.h"
#include "editor/FullScreenPreview.h"
#include "editor/MainWindow.h"
#include "support/FakePlatform.h"
#include "support/TestNames.h"
#include "templates/TemplateBuilder.h"
#include "templates/TemplateChooser.h"
#include "text/SourceEditor.h"
#include "utilities/AboutBox.h"
#include "utilities/ColourHelper.h"
#include "utilities/ScreenLens.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QString Suffix = QStringLiteral(" - Pagewrighter");

class CommandWiring;

// What a command needs beforehand, and what only that command does.
struct Command
{
    const char* name;
    void (*prepare)(CommandWiring&);
    void (*check)(CommandWiring&);
};

enum class Via { Menu, Button, ContextMenu, Key };

// One way of reaching a command: the menu item, tool button or context-menu item by object name
// (with the control whose context menu holds it), or the key as it is written in a menu.
struct Surface
{
    Via via;
    const char* control;
    const Command* command;
    const char* contextOf = "";
};

class CommandWiring : public ::testing::TestWithParam<Surface>
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        windows = std::make_unique<ProgramWindows>(platform, dir.path());
        main = windows->mainWindow.get();
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        writeFile("a.html", "hello world");
        writeFile("b.html", "<p>b</p>");
    }

    void TearDown() override
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    SourceEditor* editor() const { return main->findChild<SourceEditor*>("RichEdit1"); }
    QScrollBar* splitter() const { return main->findChild<QScrollBar*>("ScrollBar1"); }
    FakeDialogs& dialogs() { return platform.fakeDialogs; }
    FakeBrowser* preview() const { return platform.browsers.value(0); }

    // The item named `name` in the menu bar or in any of its submenus; null when it is not there.
    QAction* menuItem(const QString& name) const
    {
        QList<QAction*> pending = main->menuBar()->actions();
        while (!pending.isEmpty()) {
            QAction* item = pending.takeFirst();
            if (item->objectName() == name)
                return item;
            if (item->menu())
                pending += item->menu()->actions();
        }
        return nullptr;
    }

    void chooseMenuItem(const QString& name)
    {
        QAction* item = menuItem(name);
        ASSERT_NE(item, nullptr) << name.toStdString() << " is not in the menus";
        ASSERT_TRUE(item->isEnabled()) << name.toStdString();
        item->trigger();
    }

    // The windows on screen: the program's own by their role, others (dialogs) by caption.
    QStringList visibleWindows() const
    {
        const QList<std::pair<QWidget*, QString>> known = {
            {windows->mainWindow.get(), "main"},
            {windows->fullScreenPreview.get(), "fullScreenPreview"},
            {windows->templateChooser.get(), "templateChooser"},
            {windows->templateBuilder.get(), "templateBuilder"},
            {windows->colourHelper.get(), "colourHelper"},
            {windows->aboutBox.get(), "aboutBox"},
            {windows->screenLens.get(), "screenLens"},
        };
        QStringList shown;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || qobject_cast<QMenu*>(window))
                continue;
            QString label = window->windowTitle();
            for (const auto& [widget, role] : known)
                if (widget == window)
                    label = role;
            shown << label;
        }
        shown.sort();
        return shown;
    }

    // The document a.html, opened through the open command and unchanged.
    void openA()
    {
        dialogs().openAnswers = {{path("a.html"), 1}};
        chooseMenuItem("N3");
        ASSERT_EQ(main->windowTitle(), path("a.html") + Suffix);
        editor()->setFocus();
        dialogs().log.clear();
    }
    // a.html with "x" typed at its start: modified.
    void openAAndType()
    {
        openA();
        QTest::keyClicks(editor(), "x");
        ASSERT_EQ(editor()->Text(), "xhello world");
    }
    // a.html with "world" selected.
    void openAAndSelectWorld()
    {
        openA();
        editor()->SetSelStart(6);
        editor()->SetSelLength(5);
    }

    QTemporaryDir dir;
    FakePlatform platform;
    std::unique_ptr<ProgramWindows> windows;
    QMainWindow* main = nullptr;
    int splitterAtStart = 0;
};

// --- The commands -----------------------------------------------------------------------------

const Command NewDocument{"New", [](CommandWiring& w) { w.openA(); },
                          [](CommandWiring& w) {
                              EXPECT_EQ(w.main->windowTitle(), "НовыйHTML" + Suffix);
                              EXPECT_EQ(w.editor()->Text(), "");
                              EXPECT_EQ(w.dialogs().log, QStringList());
                          }};

const Command NewFromTemplate{
    "NewFromTemplate", [](CommandWiring& w) { w.openA(); },
    [](CommandWiring& w) {
        EXPECT_EQ(w.visibleWindows(), QStringList({"main", "templateChooser"}));
        EXPECT_FALSE(w.main->isEnabled());
    }};

const Command BuildTemplate{
    "BuildTemplate", [](CommandWiring& w) { w.openA(); },
    [](CommandWiring& w) {
        EXPECT_EQ(w.visibleWindows(), QStringList({"main", "templateBuilder"}));
        EXPECT_FALSE(w.main->isEnabled());
    }};

const Command Open{"Open",
                   [](CommandWiring& w) {
                       w.openA();
                       w.dialogs().openAnswers = {{w.path("b.html"), 1}};
                   },
                   [](CommandWiring& w) {
                       EXPECT_EQ(w.main->windowTitle(), w.path("b.html") + Suffix);
                       EXPECT_EQ(w.editor()->Text(), "<p>b</p>");
                       EXPECT_EQ(w.dialogs().logOf("open").size(), 1);
                   }};

// Written in place with no dialog, and the preview left alone (unlike refresh).
const Command Save{"Save", [](CommandWiring& w) { w.openAAndType(); },
                   [](CommandWiring& w) {
                       EXPECT_EQ(w.readFile("a.html"), "xhello world");
                       EXPECT_EQ(w.dialogs().log, QStringList());
                       EXPECT_EQ(w.preview()->calls, QStringList({"navigate " + w.path("a.html")}));
                   }};

const Command SaveAs{"SaveAs",
                     [](CommandWiring& w) {
                         w.openAAndType();
                         w.dialogs().saveAnswers = {{w.path("c"), 1}};
                     },
                     [](CommandWiring& w) {
                         EXPECT_EQ(w.readFile("c.html"), "xhello world");
                         EXPECT_EQ(w.readFile("a.html"), "hello world");
                         EXPECT_EQ(w.main->windowTitle(), w.path("c.html") + Suffix);
                     }};

const Command Exit{"Exit", [](CommandWiring& w) { w.openA(); },
                   [](CommandWiring& w) {
                       EXPECT_FALSE(w.main->isVisible());
                       EXPECT_EQ(w.dialogs().log, QStringList());
                   }};

const Command Undo{"Undo", [](CommandWiring& w) { w.openAAndType(); },
                   [](CommandWiring& w) { EXPECT_EQ(w.editor()->Text(), "hello world"); }};

const Command Cut{"Cut", [](CommandWiring& w) { w.openAAndSelectWorld(); },
                  [](CommandWiring& w) {
                      EXPECT_EQ(w.editor()->Text(), "hello ");
                      EXPECT_EQ(QApplication::clipboard()->text(), "world");
                  }};

const Command Copy{"Copy", [](CommandWiring& w) { w.openAAndSelectWorld(); },
                   [](CommandWiring& w) {
                       EXPECT_EQ(w.editor()->Text(), "hello world");
                       EXPECT_EQ(QApplication::clipboard()->text(), "world");
                   }};

const Command Paste{"Paste",
                    [](CommandWiring& w) {
                        w.openAAndSelectWorld();
                        QApplication::clipboard()->setText("there");
                    },
                    [](CommandWiring& w) { EXPECT_EQ(w.editor()->Text(), "hello there"); }};

const Command SelectAll{"SelectAll", [](CommandWiring& w) { w.openA(); },
                        [](CommandWiring& w) {
                            EXPECT_EQ(w.editor()->SelStart(), 0);
                            EXPECT_EQ(w.editor()->SelText(), "hello world");
                        }};

const Command Find{"Find", [](CommandWiring& w) { w.openA(); },
                   [](CommandWiring& w) {
                       EXPECT_EQ(w.visibleWindows(), QStringList({"main", "Найти"}));
                   }};

const Command Replace{"Replace", [](CommandWiring& w) { w.openA(); },
                      [](CommandWiring& w) {
                          EXPECT_EQ(w.visibleWindows(), QStringList({"main", "Заменить"}));
                      }};

const Command Font{"Font",
                   [](CommandWiring& w) {
                       w.openA();
                       EditorFont chosen;
                       chosen.font = QFont(QStringLiteral("DejaVu Sans"));
                       chosen.font.setPixelSize(23);
                       chosen.color = Qt::darkRed;
                       w.dialogs().fontAnswers = {chosen};
                   },
                   [](CommandWiring& w) {
                       EXPECT_EQ(w.dialogs().log, QStringList({"font"}));
                       EXPECT_EQ(w.editor()->font().pixelSize(), 23);
                   }};

QColor editorBackground(CommandWiring& w)
{
    return w.editor()->palette().color(QPalette::Base);
}

// Each scheme starts from another scheme, so that it has something to change.
const Command SkyBlueScheme{
    "SkyBlueScheme",
    [](CommandWiring& w) {
        w.openA();
        w.chooseMenuItem("N43");
    },
    [](CommandWiring& w) { EXPECT_EQ(editorBackground(w), QColor(166, 202, 240)); }};

const Command WhiteScheme{
    "WhiteScheme", [](CommandWiring& w) { w.openA(); },
    [](CommandWiring& w) { EXPECT_EQ(editorBackground(w), QColor(Qt::white)); }};

const Command BlackScheme{
    "BlackScheme", [](CommandWiring& w) { w.openA(); },
    [](CommandWiring& w) { EXPECT_EQ(editorBackground(w), QColor(Qt::black)); }};

// Saves, then reloads the preview (unlike save).
const Command Refresh{
    "Refresh", [](CommandWiring& w) { w.openAAndType(); },
    [](CommandWiring& w) {
        EXPECT_EQ(w.readFile("a.html"), "xhello world");
        EXPECT_EQ(w.preview()->calls, QStringList({"navigate " + w.path("a.html"), "refresh"}));
    }};

const Command FullScreen{
    "FullScreen", [](CommandWiring& w) { w.openA(); },
    [](CommandWiring& w) {
        EXPECT_EQ(w.visibleWindows(), QStringList({"fullScreenPreview", "main"}));
    }};

const Command ToggleToolBar{"ToggleToolBar", [](CommandWiring&) {},
                            [](CommandWiring& w) {
                                EXPECT_FALSE(w.main->findChild<QWidget*>("Panel1")->isVisible());
                                EXPECT_FALSE(w.menuItem("N18")->isChecked());
                            }};

const Command DefaultPosition{"DefaultPosition", [](CommandWiring& w) { w.main->move(200, 100); },
                              [](CommandWiring& w) { EXPECT_EQ(w.main->pos(), QPoint(-3, 0)); }};

// The window starts in its 800-pixel layout and switches to the 1024-pixel one; the item then
// names the way back.
const Command SwitchResolution{"SwitchResolution",
                               [](CommandWiring& w) {
                                   ASSERT_EQ(w.main->centralWidget()->width(), 800);
                                   ASSERT_EQ(w.menuItem("N1024x7681")->text(), "1024x768");
                               },
                               [](CommandWiring& w) {
                                   EXPECT_EQ(w.main->centralWidget()->width(), 1024);
                                   EXPECT_EQ(w.menuItem("N1024x7681")->text(), "800x600");
                               }};

const Command DefaultSplit{
    "DefaultSplit",
    [](CommandWiring& w) {
        w.splitterAtStart = w.splitter()->value();
        w.splitter()->setValue(w.splitter()->minimum());
        ASSERT_NE(w.splitter()->value(), w.splitterAtStart);
    },
    [](CommandWiring& w) { EXPECT_EQ(w.splitter()->value(), w.splitterAtStart); }};

const Command ColourHelper{"ColourHelper", [](CommandWiring&) {},
                           [](CommandWiring& w) {
                               EXPECT_EQ(w.visibleWindows(), QStringList({"colourHelper", "main"}));
                               EXPECT_TRUE(w.menuItem("N37")->isChecked());
                           }};

const Command Lens{"Lens", [](CommandWiring&) {},
                   [](CommandWiring& w) {
                       EXPECT_EQ(w.visibleWindows(), QStringList({"main", "screenLens"}));
                       EXPECT_TRUE(w.menuItem("N31")->isChecked());
                   }};

const Command About{"About", [](CommandWiring&) {},
                    [](CommandWiring& w) {
                        EXPECT_EQ(w.visibleWindows(), QStringList({"aboutBox", "main"}));
                    }};

// The preview reports a page to go back to and one to go forward to.
void enableHistory(CommandWiring& w)
{
    w.openA();
    emit w.preview()->commandStateChange(Browser::BackCommand, true);
    emit w.preview()->commandStateChange(Browser::ForwardCommand, true);
    w.preview()->calls.clear();
}

const Command Back{"Back", enableHistory,
                   [](CommandWiring& w) { EXPECT_EQ(w.preview()->calls, QStringList({"back"})); }};

const Command Forward{"Forward", enableHistory, [](CommandWiring& w) {
                          EXPECT_EQ(w.preview()->calls, QStringList({"forward"}));
                      }};

// --- Where the user reaches them --------------------------------------------------------------

const Surface surfaces[] = {
    {Via::Menu, "HTML1", &NewDocument},
    {Via::Menu, "N28", &NewFromTemplate},
    {Via::Menu, "N29", &BuildTemplate},
    {Via::Menu, "N3", &Open},
    {Via::Menu, "N7", &Save},
    {Via::Menu, "N4", &SaveAs},
    {Via::Menu, "N6", &Exit},
    {Via::Menu, "Cut1", &Undo},
    {Via::Menu, "N12", &Cut},
    {Via::Menu, "N13", &Copy},
    {Via::Menu, "N14", &Paste},
    {Via::Menu, "N17", &SelectAll},
    {Via::Menu, "N30", &Find},
    {Via::Menu, "N39", &Replace},
    {Via::Menu, "N9", &Font},
    {Via::Menu, "N41", &SkyBlueScheme},
    {Via::Menu, "N42", &WhiteScheme},
    {Via::Menu, "N43", &BlackScheme},
    {Via::Menu, "N21", &Refresh},
    {Via::Menu, "N27", &FullScreen},
    {Via::Menu, "N18", &ToggleToolBar},
    {Via::Menu, "N33", &DefaultPosition},
    {Via::Menu, "N1024x7681", &SwitchResolution},
    {Via::Menu, "N37", &ColourHelper},
    {Via::Menu, "N31", &Lens},
    {Via::Menu, "N36", &About},

    {Via::Button, "SpeedButton1", &NewDocument},
    {Via::Button, "SpeedButton2", &Open},
    {Via::Button, "SpeedButton3", &Save},
    {Via::Button, "SpeedButton4", &Undo},
    {Via::Button, "SpeedButton5", &Cut},
    {Via::Button, "SpeedButton6", &Copy},
    {Via::Button, "SpeedButton7", &Paste},
    {Via::Button, "SpeedButton9", &Font},
    {Via::Button, "SpeedButton10", &Refresh},
    {Via::Button, "SpeedButton8", &Find},
    {Via::Button, "SpeedButton11", &Back},
    {Via::Button, "SpeedButton12", &Forward},

    {Via::ContextMenu, "N19", &DefaultSplit, "ScrollBar1"},
    {Via::ContextMenu, "N20", &Cut, "RichEdit1"},
    {Via::ContextMenu, "N23", &Copy, "RichEdit1"},
    {Via::ContextMenu, "N24", &Paste, "RichEdit1"},
    {Via::ContextMenu, "SelectAll1", &SelectAll, "RichEdit1"},

    {Via::Key, "Ctrl+O", &Open},
    {Via::Key, "Ctrl+S", &Save},
    {Via::Key, "Ctrl+Z", &Undo},
    {Via::Key, "Ctrl+X", &Cut},
    {Via::Key, "Ctrl+C", &Copy},
    {Via::Key, "Ctrl+V", &Paste},
    {Via::Key, "Ctrl+A", &SelectAll},
    {Via::Key, "F3", &Find},
    {Via::Key, "F4", &Replace},
    {Via::Key, "F5", &Refresh},
    {Via::Key, "F6", &FullScreen},
    {Via::Key, "Alt+Left", &Back},
    {Via::Key, "Alt+Right", &Forward},
};

const char* viaName(Via via)
{
    switch (via) {
    case Via::Menu:
        return "Menu";
    case Via::Button:
        return "Button";
    case Via::ContextMenu:
        return "ContextMenu";
    case Via::Key:
        return "Key";
    }
    return "";
}

void PrintTo(const Surface& s, std::ostream* out)
{
    *out << viaName(s.via) << ' ' << s.control << " → " << s.command->name;
}

std::string surfaceName(const ::testing::TestParamInfo<Surface>& row)
{
    QString control = QString::fromLatin1(row.param.control);
    control.remove(u'+');
    return std::string(viaName(row.param.via)) + "_" + testNameOf(control) + "_" +
           row.param.command->name;
}

// Right-clicks the control and chooses the item in the context menu that opens.
void chooseContextMenuItem(CommandWiring& w, const char* control, const char* item)
{
    auto* target = w.main->findChild<QWidget*>(QLatin1String(control));
    ASSERT_NE(target, nullptr);
    const QPoint at = target->mapTo(w.main, target->rect().center());
    QTest::mouseClick(w.main->windowHandle(), Qt::RightButton, {}, at);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "no context menu on " << control;
    QAction* chosen = nullptr;
    for (QAction* action : menu->actions())
        if (action->objectName() == QLatin1String(item))
            chosen = action;
    ASSERT_NE(chosen, nullptr) << item << " is not in the context menu of " << control;
    ASSERT_TRUE(chosen->isEnabled()) << item;
    chosen->trigger();
    menu->close();
}

TEST_P(CommandWiring, ReachesItsCommand)
{
    const Surface& s = GetParam();
    s.command->prepare(*this);
    ASSERT_FALSE(HasFatalFailure());

    switch (s.via) {
    case Via::Menu:
        chooseMenuItem(QLatin1String(s.control));
        break;
    case Via::Button: {
        auto* button = main->findChild<QToolButton*>(QLatin1String(s.control));
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isVisible() && button->isEnabled()) << s.control;
        QTest::mouseClick(button, Qt::LeftButton);
        break;
    }
    case Via::ContextMenu:
        chooseContextMenuItem(*this, s.contextOf, s.control);
        break;
    case Via::Key: {
        const QKeyCombination key = QKeySequence(QString::fromLatin1(s.control))[0];
        QTest::keyClick(main->windowHandle(), key.key(), key.keyboardModifiers());
        break;
    }
    }
    ASSERT_FALSE(HasFatalFailure());
    s.command->check(*this);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, CommandWiring, ::testing::ValuesIn(surfaces), surfaceName);

} // namespace
