#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

// Lets one bank file or one folder be dropped on a window; anything else is refused by the
// drag cursor alone, without a box.
class BankDropFilter : public QObject {
    Q_OBJECT
public:
    // open gets the folder, ending in '/', and the bank file's name in it (empty for a folder).
    using Open = std::function<void(const QString& folder, const QString& file)>;

    BankDropFilter(QWidget* window, Open open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True for one bank file or one folder, which is then split into folder and file.
    static bool Target(const QMimeData* data, QString& folder, QString& file);

    Open m_Open;
};
