#include "CSignalEdit.h"

#include <QThread>

CSignalEdit::CSignalEdit(QWidget* parent) : QLineEdit(parent) {
    hide();
    setFocusPolicy(Qt::NoFocus);
}

void CSignalEdit::InsertText(const char* text) {
    const QString inserted = QString::fromLocal8Bit(text);
    if (QThread::currentThread() == thread()) {
        Insert(inserted);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, inserted] { Insert(inserted); }, Qt::BlockingQueuedConnection);
}

// What the field holds has been handled already, so it is emptied quietly first: a full field
// would take no more text and signal no more, and a long one costs time at every insertion.
void CSignalEdit::Insert(const QString& text) {
    {
        const QSignalBlocker quiet(this);
        clear();
    }
    insert(text);
}
