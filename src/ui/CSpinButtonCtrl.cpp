#include "CSpinButtonCtrl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

CSpinButtonCtrl::CSpinButtonCtrl(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), m_Buddy(buddy) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MakeArrow(Qt::UpArrow, 1));
    layout->addWidget(MakeArrow(Qt::DownArrow, -1));
    setFixedWidth(16);
    setFocusPolicy(Qt::NoFocus);
    m_Buddy->installEventFilter(this);
}

QToolButton* CSpinButtonCtrl::MakeArrow(Qt::ArrowType arrow, int delta) {
    auto* button = new QToolButton(this);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    connect(button, &QToolButton::clicked, this, [this, delta] { Step(delta); });
    return button;
}

void CSpinButtonCtrl::SetRange(int lower, int upper) {
    m_Lower = lower;
    m_Upper = upper;
    m_Pos = std::clamp(m_Pos, m_Lower, m_Upper);
}

int CSpinButtonCtrl::GetPos() const {
    bool ok = false;
    const int shown = m_Buddy->text().trimmed().toInt(&ok);
    return ok ? std::clamp(shown, m_Lower, m_Upper) : m_Pos;
}

void CSpinButtonCtrl::Step(int delta) {
    const int position = GetPos();
    emit DeltaPos(position, delta);
    m_Pos = std::clamp(position + delta, m_Lower, m_Upper);
    m_Buddy->setText(QString::number(m_Pos));
}

bool CSpinButtonCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_Buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
