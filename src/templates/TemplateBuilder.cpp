#include "templates/TemplateBuilder.h"

#include "document/DocumentFile.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "templates/TemplateStore.h"
#include "ui_TemplateBuilder.h"
#include "widgets/WidgetLook.h"

QString ColorLabelText(const QColor& color)
{
    return QStringLiteral("R:%1 G:%2 B:%3").arg(color.red()).arg(color.green()).arg(color.blue());
}

TForm4::TForm4(Platform& platform, QWidget& mainWindow, const QString& templateDirectory,
               QWidget* parent)
    : TemplateWindow(platform, mainWindow, templateDirectory, parent),
      ui(std::make_unique<Ui::TForm4>())
{
    ui->setupUi(this);
    placeAsTemplateWindow();

    paintSilver(*ui->Memo1);

    groups_ = {{
        {ui->CheckBox7, ui->Button4, ui->Label1, TemplateSettings::defaultBackground(), {}},
        {ui->CheckBox8, ui->Button5, ui->Label2, TemplateSettings::defaultText(), {}},
        {ui->CheckBox9, ui->Button6, ui->Label3, TemplateSettings::defaultLink(), {}},
        {ui->CheckBox10, ui->Button7, ui->Label4, TemplateSettings::defaultLink(), {}},
        {ui->CheckBox11, ui->Button8, ui->Label5, TemplateSettings::defaultLink(), {}},
    }};
    for (int group = 0; group < ColorCount; ++group)
        setGroupColor(group, groups_[group].defaultColor);

    connectControls();
}

TForm4::~TForm4() = default;

