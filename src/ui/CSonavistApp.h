#pragma once

#include <QApplication>

// The application: runs the main dialog once and ends when it closes.
class CSonavistApp : public QApplication {
    Q_OBJECT
public:
    CSonavistApp(int& argc, char** argv);
    // False: the program ends when the dialog has ended, with no message loop of its own.
    bool InitInstance();
};
