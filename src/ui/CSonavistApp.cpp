#include "CSonavistApp.h"

#include "CSonavistDlg.h"

CSonavistApp::CSonavistApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Sonavist"));
    setQuitOnLastWindowClosed(false);
}

bool CSonavistApp::InitInstance() {
    CSonavistDlg dialog;
    dialog.DoModal();
    return false;
}
