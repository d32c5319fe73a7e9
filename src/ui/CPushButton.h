#pragma once

#include <QEvent>
#include <QPoint>
#include <QPushButton>

// A button that tells its dialog when the left mouse button goes down on it and when it comes up
// again, so the parent can act for as long as the button is held.
class CPushButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr QEvent::Type kPressEvent = static_cast<QEvent::Type>(QEvent::User + 3);
    static constexpr QEvent::Type kReleaseEvent = static_cast<QEvent::Type>(QEvent::User + 4);

    // Posted to the dialog: the button's control id and the pointer in the button's coordinates.
    class Event : public QEvent {
    public:
        Event(Type type, int controlId, QPoint position)
            : QEvent(type), m_ControlId(controlId), m_Position(position) {}
        int m_ControlId;
        QPoint m_Position;
    };

    explicit CPushButton(const QString& text, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PostToParent(QEvent::Type type, QMouseEvent* event);
};
