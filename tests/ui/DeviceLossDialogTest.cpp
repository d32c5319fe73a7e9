#include <signal.h>
#include <QAbstractItemView>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "CPortCombo.h"
#include "CPushButton.h"
#include "CSonavistDlg.h"
#include "midi/jack/JackDriver.h"
#include "support/VirtualEx5Process.h"
#include "ui/MessageBoxAnswer.h"
#include "ui/VoiceDialog.h"

// The window plays sonavist-virtual-ex5 over JACK, and the instrument's client dies in the middle
// of a job. The job ends and signals, the window comes back, and the next job runs too: it finds
// no device, logs so and signals. No job error reaches a message box.
class DeviceLossDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sendLosesTheInstrument();
    void identificationLosesTheInstrument();
    void portListsFollowDevicesThatComeAndGo();

private:
    // Waits until the instrument has taken what the window sent since `printed`, then kills it.
    void KillAfter(const char* text, size_t printed);
    // Sends a voice to the vanished instrument; the window must come back.
    void SendToNoDevice();
    // Drops the output list down with the mouse and closes it again.
    void DropDownOutputs();
    QStringList Outputs() const;
    static bool ServerLists(const QString& port);

    std::unique_ptr<VirtualEx5Process> m_Instrument;
    std::unique_ptr<MessageBoxAnswer> m_Answer;
    VoiceDialog m_Voices;
    CSonavistDlg* m_Dialog = nullptr;
};

// It answers an identification after a second, so that the kill can come first.
void DeviceLossDialogTest::init() {
    m_Instrument =
        std::make_unique<VirtualEx5Process>(std::vector<std::string>{"--latency", "1000"});
    QVERIFY2(m_Instrument->WaitReady(), m_Instrument->Output().c_str());
    auto driver = std::make_shared<JackDriver>();
    const int out = m_Instrument->OutputIndex(*driver);
    const int in = m_Instrument->InputIndex(*driver);
    QVERIFY(out >= 0 && in >= 0);
    QFile::remove("Sonavist.log");
    m_Voices.Open(driver, in, out);
    m_Dialog = m_Voices.m_Dialog.get();
    m_Voices.Choose("Demo1.s1v");
    m_Answer = std::make_unique<MessageBoxAnswer>();
}

void DeviceLossDialogTest::cleanup() {
    QCOMPARE(m_Answer->m_Texts, QStringList());
    m_Voices.Close();
    m_Instrument.reset();
}

