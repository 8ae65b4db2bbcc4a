#include "widgets/FontDialog.h"

#include "widgets/FontResolution.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The classic sixteen colours of a font dialog's colour list.
const struct
{
    const char* name;
    QRgb rgb;
} namedColors[] = {
    {"Черный", 0x000000},       {"Бордовый", 0x800000},     {"Зеленый", 0x008000},
    {"Оливковый", 0x808000},    {"Темно-синий", 0x000080},  {"Фиолетовый", 0x800080},
    {"Сине-зеленый", 0x008080}, {"Серый", 0x808080},        {"Серебряный", 0xC0C0C0},
    {"Красный", 0xFF0000},      {"Ярко-зеленый", 0x00FF00}, {"Желтый", 0xFFFF00},
    {"Синий", 0x0000FF},        {"Фуксия", 0xFF00FF},       {"Голубой", 0x00FFFF},
    {"Белый", 0xFFFFFF},
};

// Style entries in the order of the style box.
enum StyleEntry { Regular, Italic, Bold, BoldItalic };

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(1, 1, 14, 14), color);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(QRect(1, 1, 13, 13));
    return QIcon(pixmap);
}

int pixelSizeOf(const QFont& font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

} // namespace

FontDialog::FontDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FontDialog1"));
    setWindowTitle(QStringLiteral("Шрифт"));

    familyBox_ = new QFontComboBox(this);
    familyBox_->setObjectName(QStringLiteral("familyBox"));
    familyBox_->setEditable(false);
    styleBox_ = new QComboBox(this);
    styleBox_->setObjectName(QStringLiteral("styleBox"));
    styleBox_->addItems({QStringLiteral("Обычный"), QStringLiteral("Курсив"),
                         QStringLiteral("Полужирный"), QStringLiteral("Полужирный курсив")});
    sizeBox_ = new QSpinBox(this);
    sizeBox_->setObjectName(QStringLiteral("sizeBox"));
    sizeBox_->setRange(MinPixelSize, MaxPixelSize);
    sizeBox_->setSuffix(QStringLiteral(" пикс."));

    auto* fontFields = new QGridLayout;
    const auto addField = [&](int column, const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        fontFields->addWidget(label, 0, column);
        fontFields->addWidget(field, 1, column);
    };
    addField(0, QStringLiteral("&Шрифт:"), familyBox_);
    addField(1, QStringLiteral("&Начертание:"), styleBox_);
    addField(2, QStringLiteral("&Размер:"), sizeBox_);
    fontFields->setColumnStretch(0, 1);

    strikeOutBox_ = new QCheckBox(QStringLiteral("&Зачеркнутый"), this);
    strikeOutBox_->setObjectName(QStringLiteral("strikeOutBox"));
    underlineBox_ = new QCheckBox(QStringLiteral("&Подчеркнутый"), this);
    underlineBox_->setObjectName(QStringLiteral("underlineBox"));
    colorBox_ = new QComboBox(this);
    colorBox_->setObjectName(QStringLiteral("colorBox"));
    for (const auto& entry : namedColors)
        colorBox_->addItem(swatch(QColor(entry.rgb)), QString::fromUtf8(entry.name),
                           QColor(entry.rgb));
    auto* otherColorButton = new QPushButton(QStringLiteral("&Другой..."), this);
    otherColorButton->setObjectName(QStringLiteral("otherColorButton"));
    auto* colorLabel = new QLabel(QStringLiteral("&Цвет:"), this);
    colorLabel->setBuddy(colorBox_);

    auto* effects = new QGroupBox(QStringLiteral("Видоизменение"), this);
    auto* effectsLayout = new QGridLayout(effects);
    effectsLayout->addWidget(strikeOutBox_, 0, 0, 1, 2);
    effectsLayout->addWidget(underlineBox_, 1, 0, 1, 2);
    effectsLayout->addWidget(colorLabel, 2, 0, 1, 2);
    effectsLayout->addWidget(colorBox_, 3, 0);
    effectsLayout->addWidget(otherColorButton, 3, 1);

    auto* sampleGroup = new QGroupBox(QStringLiteral("Образец"), this);
    sample_ = new QLabel(QStringLiteral("AaBbYyZz АаБбЯя"), sampleGroup);
    sample_->setObjectName(QStringLiteral("sample"));
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setMinimumSize(220, 72);
    auto* sampleLayout = new QVBoxLayout(sampleGroup);
    sampleLayout->addWidget(sample_);

    auto* lower = new QHBoxLayout;
    lower->addWidget(effects);
    lower->addWidget(sampleGroup, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fontFields);
    layout->addLayout(lower);
    layout->addWidget(buttons);

    connect(familyBox_, &QFontComboBox::currentFontChanged, this, &FontDialog::updateSample);
    connect(styleBox_, &QComboBox::currentIndexChanged, this, &FontDialog::updateSample);
    connect(sizeBox_, &QSpinBox::valueChanged, this, &FontDialog::updateSample);
    connect(strikeOutBox_, &QCheckBox::toggled, this, &FontDialog::updateSample);
    connect(underlineBox_, &QCheckBox::toggled, this, &FontDialog::updateSample);
    connect(colorBox_, &QComboBox::currentIndexChanged, this, &FontDialog::updateSample);
    connect(otherColorButton, &QPushButton::clicked, this, &FontDialog::chooseOtherColor);

    setSelectedFont(initialFont());
}

