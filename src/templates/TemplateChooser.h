#pragma once

#include "templates/ActivationTracker.h"

#include <QString>
#include <QWidget>
#include <memory>

class Platform;
class QWindow;
class TForm1;

namespace Ui {
class TForm3;
}

// The template chooser: lists the template files of the template directory, starts a new
// untitled document in the main window from the chosen one, or deletes it. Created once and only
// hidden when closed.
class TForm3 : public QWidget
{
    Q_OBJECT
public:
    TForm3(Platform& platform, TForm1& mainForm, const QString& templateDirectory,
           QWidget* parent = nullptr);
    ~TForm3() override;

    // Disables the main window and shows the chooser over it.
    void OpenOverMainWindow();

    // The full path of the selected template; empty when none is selected.
    QString SelectedTemplatePath() const;

    void RefreshTemplateList();
    void DeleteTemplate();
    void LoadTemplate();

public slots:
    void FormActivate();
    void FormClose();
    void FileListBox1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void focusWindowChanged(QWindow* focus);

    Platform& platform_;
    TForm1& mainForm_;
    const QString templateDirectory_;
    std::unique_ptr<Ui::TForm3> ui;
    ActivationTracker activation_;
};
