#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Up and down arrows attached to a number field. Each step is announced with the current
// position before the arrows move it; the field then shows the new position, kept in range.
class CSpinButtonCtrl : public QWidget {
    Q_OBJECT
public:
    CSpinButtonCtrl(QLineEdit* buddy, QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    int Lower() const { return m_Lower; }
    int Upper() const { return m_Upper; }
    // The field's number when it is one, held within the range; else the last position.
    int GetPos() const;
    void Step(int delta);

signals:
    void DeltaPos(int position, int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* MakeArrow(Qt::ArrowType arrow, int delta);

    QLineEdit* m_Buddy;
    int m_Lower = 0;
    int m_Upper = 100;
    int m_Pos = 0;
};
