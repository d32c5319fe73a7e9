#include <QFile>
#include <QTest>
#include <signal.h>

#include "CPushButton.h"
#include "CSonavistDlg.h"
#include "midi/rtmidi/RtMidiDriver.h"
#include "support/VirtualEx5Process.h"
#include "ui/MessageBoxAnswer.h"
#include "ui/VoiceDialog.h"

// The window sends voices over JACK to sonavist-virtual-ex5, whose client dies meanwhile.
class DeviceLossDialogTest : public QObject {
    Q_OBJECT

private slots:
    void windowStaysUsableWhenTheInstrumentDies();
};

// Killed while the send waits before closing its ports: the job ends and signals and the window
// comes back. The next send finds no device: it logs so, and the window comes back again. No job
// error reaches a message box.
void DeviceLossDialogTest::windowStaysUsableWhenTheInstrumentDies() {
    VirtualEx5Process instrument;
    QVERIFY2(instrument.WaitReady(), instrument.Output().c_str());
    auto driver = std::make_shared<RtMidiDriver>();
    const int out = instrument.OutputIndex(*driver);
    const int in = instrument.InputIndex(*driver);
    QVERIFY(out >= 0 && in >= 0);
    QFile::remove("Sonavist.log");
    VoiceDialog voices;
    voices.Open(driver, in, out);
    CSonavistDlg& dialog = *voices.m_Dialog;
    dialog.m_MidiDelay = 1000;
    voices.Choose("Demo1.s1v");
    MessageBoxAnswer answer;

    const size_t printed = instrument.Output().size();
    voices.DoubleClick("Pf\tI1-001\tVelvet Grand");
    QVERIFY2(instrument.WaitOutput("elements, checksum ok", printed), instrument.Output().c_str());
    instrument.Stop(SIGKILL);
    QVERIFY(dialog.m_Worker);
    QTRY_VERIFY_WITH_TIMEOUT(dialog.m_NoteButton->isEnabled(), 10000);
    QVERIFY(dialog.m_QuitButton->isEnabled());

    voices.DoubleClick("St\tI1-002\tSilk Strings");
    QVERIFY(!dialog.m_NoteButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(dialog.m_NoteButton->isEnabled(), 10000);
    QVERIFY(dialog.m_QuitButton->isEnabled());
    QCOMPARE(answer.m_Texts, QStringList());
    QFile log("Sonavist.log");
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY2(text.contains("SendSysexVoice confirms: Voice sent\n"), text.constData());
    QVERIFY2(text.contains("Cannot open MIDI device for input\r\n"), text.constData());
    voices.Close();
}

QTEST_MAIN(DeviceLossDialogTest)
#include "DeviceLossDialogTest.moc"
