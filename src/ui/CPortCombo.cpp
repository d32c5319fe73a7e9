#include "CPortCombo.h"

#include <QAbstractItemView>

CPortCombo::CPortCombo(QWidget* parent) : QComboBox(parent) {}

// Only a list that was dropped down closes up. The box also hides its list when the window
// hides, which happens while the window is being destroyed, past its handlers.
void CPortCombo::hidePopup() {
    const bool dropped = view()->window()->isVisible();
    QComboBox::hidePopup();
    if (dropped) {
        emit CloseUp();
    }
}
