// The main window's layout commands: the splitter, the tool bar, the default split and position,
// and the switch between the 800- and 1024-pixel layouts.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "editor/FramePlacement.h"
#include "platform/Browser.h"
#include "platform/Platform.h"
#include "platform/ScreenCapture.h"
#include "text/SourceEditor.h"

#include <QMenu>
#include <QSignalBlocker>

void TForm1::connectLayoutCommands()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N19 = PopupMenu1->addAction(QStringLiteral("По умолчанию"));
    N19->setObjectName(QStringLiteral("N19"));
    connect(N19, &QAction::triggered, this, &TForm1::N19Click);
    connect(ui->ScrollBar1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ui->ScrollBar1->mapToGlobal(at)); });
    connect(ui->ScrollBar1, &QScrollBar::valueChanged, this, &TForm1::ScrollBar1Change);
    connect(ui->N18, &QAction::triggered, this, &TForm1::N18Click);
    connect(ui->N33, &QAction::triggered, this, &TForm1::N33Click);
    connect(ui->N1024x7681, &QAction::triggered, this, &TForm1::N1024x7681Click);
}

int TForm1::screenWidth() const
{
    return platform_.screen().screenSize().width();
}

void TForm1::applyLayout()
{
    const MainLayout& l = layout_;
    ui->ClientArea->setFixedSize(l.client);
    ui->Panel1->setGeometry(l.toolbar);
    ui->Panel1->setVisible(l.toolbarShown);
    WebBrowser1->setGeometry(l.preview);
    RichEdit1->setGeometry(l.editor);
    ui->StatusBar1->setGeometry(l.statusBar);
    ui->ScrollBar1->setGeometry(l.splitter);
    {
        // The layout has already run the splitter rule for these values.
        const QSignalBlocker blocker(ui->ScrollBar1);
        ui->ScrollBar1->setRange(l.splitterMin, l.splitterMax);
        ui->ScrollBar1->setValue(l.splitterPosition);
    }
    ui->N18->setChecked(l.toolbarShown);
    ui->N1024x7681->setText(l.resolutionCaption);
}

void TForm1::ScrollBar1Change()
{
    layout_.setSplitterPosition(ui->ScrollBar1->value());
    applyLayout();
}

void TForm1::N18Click()
{
    layout_.toggleToolbar();
    applyLayout();
}

void TForm1::N33Click()
{
    placement_->place();
}

void TForm1::N19Click()
{
    layout_.defaultSplit();
    applyLayout();
}

void TForm1::N1024x7681Click()
{
    layout_.switchResolution(screenWidth());
    applyLayout();
}
