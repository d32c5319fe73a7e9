#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

// Answers every message box the code under test shows, keeping the texts in order.
class MessageBoxAnswer : public QObject {
public:
    MessageBoxAnswer() {
        connect(&m_Timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_Texts << box->text();
                m_Icons << box->icon();
                box->accept();
            }
        });
        m_Timer.start(5);
    }

    QStringList m_Texts;
    QList<QMessageBox::Icon> m_Icons;

private:
    QTimer m_Timer;
};
