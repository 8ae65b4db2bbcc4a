#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

class Platform;
class QLineEdit;
class QScrollBar;

namespace Ui {
class TForm5;
}

// The colour helper: a background and a text colour set by red, green and blue scroll bars or
// decimal edits, read off as HTML hexadecimal text, and shown together on a sample panel.
class TForm5 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm5(Platform& platform, QWidget* parent = nullptr);
    ~TForm5() override;

    // The font colour of the four sample labels, from a colour word.
    void SetSampleTextColor(std::uint32_t color);

signals:
    // The window has closed (hidden); the main menu clears its check mark.
    void closed();

public slots:
    void ScrollBar1Change();
    void ScrollBar2Change();
    void ScrollBar3Change();
    void ScrollBar4Change();
    void ScrollBar5Change();
    void ScrollBar6Change();
    void Edit1Change();
    void Edit2Change();
    void Edit3Change();
    void Edit5Change();
    void Edit6Change();
    void Edit7Change();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The controls of one colour: bars and decimal edits for red, green, blue, the hex text.
    struct ColorGroup
    {
        std::array<QScrollBar*, 3> bars;
        std::array<QLineEdit*, 3> edits;
        QLineEdit* hex;
    };

    void FormClose();
    void barChanged(const ColorGroup& group, int channel);
    void editChanged(const ColorGroup& group, int channel);
    void showColor(const ColorGroup& group, std::uint32_t color);

    std::unique_ptr<Ui::TForm5> ui;
    ColorGroup background_;
    ColorGroup text_;
};