EditorFont FontDialog::initialFont()
{
    return {resolveFont(QStringLiteral("Fixedsys"), 16), QColor(Qt::black)};
}

void FontDialog::setSelectedFont(const EditorFont& font)
{
    const int pixelSize = pixelSizeOf(font.font);
    QFont face = resolveFont(font.font.family(), pixelSize);
    if (!QFontDatabase::hasFamily(face.family()))
        face.setFamily(QFontInfo(face).family());
    familyBox_->setCurrentFont(face);
    const bool bold = font.font.weight() >= QFont::DemiBold;
    const bool italic = font.font.italic();
    styleBox_->setCurrentIndex(bold ? (italic ? BoldItalic : Bold) : (italic ? Italic : Regular));
    sizeBox_->setValue(pixelSize);
    strikeOutBox_->setChecked(font.font.strikeOut());
    underlineBox_->setChecked(font.font.underline());
    selectColor(font.color);
    updateSample();
}

EditorFont FontDialog::selectedFont() const
{
    QFont font(familyBox_->currentFont().family());
    font.setPixelSize(sizeBox_->value());
    const int style = styleBox_->currentIndex();
    font.setWeight(style == Bold || style == BoldItalic ? QFont::Bold : QFont::Normal);
    font.setItalic(style == Italic || style == BoldItalic);
    font.setStrikeOut(strikeOutBox_->isChecked());
    font.setUnderline(underlineBox_->isChecked());
    return {font, colorBox_->currentData().value<QColor>()};
}

void FontDialog::selectColor(const QColor& color)
{
    int index = colorBox_->findData(color);
    if (index < 0) {
        // A colour from the colour dialog joins the list under its hexadecimal name.
        colorBox_->addItem(swatch(color), color.name(QColor::HexRgb).toUpper(), color);
        index = colorBox_->count() - 1;
    }
    colorBox_->setCurrentIndex(index);
}

void FontDialog::chooseOtherColor()
{
    const QColor chosen = QColorDialog::getColor(colorBox_->currentData().value<QColor>(), this,
                                                 QStringLiteral("Цвет"));
    if (chosen.isValid())
        selectColor(chosen);
}

void FontDialog::updateSample()
{
    const EditorFont font = selectedFont();
    sample_->setFont(font.font);
    QPalette colours = sample_->palette();
    colours.setColor(QPalette::WindowText, font.color);
    sample_->setPalette(colours);
}

bool FontDialog::getFont(QWidget* parent, EditorFont& font)
{
    FontDialog dialog(parent);
    dialog.setSelectedFont(font);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = dialog.selectedFont();
    return true;
}