void DeviceLossDialogTest::KillAfter(const char* text, size_t printed) {
    QVERIFY2(m_Instrument->WaitOutput(text, printed), m_Instrument->Output().c_str());
    m_Instrument->Stop(SIGKILL);
    QVERIFY(m_Dialog->m_Worker);
    QVERIFY(!m_Dialog->m_QuitButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(m_Dialog->m_QuitButton->isEnabled(), 10000);
    QVERIFY(!m_Dialog->m_Worker);
}

void DeviceLossDialogTest::SendToNoDevice() {
    m_Voices.DoubleClick("St\tI1-002\tSilk Strings");
    QVERIFY(!m_Dialog->m_QuitButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(m_Dialog->m_QuitButton->isEnabled(), 10000);
    QVERIFY(m_Dialog->m_NoteButton->isEnabled());
    QFile log("Sonavist.log");
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY2(text.contains("Cannot open MIDI device for input\r\n"), text.constData());
}

// Killed while the send waits before closing its ports.
void DeviceLossDialogTest::sendLosesTheInstrument() {
    m_Dialog->m_MidiDelay = 1000;
    m_Voices.DoubleClick("Pf\tI1-001\tVelvet Grand");
    KillAfter("elements, checksum ok", 0);
    QVERIFY(m_Dialog->m_NoteButton->isEnabled());
    SendToNoDevice();
}

// Killed after the request reached it, before its answer.
void DeviceLossDialogTest::identificationLosesTheInstrument() {
    m_Dialog->m_Timeout = 300;
    m_Dialog->m_Retries = 1;
    const size_t printed = m_Instrument->Output().size();
    m_Dialog->OnPortCloseUp();  // as after choosing a port, which enables "ID"
    QTest::mouseClick(m_Dialog->m_IdButton, Qt::LeftButton);
    KillAfter("identity request for device 1", printed);
    QCOMPARE(m_Dialog->m_InstrumentEdit->text(), QStringLiteral("No reply to ID request."));
    SendToNoDevice();
}

bool DeviceLossDialogTest::ServerLists(const QString& port) {
    JackDriver driver;
    for (uint32_t i = 0; i < driver.OutCount(); ++i) {
        if (QString::fromStdString(driver.OutName(i)) == port) {
            return true;
        }
    }
    return false;
}

void DeviceLossDialogTest::DropDownOutputs() {
    CPortCombo* ports = m_Dialog->m_MidiOutCombo;
    QTest::mouseClick(ports, Qt::LeftButton);
    // A list found empty does not drop down.
    QTRY_VERIFY(ports->view()->isVisible() || ports->count() == 0);
    if (ports->view()->isVisible()) {
        QTest::keyClick(ports->view(), Qt::Key_Escape);
        QTRY_VERIFY(!ports->view()->isVisible());
    }
}

QStringList DeviceLossDialogTest::Outputs() const {
    const CPortCombo* ports = m_Dialog->m_MidiOutCombo;
    QStringList names;
    for (int i = 0; i < ports->count(); ++i) {
        names << ports->itemText(i);
    }
    return names;
}

// A list that drops down lists the devices present now; the one chosen stays chosen while it is
// there under its name, and a job reaches it at its new index.
void DeviceLossDialogTest::portListsFollowDevicesThatComeAndGo() {
    const QString first = QString::fromStdString(m_Instrument->InPort());
    const QString firstOut = QString::fromStdString(m_Instrument->OutPort());
    QCOMPARE(m_Dialog->m_MidiOutCombo->currentText(), first);
    auto second = std::make_unique<VirtualEx5Process>(std::vector<std::string>{}, "-second");
    QVERIFY2(second->WaitReady(), second->Output().c_str());
    const QString secondIn = QString::fromStdString(second->InPort());
    const QString secondOut = QString::fromStdString(second->OutPort());

    // Appearing: listed after the first, which stays chosen.
    DropDownOutputs();
    QCOMPARE(Outputs(), QStringList({first, secondIn}));
    QCOMPARE(m_Dialog->m_MidiOutCombo->currentText(), first);
    m_Dialog->m_MidiOutCombo->setCurrentIndex(1);
    m_Dialog->m_MidiInCombo->setCurrentIndex(m_Dialog->m_MidiInCombo->findText(secondOut));

    // The first vanishing: the second moves up and stays chosen in both lists.
    m_Instrument->Stop(SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(!ServerLists(first), 10000);  // the server notices in its own time
    DropDownOutputs();
    QCOMPARE(Outputs(), QStringList({secondIn}));
    QCOMPARE(m_Dialog->m_MidiOutCombo->currentIndex(), 0);
    QCOMPARE(m_Dialog->m_MidiInCombo->currentText(), secondOut);

    // Vanishing: nothing chosen. Coming back under the first one's place: listed, not chosen.
    second.reset();
    DropDownOutputs();
    QCOMPARE(Outputs(), QStringList());
    QCOMPARE(m_Dialog->m_MidiOutCombo->currentIndex(), -1);
    m_Instrument = std::make_unique<VirtualEx5Process>();
    QVERIFY2(m_Instrument->WaitReady(), m_Instrument->Output().c_str());
    DropDownOutputs();
    QCOMPARE(Outputs(), QStringList({first}));
    QCOMPARE(m_Dialog->m_MidiOutCombo->currentIndex(), -1);
    QCOMPARE(m_Dialog->m_MidiInCombo->currentIndex(), -1);

    // Chosen again, it answers "ID".
    m_Dialog->m_MidiOutCombo->setCurrentIndex(0);
    m_Dialog->m_MidiInCombo->setCurrentIndex(m_Dialog->m_MidiInCombo->findText(firstOut));
    QTest::mouseClick(m_Dialog->m_IdButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_Dialog->m_QuitButton->isEnabled(), 10000);
    QCOMPARE(m_Dialog->m_InstrumentEdit->text(), QStringLiteral("EX5"));
}

QTEST_MAIN(DeviceLossDialogTest)
#include "DeviceLossDialogTest.moc"
