#include "CSignalEdit.h"

#include <QThread>

CSignalEdit::CSignalEdit(QWidget* parent) : QLineEdit(parent) {
    hide();
    setFocusPolicy(Qt::NoFocus);
}

void CSignalEdit::InsertText(const char* text) {
    const QString inserted = QString::fromLocal8Bit(text);
    if (QThread::currentThread() == thread()) {
        insert(inserted);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, inserted] { insert(inserted); }, Qt::BlockingQueuedConnection);
}
