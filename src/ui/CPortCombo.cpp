#include "CPortCombo.h"

CPortCombo::CPortCombo(QWidget* parent) : QComboBox(parent) {}

void CPortCombo::hidePopup() {
    QComboBox::hidePopup();
    emit CloseUp();
}
