#pragma once

#include "document/DocumentFormat.h"
#include "templates/ActivationTracker.h"
#include "templates/TemplateWindow.h"

#include <QString>
#include <memory>

class Platform;
class QWindow;

namespace Ui {
class TForm3;
}

// The template chooser: lists the template files of the template directory and hands the chosen
// one's text on (templateChosen) to start a new untitled document, or deletes it. Created once
// and only hidden when closed.
class TForm3 : public TemplateWindow
{
    Q_OBJECT
public:
    // `mainWindow` is the window that is disabled while the chooser is shown.
    TForm3(Platform& platform, QWidget& mainWindow, const QString& templateDirectory,
           QWidget* parent = nullptr);
    ~TForm3() override;

    // The full path of the selected template; empty when none is selected.
    QString SelectedTemplatePath() const;

    void RefreshTemplateList();
    void DeleteTemplate();
    void LoadTemplate();

signals:
    // "Готово" read the selected template; the main window, already enabled again, starts the
    // document from it.
    void templateChosen(const DecodedDocument& document);

public slots:
    void FormActivate();
    void FileListBox1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void shownByProgram() override;

private:
    void focusWindowChanged(QWindow* focus);

    std::unique_ptr<Ui::TForm3> ui;
    ActivationTracker activation_;
};
