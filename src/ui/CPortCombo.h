#pragma once

#include <QComboBox>

// A drop-down list of MIDI devices that tells when its list closes, chosen or not.
class CPortCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CPortCombo(QWidget* parent = nullptr);
    void hidePopup() override;

signals:
    void CloseUp();
};
