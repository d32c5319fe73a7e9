#pragma once

#include <QComboBox>
#include <functional>

// A drop-down list of MIDI devices that tells when it is about to drop down and when its list
// closes, chosen or not.
class CPortCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CPortCombo(QWidget* parent = nullptr);
    void showPopup() override;
    void hidePopup() override;

    // Lists `count` devices afresh, their names read by `name`. The device selected before stays
    // selected when it is listed under the same name, wherever it is now; otherwise nothing is
    // selected. A name that cannot be read ends the list there and its error goes on.
    void Fill(int count, const std::function<QString(int)>& name);

signals:
    void DropDown();
    void CloseUp();
};
