#pragma once

#include "widgets/EditorFont.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QSpinBox;

// The font dialog: face, size in pixels, style, underline, strike-out and text colour, with a
// sample. Qt's own font dialog has no colour, and the editor's font command sets the text colour
// with the font.
class FontDialog : public QDialog
{
    Q_OBJECT
public:
    // The size range the size box takes, in pixels.
    static constexpr int MinPixelSize = 1;
    static constexpr int MaxPixelSize = 400;

    explicit FontDialog(QWidget* parent = nullptr);

    // Shows `font`; a face that is not installed is shown as the face that stands in for it.
    void setSelectedFont(const EditorFont& font);
    EditorFont selectedFont() const;

    // Runs the dialog modally, starting at `font`; on confirmation updates `font` and returns
    // true.
    static bool getFont(QWidget* parent, EditorFont& font);

    // The font the dialog offers first: Fixedsys (or the monospace face that stands in for it),
    // 16-pixel characters, black, no style.
    static EditorFont initialFont();

private:
    void selectColor(const QColor& color);
    void chooseOtherColor();
    void updateSample();

    QFontComboBox* familyBox_ = nullptr;
    QComboBox* styleBox_ = nullptr;
    QSpinBox* sizeBox_ = nullptr;
    QCheckBox* strikeOutBox_ = nullptr;
    QCheckBox* underlineBox_ = nullptr;
    QComboBox* colorBox_ = nullptr;
    QLabel* sample_ = nullptr;
};