void TForm4::connectControls()
{
    const auto onClick = [this](QPushButton* button, void (TForm4::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(ui->Button1, &TForm4::Button1Click);
    onClick(ui->Button2, &TForm4::Button2Click);
    onClick(ui->Button3, &TForm4::Button3Click);
    onClick(ui->Button9, &TForm4::Button9Click);
    onClick(ui->Button11, &TForm4::Button11Click);
    onClick(ui->Button15, &TForm4::Button15Click);
    onClick(ui->Button13, &TForm4::Button13Click);
    onClick(ui->Button10, &TForm4::Button10Click);
    onClick(ui->Button12, &TForm4::Button12Click);
    onClick(ui->Button14, &TForm4::Button14Click);
    onClick(ui->Button16, &TForm4::Button16Click);
    onClick(ui->Button18, &TForm4::Button18Click);
    onClick(ui->Button17, &TForm4::Button17Click);
    onClick(ui->Button4, &TForm4::Button4Click);
    onClick(ui->Button5, &TForm4::Button5Click);
    onClick(ui->Button6, &TForm4::Button6Click);
    onClick(ui->Button7, &TForm4::Button7Click);
    onClick(ui->Button8, &TForm4::Button8Click);

    // A check box's handler runs on every change of its state, as a click would run it.
    const auto onToggle = [this](QCheckBox* box, void (TForm4::*handler)()) {
        connect(box, &QCheckBox::toggled, this, handler);
    };
    onToggle(ui->CheckBox1, &TForm4::CheckBox1Click);
    onToggle(ui->CheckBox2, &TForm4::CheckBox2Click);
    onToggle(ui->CheckBox3, &TForm4::CheckBox3Click);
    onToggle(ui->CheckBox4, &TForm4::CheckBox4Click);
    onToggle(ui->CheckBox5, &TForm4::CheckBox5Click);
    onToggle(ui->CheckBox6, &TForm4::CheckBox6Click);
    onToggle(ui->CheckBox12, &TForm4::CheckBox12Click);
    onToggle(ui->CheckBox7, &TForm4::CheckBox7Click);
    onToggle(ui->CheckBox8, &TForm4::CheckBox8Click);
    onToggle(ui->CheckBox9, &TForm4::CheckBox9Click);
    onToggle(ui->CheckBox10, &TForm4::CheckBox10Click);
    onToggle(ui->CheckBox11, &TForm4::CheckBox11Click);

    connect(ui->Edit4, &QLineEdit::textChanged, this, &TForm4::Edit4Change);
}

TemplateSettings TForm4::CurrentSettings() const
{
    TemplateSettings s;
    s.head = ui->CheckBox1->isChecked();
    s.description = ui->CheckBox2->isChecked();
    s.descriptionText = ui->Edit1->text();
    s.keywords = ui->CheckBox3->isChecked();
    s.keywordsText = ui->Edit2->text();
    s.title = ui->CheckBox4->isChecked();
    s.titleText = ui->Edit3->text();
    s.body = ui->CheckBox5->isChecked();
    s.bodyText = ui->RichEdit1->toPlainText();
    s.colors = ui->CheckBox6->isChecked();
    s.background = groups_[Background].color;
    s.text = groups_[Text].color;
    s.link = groups_[Link].color;
    s.visitedLink = groups_[VisitedLink].color;
    s.activeLink = groups_[ActiveLink].color;
    s.comment = ui->CheckBox12->isChecked();
    s.commentText = ui->RichEdit2->toPlainText();
    s.name = ui->Edit4->text();
    return s;
}

void TForm4::SetPageVisible(int page, bool shown)
{
    QWidget* const pages[] = {ui->Page1, ui->Page2, ui->Page3, ui->Page4, ui->Page5};
    if (page >= 1 && page <= 5)
        pages[page - 1]->setVisible(shown);
}

void TForm4::changePage(int from, int to)
{
    SetPageVisible(from, false);
    SetPageVisible(to, true);
}

void TForm4::shownByProgram()
{
    FormShow();
}

void TForm4::FormShow()
{
    for (int page = 5; page >= 2; --page)
        SetPageVisible(page, false);
    SetPageVisible(1, true);
}

void TForm4::Button1Click()
{
    changePage(1, 2);
}

void TForm4::Button2Click()
{
    changePage(2, 3);
}

void TForm4::Button3Click()
{
    changePage(3, 4);
}

void TForm4::Button9Click()
{
    changePage(4, 5);
}

void TForm4::Button11Click()
{
    changePage(2, 1);
}

void TForm4::Button15Click()
{
    changePage(3, 2);
}

void TForm4::Button13Click()
{
    changePage(4, 3);
}

void TForm4::Button10Click()
{
    close();
}

void TForm4::Button12Click()
{
    close();
}

void TForm4::Button14Click()
{
    close();
}

void TForm4::Button16Click()
{
    close();
}

void TForm4::Button18Click()
{
    close();
}

void TForm4::Button17Click()
{
    const TemplateSettings settings = CurrentSettings();
    // A name that would put the file outside the template directory, or hide it from the
    // chooser, is refused before anything is written; the builder stays on this page.
    const QString problem = templateNameProblem(settings.name);
    if (!problem.isEmpty()) {
        platform_.dialogs().showMessage(this, problem);
        return;
    }
    try {
        WriteTemplate(templateDirectory_, settings);
    } catch (const FileError& error) {
        platform_.dialogs().reportError(this, error.message());
        return;
    }
    close();
}

void TForm4::CheckBox1Click()
{
    ui->GroupBox1->setEnabled(ui->CheckBox1->isChecked());
}

void TForm4::CheckBox2Click()
{
    ui->Edit1->setEnabled(ui->CheckBox2->isChecked());
}

void TForm4::CheckBox3Click()
{
    ui->Edit2->setEnabled(ui->CheckBox3->isChecked());
}

void TForm4::CheckBox4Click()
{
    ui->Edit3->setEnabled(ui->CheckBox4->isChecked());
}

void TForm4::CheckBox5Click()
{
    ui->RichEdit1->setEnabled(ui->CheckBox5->isChecked());
}

void TForm4::CheckBox6Click()
{
    const bool on = ui->CheckBox6->isChecked();
    for (QGroupBox* group :
         {ui->GroupBox3, ui->GroupBox4, ui->GroupBox5, ui->GroupBox6, ui->GroupBox7})
        group->setEnabled(on);
}

void TForm4::CheckBox12Click()
{
    ui->RichEdit2->setEnabled(ui->CheckBox12->isChecked());
}

void TForm4::CheckBox7Click()
{
    defaultToggled(Background);
}

void TForm4::CheckBox8Click()
{
    defaultToggled(Text);
}

void TForm4::CheckBox9Click()
{
    defaultToggled(Link);
}

void TForm4::CheckBox10Click()
{
    defaultToggled(VisitedLink);
}

void TForm4::CheckBox11Click()
{
    defaultToggled(ActiveLink);
}

void TForm4::Button4Click()
{
    chooseColor(Background);
}

void TForm4::Button5Click()
{
    chooseColor(Text);
}

void TForm4::Button6Click()
{
    chooseColor(Link);
}

void TForm4::Button7Click()
{
    chooseColor(VisitedLink);
}

void TForm4::Button8Click()
{
    chooseColor(ActiveLink);
}

void TForm4::Edit4Change()
{
    ui->Button17->setEnabled(!ui->Edit4->text().isEmpty());
}

void TForm4::defaultToggled(int group)
{
    ColorGroup& g = groups_[group];
    const bool byDefault = g.byDefault->isChecked();
    g.choose->setEnabled(!byDefault);
    // Unticking only offers the choice; the colour stays until one is chosen.
    if (byDefault)
        setGroupColor(group, g.defaultColor);
}

void TForm4::chooseColor(int group)
{
    // A cancelled dialog leaves the group's colour as it was.
    if (platform_.dialogs().chooseColor(this, ColorDialog1))
        setGroupColor(group, ColorDialog1);
}

void TForm4::setGroupColor(int group, const QColor& color)
{
    ColorGroup& g = groups_[group];
    g.color = QColor(color.red(), color.green(), color.blue());
    g.label->setText(ColorLabelText(g.color));

    // The preview: the panel's fill is the background, each sample line has its colour.
    QWidget* const shownBy[] = {ui->Panel4, ui->Label6, ui->Label7, ui->Label8, ui->Label9};
    QWidget* const preview = shownBy[group];
    QPalette palette = preview->palette();
    palette.setColor(group == Background ? QPalette::Window : QPalette::WindowText, g.color);
    preview->setPalette(palette);
}
