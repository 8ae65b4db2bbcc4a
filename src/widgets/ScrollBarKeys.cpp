#include "widgets/ScrollBarKeys.h"

#include <QKeyEvent>
#include <QScrollBar>

void ScrollBarKeys::install(QScrollBar& bar)
{
    bar.installEventFilter(new ScrollBarKeys(&bar));
}

bool ScrollBarKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* bar = static_cast<QScrollBar*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        action = QAbstractSlider::SliderSingleStepSub;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        action = QAbstractSlider::SliderSingleStepAdd;
        break;
    case Qt::Key_PageUp:
        action = QAbstractSlider::SliderPageStepSub;
        break;
    case Qt::Key_PageDown:
        action = QAbstractSlider::SliderPageStepAdd;
        break;
    case Qt::Key_Home:
        action = QAbstractSlider::SliderToMinimum;
        break;
    case Qt::Key_End:
        action = QAbstractSlider::SliderToMaximum;
        break;
    default:
        return QObject::eventFilter(watched, event);
    }
    if (!(key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)))
        bar->triggerAction(action);
    return true;
}
