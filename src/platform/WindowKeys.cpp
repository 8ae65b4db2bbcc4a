#include "platform/WindowKeys.h"

#include <QAction>
#include <QApplication>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

namespace {

// Watches the window for an Enter that its controls let through.
class EnterPressesDefault : public QObject
{
public:
    explicit EnterPressesDefault(QWidget& window) : QObject(&window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &window_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        QPushButton* button = WindowKeys::buttonForEnter(window_, window_.focusWidget());
        if (!button)
            return false;
        button->click();
        return true;
    }

private:
    QWidget& window_;
};

bool canPress(const QPushButton* button)
{
    return button->isVisible() && button->isEnabled();
}

} // namespace

namespace WindowKeys {

QAction* closeOnEscape(QWidget& window, std::function<void()> close)
{
    auto* action = new QAction(&window);
    action->setObjectName(QStringLiteral("closeOnEscape"));
    action->setShortcut(Qt::Key_Escape);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, &window, std::move(close));
    return action;
}

void pressDefaultOnEnter(QWidget& window)
{
    window.installEventFilter(new EnterPressesDefault(window));
}

QPushButton* buttonForEnter(QWidget& window, QWidget* focus)
{
    if (auto* focused = qobject_cast<QPushButton*>(focus);
        focused && canPress(focused) && focused->window() == &window)
        return focused;
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->isDefault() && canPress(button))
            return button;
    return nullptr;
}

QAction* openMenuOnF10(QWidget& window, QMenuBar& bar)
{
    auto* action = new QAction(&window);
    action->setObjectName(QStringLiteral("openMenuOnF10"));
    action->setShortcut(Qt::Key_F10);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, &bar, [&bar] {
        const QList<QAction*> menus = bar.actions();
        for (QAction* menu : menus)
            if (menu->isVisible() && menu->isEnabled() && menu->menu()) {
                bar.setActiveAction(menu);
                return;
            }
    });
    return action;
}

void showFocusMark(QWidget& widget)
{
    auto* frame = new QFocusFrame(widget.parentWidget());
    frame->setObjectName(widget.objectName() + QStringLiteral("FocusMark"));
    QObject::connect(qApp, &QApplication::focusChanged, frame,
                     [frame, marked = QPointer<QWidget>(&widget)](QWidget*, QWidget* now) {
                         frame->setWidget(marked && now == marked ? marked.data() : nullptr);
                     });
}

} // namespace WindowKeys
