#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The modeless find dialog (Find mode) and find-and-replace dialog (Replace mode) of the main
// window. Each keeps its texts from one use to the next, as it is only ever hidden. It searches
// nothing itself: its buttons raise signals that the main window answers. There are no
// direction, case or whole-word controls: the search always runs forward and ignores case.
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Find, Replace };

    // The longest find or replacement text the dialog takes.
    static constexpr int MaxTextLength = 255;

    explicit FindDialog(Mode mode, QWidget* parent = nullptr);

    Mode mode() const { return mode_; }

    QString FindText() const;
    void SetFindText(const QString& text);
    // Empty in Find mode.
    QString ReplaceText() const;
    void SetReplaceText(const QString& text);

    // Shows the dialog, or brings it to the front when it is already shown, with the find text
    // selected for typing over.
    void Execute();

signals:
    void findNext();
    void replace();
    void replaceAll();

private:
    void updateButtons();

    const Mode mode_;
    QLineEdit* findEdit_ = nullptr;
    QLineEdit* replaceEdit_ = nullptr;
    QPushButton* findNextButton_ = nullptr;
    QPushButton* replaceButton_ = nullptr;
    QPushButton* replaceAllButton_ = nullptr;
};
