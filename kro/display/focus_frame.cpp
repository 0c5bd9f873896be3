#include "kro/display/focus_frame.h"
#include <QEvent>
#include <QPainter>

namespace kro {

FocusFrame::FocusFrame(QWidget& owner) : QWidget(&owner), owner_(owner)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    owner_.installEventFilter(this);
    follow();
}

bool FocusFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &owner_) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Resize:
        case QEvent::ChildAdded:
            follow();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusFrame::follow()
{
    setGeometry(owner_.rect());
    setVisible(owner_.hasFocus());
    raise();
}

void FocusFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

} // namespace kro
