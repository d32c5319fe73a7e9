#include "CPortCombo.h"

#include <QAbstractItemView>

CPortCombo::CPortCombo(QWidget* parent) : QComboBox(parent) {}

void CPortCombo::showPopup() {
    emit DropDown();
    QComboBox::showPopup();
}

// Only a list that was dropped down closes up. The box also hides its list when the window
// hides, which happens while the window is being destroyed, past its handlers.
void CPortCombo::hidePopup() {
    const bool dropped = view()->window()->isVisible();
    QComboBox::hidePopup();
    if (dropped) {
        emit CloseUp();
    }
}

void CPortCombo::Fill(int count, const std::function<QString(int)>& name) {
    const QString selected = currentIndex() >= 0 ? currentText() : QString();
    const auto reselect = [&] {
        setCurrentIndex(selected.isNull() ? -1 : findText(selected, Qt::MatchExactly));
    };
    clear();
    try {
        for (int i = 0; i < count; ++i) {
            addItem(name(i));
        }
    } catch (...) {
        reselect();
        throw;
    }
    reselect();
}
