#include "utilities/AboutBox.h"

#include "platform/LinkLabel.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "ui_AboutBox.h"
#include "widgets/WidgetLook.h"

namespace {

const char kWebAddress[] = "https://pagewright.example.org/";
const char kMailAddress[] = "pagewright@example.org";

} // namespace

TAboutBox::TAboutBox(Platform& platform, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TAboutBox>()), FShell(platform.shell())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(366, 225);
    // Left unplaced: the first showing centres the dialog, later ones keep where it was.

    setPixelSize(*this, 11);
    setPixelSize(*ui->Label1, 24);
    ui->Image1->setPixmap(
        pictureFromSvg(QStringLiteral(":/pictures/about.svg"), ui->Image1->size()));

    for (QLabel* link : {ui->Label7, ui->Label5}) {
        QPalette palette = link->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
        link->setPalette(palette);
    }
    // Sized to their text, so that only a click on the text opens the link.
    for (QLabel* label : findChildren<QLabel*>())
        if (label != ui->Image1)
            label->adjustSize();

    connect(ui->OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
    connect(ui->Label5, &LinkLabel::activated, this, &TAboutBox::Label5Click);
    connect(ui->Label7, &LinkLabel::activated, this, &TAboutBox::Label7Click);
    // The dialog opens with the focus on "OK", so that Enter closes it as before; Tab reaches
    // the two addresses.
    ui->OKButton->setFocus();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::OKButtonClick()
{
    close();
}

void TAboutBox::Label5Click()
{
    FShell.openUrl(QUrl(QString::fromLatin1(kWebAddress)));
}

void TAboutBox::Label7Click()
{
    FShell.openUrl(QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kMailAddress)));
}

void TAboutBox::hideEvent(QHideEvent* event)
{
    // QDialog centres itself on every showing unless the program moved it; a move by the window
    // manager does not count as one. Taking over the position it had keeps it where it was.
    move(pos());
    QDialog::hideEvent(event);
}
