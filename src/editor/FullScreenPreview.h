#pragma once

#include <QWidget>
#include <memory>

class Browser;
class Platform;

namespace Ui {
class TForm2;
}

// The full-screen preview: a borderless window over everything else that shows the document's
// saved file in its own browser. Closing only hides it; it keeps its page for the next time.
class TForm2 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm2(Platform& platform, QWidget* parent = nullptr);
    ~TForm2() override;

    // Shows the window (it stays shown if it already is) sized for the layout class.
    void showFullScreenPreview(int screenMode);
    // Loads `path`, a page in `charset` unless it declares its own.
    void navigate(const QString& path, const QByteArray& charset);
    Browser* browser() const { return WebBrowser1; }

public slots:
    void Action1Execute();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void FormShow();

    std::unique_ptr<Ui::TForm2> ui;
    Browser* WebBrowser1 = nullptr;
    int screenMode_ = 800;
};
