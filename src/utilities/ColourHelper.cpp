#include "utilities/ColourHelper.h"

#include "platform/WindowKeys.h"
#include "ui_ColourHelper.h"
#include "utilities/ColorCodes.h"
#include "widgets/FontResolution.h"
#include "widgets/ScrollBarKeys.h"
#include "widgets/WidgetLook.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace {

QColor colorOfWord(std::uint32_t word)
{
    return QColor(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF);
}

} // namespace

TForm5::TForm5(Platform&, QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TForm5>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    // A tool window must not keep the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(242, 347);
    move(550, 26);

    setFont(resolveFont(QStringLiteral("MS Sans Serif"), 11));
    setPixelSize(*ui->Label21, 16);
    setPixelSize(*ui->Label22, 16);
    // Labels take the size of their text in whatever font the system gives them; a caption
    // that would run past the window's edge in a wide face is set a little smaller.
    for (QLabel* label : findChildren<QLabel*>()) {
        label->adjustSize();
        for (int pixels = label->font().pixelSize();
             pixels > 8 && label->geometry().right() >= width(); label->adjustSize())
            setPixelSize(*label, --pixels);
    }

    // White as designed; the sample labels keep the window-text colour until the text group
    // first changes.
    QPalette panel = ui->Panel1->palette();
    panel.setColor(QPalette::Window, Qt::white);
    ui->Panel1->setPalette(panel);

    background_ = {{ui->ScrollBar1, ui->ScrollBar2, ui->ScrollBar3},
                   {ui->Edit1, ui->Edit2, ui->Edit3},
                   ui->Edit4};
    text_ = {{ui->ScrollBar4, ui->ScrollBar5, ui->ScrollBar6},
             {ui->Edit5, ui->Edit6, ui->Edit7},
             ui->Edit8};

    for (const ColorGroup* group : {&background_, &text_})
        for (QScrollBar* bar : group->bars) {
            ScrollBarKeys::install(*bar);
            WindowKeys::showFocusMark(*bar);
        }
    // Escape closes the window, as its close button does.
    WindowKeys::closeOnEscape(*this, [this] { close(); });

    // Connected only now, so that building the window runs no change handler.
    connect(ui->ScrollBar1, &QScrollBar::valueChanged, this, &TForm5::ScrollBar1Change);
    connect(ui->ScrollBar2, &QScrollBar::valueChanged, this, &TForm5::ScrollBar2Change);
    connect(ui->ScrollBar3, &QScrollBar::valueChanged, this, &TForm5::ScrollBar3Change);
    connect(ui->ScrollBar4, &QScrollBar::valueChanged, this, &TForm5::ScrollBar4Change);
    connect(ui->ScrollBar5, &QScrollBar::valueChanged, this, &TForm5::ScrollBar5Change);
    connect(ui->ScrollBar6, &QScrollBar::valueChanged, this, &TForm5::ScrollBar6Change);
    // textChanged, not textEdited: the nesting rules rely on programmatic changes as well.
    connect(ui->Edit1, &QLineEdit::textChanged, this, &TForm5::Edit1Change);
    connect(ui->Edit2, &QLineEdit::textChanged, this, &TForm5::Edit2Change);
    connect(ui->Edit3, &QLineEdit::textChanged, this, &TForm5::Edit3Change);
    connect(ui->Edit5, &QLineEdit::textChanged, this, &TForm5::Edit5Change);
    connect(ui->Edit6, &QLineEdit::textChanged, this, &TForm5::Edit6Change);
    connect(ui->Edit7, &QLineEdit::textChanged, this, &TForm5::Edit7Change);
}

TForm5::~TForm5() = default;

void TForm5::SetSampleTextColor(std::uint32_t color)
{
    for (QLabel* sample : {ui->Label19, ui->Label20, ui->Label21, ui->Label22}) {
        QPalette palette = sample->palette();
        palette.setColor(QPalette::WindowText, colorOfWord(color));
        sample->setPalette(palette);
    }
}

void TForm5::ScrollBar1Change()
{
    barChanged(background_, 0);
}

void TForm5::ScrollBar2Change()
{
    barChanged(background_, 1);
}

void TForm5::ScrollBar3Change()
{
    barChanged(background_, 2);
}

void TForm5::ScrollBar4Change()
{
    barChanged(text_, 0);
}

void TForm5::ScrollBar5Change()
{
    barChanged(text_, 1);
}

void TForm5::ScrollBar6Change()
{
    barChanged(text_, 2);
}

void TForm5::Edit1Change()
{
    editChanged(background_, 0);
}

void TForm5::Edit2Change()
{
    editChanged(background_, 1);
}

void TForm5::Edit3Change()
{
    editChanged(background_, 2);
}

void TForm5::Edit5Change()
{
    editChanged(text_, 0);
}

void TForm5::Edit6Change()
{
    editChanged(text_, 1);
}

void TForm5::Edit7Change()
{
    editChanged(text_, 2);
}

void TForm5::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TForm5::FormClose()
{
    emit closed();
}

void TForm5::barChanged(const ColorGroup& group, int channel)
{
    // Rewriting the edit runs its change handler, which sets the bar to the position it already
    // has, so the nesting ends there.
    group.edits[channel]->setText(DecText(group.bars[channel]->value()));

    // Colour and hexadecimal text both come from the bar positions, so that an edit still
    // holding a kept text such as "300" cannot make the colour disagree with the hex text.
    const int r = group.bars[0]->value();
    const int g = group.bars[1]->value();
    const int b = group.bars[2]->value();
    showColor(group, RGB(r, g, b));
    group.hex->setText(HexByte(r) + HexByte(g) + HexByte(b));
}

void TForm5::editChanged(const ColorGroup& group, int channel)
{
    // The bar clamps into 0..255 and reports only a real change of position.
    group.bars[channel]->setValue(EditValue(group.edits[channel]->text()));
}

void TForm5::showColor(const ColorGroup& group, std::uint32_t color)
{
    if (&group == &text_) {
        SetSampleTextColor(color);
        return;
    }
    QPalette palette = ui->Panel1->palette();
    palette.setColor(QPalette::Window, colorOfWord(color));
    ui->Panel1->setPalette(palette);
}
