#include <QDir>
#include <QTest>

#include "CSignalEdit.h"
#include "CSonavistDlg.h"

class SonavistDlgTest : public QObject {
    Q_OBJECT
private slots:
    void screenshotAfterStartUp();
};

void SonavistDlgTest::screenshotAfterStartUp() {
    CSonavistDlg dialog;
    dialog.OnInitDialog();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.m_IdentDoneEdit->InsertText("Done");
    const QString folder = qEnvironmentVariable("SONAVIST_SCREENSHOTS");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(dialog.grab().save(folder + "/dialog.png"));
}

QTEST_MAIN(SonavistDlgTest)
#include "SonavistDlgTest.moc"
