#pragma once

#include "templates/TemplateComposer.h"
#include "templates/TemplateWindow.h"

#include <QColor>
#include <QString>
#include <array>
#include <memory>

class Platform;
class QCheckBox;
class QLabel;
class QPushButton;

namespace Ui {
class TForm4;
}

// "R:<red> G:<green> B:<blue>", as the colour groups show a colour.
QString ColorLabelText(const QColor& color);

// The template builder: a five-page wizard whose "Готово" writes a template file into the
// template directory. It is created once and only hidden when closed, so every control keeps
// its state from one showing to the next; each showing starts on page 1.
class TForm4 : public TemplateWindow
{
    Q_OBJECT
public:
    TForm4(Platform& platform, QWidget& mainWindow, const QString& templateDirectory,
           QWidget* parent = nullptr);
    ~TForm4() override;

    // The template as the five pages describe it now.
    TemplateSettings CurrentSettings() const;

    void SetPageVisible(int page, bool shown);

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button9Click();
    void Button11Click();
    void Button15Click();
    void Button13Click();
    void Button10Click();
    void Button12Click();
    void Button14Click();
    void Button16Click();
    void Button18Click();
    void Button17Click();
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void CheckBox5Click();
    void CheckBox6Click();
    void CheckBox12Click();
    void CheckBox7Click();
    void CheckBox8Click();
    void CheckBox9Click();
    void CheckBox10Click();
    void CheckBox11Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Edit4Change();

protected:
    void shownByProgram() override;

private:
    // One of the five colour groups of page 3 and the part of the preview that shows its colour.
    struct ColorGroup
    {
        QCheckBox* byDefault;
        QPushButton* choose;
        QLabel* label;
        QColor defaultColor;
        QColor color;
    };
    enum ColorIndex { Background, Text, Link, VisitedLink, ActiveLink, ColorCount };

    void changePage(int from, int to);
    void defaultToggled(int group);
    void chooseColor(int group);
    void setGroupColor(int group, const QColor& color);
    void connectControls();

    std::unique_ptr<Ui::TForm4> ui;
    std::array<ColorGroup, ColorCount> groups_;
    // The colour dialog shared by the five groups keeps the last colour chosen in it; before any
    // choice it stands at white.
    QColor ColorDialog1 = QColor(255, 255, 255);
};
