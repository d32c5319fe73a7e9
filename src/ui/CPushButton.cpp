#include "CPushButton.h"

#include <QCoreApplication>
#include <QMouseEvent>

CPushButton::CPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void CPushButton::mousePressEvent(QMouseEvent* event) {
    PostToParent(kPressEvent, event);
    QPushButton::mousePressEvent(event);
}

// A pressed button keeps the mouse, so the release arrives here even off the button.
void CPushButton::mouseReleaseEvent(QMouseEvent* event) {
    PostToParent(kReleaseEvent, event);
    QPushButton::mouseReleaseEvent(event);
}

void CPushButton::PostToParent(QEvent::Type type, QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // The dialog, not the group box that lays the button out.
    QCoreApplication::postEvent(
        window(), new Event(type, property("controlId").toInt(), event->position().toPoint()));
}
