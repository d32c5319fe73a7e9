#include <QCoreApplication>

#include "CPortCombo.h"
#include "CPushButton.h"
#include "ui/MessageBoxAnswer.h"
#include "ui/VoiceDialog.h"

namespace {

using Notes = QList<int>;

const Notes kOffs = {60, 63, 64, 67, 72};

// What the instrument received from the index on, as (note, velocity) of channel-1 note ons.
QList<QPair<int, int>> NotesFrom(const VirtualInstrument& instrument, size_t first) {
    QList<QPair<int, int>> notes;
    const auto received = instrument.ReceivedMessages();
    for (size_t i = first; i < received.size(); ++i) {
        const auto& message = received[i];
        notes.append(message.size() == 3 && message[0] == 0x90
                         ? qMakePair(int(message[1]), int(message[2]))
                         : qMakePair(-1, -1));
    }
    return notes;
}

QList<QPair<int, int>> NoteOns(const Notes& notes, int velocity) {
    QList<QPair<int, int>> ons;
    for (const int note : notes) {
        ons.append({note, velocity});
    }
    return ons;
}

}  // namespace

class AuditionTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_Voices.Close(); }
    void pressPlaysReleaseSilences_data();
    void pressPlaysReleaseSilences();
    void releaseDuringTrillFollowsIt();
    void refusedWhileJobRuns();
    void missingDeviceReported_data();
    void missingDeviceReported();

private:
    // Presses and releases as the mouse would, or posts what a button would for an id no
    // audition button has.
    void Press(int id, bool press);
    size_t Received() const { return m_Voices.m_Instrument->ReceivedMessages().size(); }

    VoiceDialog m_Voices;
};

void AuditionTest::init() {
    m_Voices.Open();
    m_Voices.Choose("Demo1.s1v");
    m_Voices.Send("Pf\tI1-001\tVelvet Grand");
}

void AuditionTest::Press(int id, bool press) {
    CSonavistDlg& dialog = *m_Voices.m_Dialog;
    if (auto* button = qobject_cast<CPushButton*>(dialog.GetDlgItem(id))) {
        if (press) {
            QTest::mousePress(button, Qt::LeftButton);
        } else {
            QTest::mouseRelease(button, Qt::LeftButton);
        }
        return;
    }
    QCoreApplication::postEvent(&dialog, new CPushButton::Event(press ? CPushButton::kPressEvent
                                                                      : CPushButton::kReleaseEvent,
                                                                id, QPoint(3, 4)));
}

void AuditionTest::pressPlaysReleaseSilences_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<Notes>("notes");
    QTest::newRow("Note") << 7 << Notes{60};
    QTest::newRow("Major") << 4 << Notes{60, 64, 67};
    QTest::newRow("Minor") << 3 << Notes{60, 63, 67};
    QTest::newRow("Trill") << 5 << Notes{60, 64, 67, 72};
    QTest::newRow("any other id") << 6 << Notes{60, 64, 67, 72};
}

void AuditionTest::pressPlaysReleaseSilences() {
    QFETCH(int, id);
    QFETCH(Notes, notes);
    const VirtualInstrument& instrument = *m_Voices.m_Instrument;
    const size_t first = Received();
    Press(id, true);
    QTRY_COMPARE(NotesFrom(instrument, first), NoteOns(notes, 64));
    QCOMPARE(instrument.SoundingNotes().size(), size_t(notes.size()));

    Press(id, false);
    QTRY_COMPARE(NotesFrom(instrument, first), NoteOns(notes, 64) + NoteOns(kOffs, 0));
    QVERIFY(instrument.SoundingNotes().empty());
    // A release with nothing sounding still sends every note off.
    Press(id, false);
    QTRY_COMPARE(NotesFrom(instrument, first),
                 NoteOns(notes, 64) + NoteOns(kOffs, 0) + NoteOns(kOffs, 0));
}

// The release is handled after the press has played the whole trill, pauses included.
void AuditionTest::releaseDuringTrillFollowsIt() {
    const size_t first = Received();
    QElapsedTimer clock;
    clock.start();
    Press(5, true);
    Press(5, false);
    QTRY_COMPARE(NotesFrom(*m_Voices.m_Instrument, first),
                 NoteOns({60, 64, 67, 72}, 64) + NoteOns(kOffs, 0));
    QVERIFY(clock.elapsed() >= 3 * 400);
    QVERIFY(m_Voices.m_Instrument->SoundingNotes().empty());
}

void AuditionTest::refusedWhileJobRuns() {
    m_Voices.DoubleClick("Ba\tI1-003\tDeep Finger");
    const size_t first = Received();
    Press(7, true);
    Press(7, false);
    QTRY_VERIFY(m_Voices.m_Dialog->m_NoteButton->isEnabled());
    QTest::qWait(20);
    QCOMPARE(NotesFrom(*m_Voices.m_Instrument, first), (QList<QPair<int, int>>{{-1, -1}}));
}

void AuditionTest::missingDeviceReported_data() {
    QTest::addColumn<bool>("output");
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("error");
    QTest::newRow("no input") << false << "MidiInWin.cpp:"
                              << " Cannot open MIDI device for input";
    QTest::newRow("no output") << true << "MidiOutWin.cpp:"
                               << " sending MIDI message";
}

// Every action fails before a note goes out; the window goes on and plays once the device is
// chosen again.
void AuditionTest::missingDeviceReported() {
    QFETCH(bool, output);
    QFETCH(QString, module);
    QFETCH(QString, error);
    CSonavistDlg& dialog = *m_Voices.m_Dialog;
    CPortCombo* missing = output ? dialog.m_MidiOutCombo : dialog.m_MidiInCombo;
    missing->setCurrentIndex(-1);
    m_Voices.DoubleClick("Ba\tI1-003\tDeep Finger");
    QTRY_VERIFY(dialog.m_NoteButton->isEnabled());
    const size_t first = Received();
    {
        MessageBoxAnswer answer;
        Press(7, true);
        Press(7, false);
        QTRY_COMPARE(answer.m_Texts.size(), 2);
        for (const QString& text : answer.m_Texts) {
            QVERIFY2(text.startsWith(module) && text.endsWith(error), qPrintable(text));
        }
    }
    QCOMPARE(NotesFrom(*m_Voices.m_Instrument, first), {});
    QVERIFY(dialog.m_NoteButton->isEnabled() && dialog.m_QuitButton->isEnabled());
    QCOMPARE(dialog.m_VoiceList->count(), 29);

    missing->setCurrentIndex(0);
    m_Voices.Send("Ba\tI1-003\tDeep Finger");
    const size_t later = Received();
    Press(7, true);
    QTRY_COMPARE(NotesFrom(*m_Voices.m_Instrument, later), NoteOns({60}, 64));
    Press(7, false);
    QTRY_COMPARE(NotesFrom(*m_Voices.m_Instrument, later).size(), 6);
}

QTEST_MAIN(AuditionTest)
#include "AuditionTest.moc"
