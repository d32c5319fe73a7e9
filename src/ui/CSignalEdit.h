#pragma once

#include <QLineEdit>

#include "conversation/TextSink.h"

// A hidden field through which a job reports its end: the job inserts a text from its own thread
// and waits until the dialog's thread has inserted it and run the field's change handler.
class CSignalEdit : public QLineEdit, public TextSink {
    Q_OBJECT
public:
    explicit CSignalEdit(QWidget* parent = nullptr);
    void InsertText(const char* text) override;

private:
    void Insert(const QString& text);
};
