#include <sys/stat.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>
#include <cstdio>

#include "Beeper.h"
#include "CSonavistDlg.h"
#include "ui/BankRows.h"
#include "ui/MessageBoxAnswer.h"
#include "ui/WindowUser.h"

namespace {

// Control ids of the window.
constexpr int kQuit = 2;
constexpr int kMinor = 3;
constexpr int kMajor = 4;
constexpr int kTrill = 5;
constexpr int kId = 6;
constexpr int kNote = 7;
constexpr int kMidiIn = 1004;
constexpr int kMidiOut = 1005;
constexpr int kDeviceNo = 1006;
constexpr int kDeviceNoSpin = 1007;
constexpr int kInstrument = 1009;
constexpr int kTree = 1010;
constexpr int kSysexDelay = 1013;
constexpr int kSysexDelaySpin = 1014;
constexpr int kMidiDelay = 1016;
constexpr int kMidiDelaySpin = 1017;
constexpr int kPathLine = 1021;
constexpr int kFiles = 1022;
constexpr int kVoices = 1023;
constexpr int kCatOrder = 1026;
constexpr int kShowInits = 1027;
constexpr int kOnTop = 1028;

using Notes = QList<QPair<int, int>>;

Notes NoteOns(const QList<int>& notes, int velocity) {
    Notes ons;
    for (const int note : notes) {
        ons.append({note, velocity});
    }
    return ons;
}

const QList<int> kOffs = {60, 63, 64, 67, 72};
const QString kVelvetGrand = QStringLiteral("Pf\tI1-001\tVelvet Grand");

bool Checked(const WindowUser& user, int id) {
    const auto* check = user.Control<QCheckBox>(id);
    return check && check->isChecked();
}

bool OnTop(const WindowUser& user) {
    const QWidget* window = user.Dialog();
    return (window->windowFlags() & Qt::WindowStaysOnTopHint) &&
           (!window->windowHandle() ||
            (window->windowHandle()->flags() & Qt::WindowStaysOnTopHint));
}

Qt::CursorShape Cursor(const WindowUser& user) {
    return user.Dialog()->cursor().shape();
}

QString Demo(const char* name) {
    return QStringLiteral(SONAVIST_DEMO_BANKS) + name;
}

}  // namespace

class WindowUseTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsFromSettings_data();
    void startsFromSettings();
    void focusAloneChoosesNothing();
    void onTopKeepsWindowAndLoop_data();
    void onTopKeepsWindowAndLoop();
    void bankListedWithOptions();
    void voiceSent_data();
    void voiceSent();
    void returnEndsOnlyOnQuit_data();
    void returnEndsOnlyOnQuit();
    void loadErrorLeavesNothingToSend_data();
    void loadErrorLeavesNothingToSend();
    void namesOfAnyBytesListedAndOpened();
    void auditionPlaysWhileHeld_data();
    void auditionPlaysWhileHeld();
    void fieldsTypedAndStepped();
    void numbersOutOfRangeRefused_data();
    void numbersOutOfRangeRefused();
    void launchDuringJobBeeps();
    void busyWhileJobRuns();
    void treeShowsSavedFolder_data();
    void treeShowsSavedFolder();
    void listsNeedNoSidewaysScrolling();
    void quitShowsKeyboardFocus();
    void windowEnds_data();
    void windowEnds();

private:
    std::unique_ptr<WindowUser> m_User;
};

void WindowUseTest::init() {
    m_User = std::make_unique<WindowUser>();
    QFile::remove("Sonavist.log");
}

void WindowUseTest::cleanup() {
    m_User.reset();
}

void WindowUseTest::startsFromSettings_data() {
    QTest::addColumn<bool>("saved");
    QTest::newRow("first run") << false;
    QTest::newRow("saved settings") << true;
}

// The start-up identification shows while it runs; the fields show the settings; the tree opens
// at the saved folder once the identification has ended.
void WindowUseTest::startsFromSettings() {
    QFETCH(bool, saved);
    WindowUser& user = *m_User;
    if (saved) {
        user.SaveSettings(user.Volume(), 1);
    }
    user.Run([&] {
        QCOMPARE(user.Text(kInstrument), QStringLiteral("Identifying..."));
        QCOMPARE(Cursor(user), Qt::BusyCursor);
        QVERIFY(!user.Enabled(kQuit) && !user.Enabled(kId));
        QVERIFY(user.WaitIdle());
        QCOMPARE(user.Text(kInstrument), saved ? QStringLiteral("EX5") : QString());
        QCOMPARE(Cursor(user), Qt::ArrowCursor);
        QCOMPARE(user.Text(kDeviceNo), QStringLiteral("1"));
        QCOMPARE(user.Text(kSysexDelay), saved ? QStringLiteral("2") : QStringLiteral("0"));
        QCOMPARE(user.Text(kMidiDelay), saved ? QStringLiteral("1000") : QStringLiteral("0"));
        const QString port = saved ? QStringLiteral("Sonavist Virtual EX5") : QString();
        QCOMPARE(user.Control<QComboBox>(kMidiIn)->currentText(), port);
        QCOMPARE(user.Control<QComboBox>(kMidiOut)->currentText(), port);
        QCOMPARE(Checked(user, kOnTop), saved);
        QCOMPARE(OnTop(user), saved);
        QVERIFY(!user.Enabled(kNote) && !user.Enabled(kCatOrder) && !user.Enabled(kShowInits));
        QCOMPARE(user.Rows(kFiles),
                 saved ? QStringList({"Demo1.s1v", "Demo2.s1v"}) : QStringList());
        QCOMPARE(user.Text(kPathLine), saved ? QString::fromUtf8(user.Volume()) : QString());
        const auto selected = user.Control<QTreeWidget>(kTree)->selectedItems();
        QCOMPARE(selected.size(), saved ? 1 : 0);
        QVERIFY(user.Press(Qt::Key_Escape));
        QVERIFY(!user.WindowOpen());
    });
    QCOMPARE(user.StoredSetting("keepontop"), saved ? "hex:01,00,00,00" : "hex:00,00,00,00");
    QCOMPARE(user.StoredSetting("Path"), saved ? '"' + user.Volume() + '"' : QByteArray("\"\""));
}

// Tabbing through the tree and the file list after a first run's identification leaves both
// without a choice; Return chooses the file that has the focus.
void WindowUseTest::focusAloneChoosesNothing() {
    WindowUser& user = *m_User;
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(user.Click(kInstrument));
        QVERIFY(user.Press(Qt::Key_Tab));
        QCOMPARE(user.Dialog()->focusWidget(), user.Control(kTree));
        QVERIFY(user.Control<QTreeWidget>(kTree)->selectedItems().isEmpty());
        QCOMPARE(user.Text(kPathLine), QString());
        QVERIFY(user.Rows(kFiles).isEmpty());
        // The arrow keys choose.
        QVERIFY(user.Press(Qt::Key_Down));
        QVERIFY(user.Press(Qt::Key_Up));
        QCOMPARE(user.Text(kPathLine), QString::fromUtf8(user.Volume()));
        QVERIFY(user.Click(kInstrument));
        QVERIFY(user.Press(Qt::Key_Tab));
        QVERIFY(user.Press(Qt::Key_Tab));
        QCOMPARE(user.Dialog()->focusWidget(), user.Control(kFiles));
        QVERIFY(user.Rows(kVoices).isEmpty());
        QVERIFY(!user.Enabled(kCatOrder));
        QVERIFY(user.Press(Qt::Key_Return));
        QCOMPARE(user.Rows(kVoices), BankRows::Shown(user.VolumePath("Demo1.s1v"), {}));
        QVERIFY(user.Press(Qt::Key_Escape));
    });
    QCOMPARE(user.StoredSetting("Path"), '"' + user.Volume() + '"');
}

void WindowUseTest::onTopKeepsWindowAndLoop_data() {
    QTest::addColumn<int>("saved");
    QTest::newRow("clear at start") << 0;
    QTest::newRow("ticked at start") << 1;
}

// The window stays where it is, open and in its modal loop, however often the box changes; the
// last state is saved at the end. Each click is a step of its own, so that the loop must go on for
// the next one to run.
void WindowUseTest::onTopKeepsWindowAndLoop() {
    QFETCH(int, saved);
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume(), saved);
    QRect place;
    int clicks = 0;
    const auto click = [&] {
        QVERIFY(user.Click(kOnTop));
        const bool ticked = (saved + ++clicks) % 2 == 1;
        QVERIFY(user.WindowOpen());
        QCOMPARE(Checked(user, kOnTop), ticked);
        QCOMPARE(OnTop(user), ticked);
        QCOMPARE(user.Dialog()->geometry(), place);
    };
    const int result = user.Run({[&] {
                                     QVERIFY(user.WaitIdle());
                                     place = user.Dialog()->geometry();
                                 },
                                 click, click, click,
                                 [&] {
                                     QVERIFY(user.ChooseBank("Demo1.s1v"));
                                     QVERIFY(user.DoubleClickRow(kVoices, kVelvetGrand));
                                     QVERIFY(user.WaitForVoice("Velvet Grand"));
                                     QVERIFY(user.WaitIdle());
                                     QVERIFY(user.Click(kQuit));
                                     QVERIFY(!user.WindowOpen());
                                 }});
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(user.StoredSetting("keepontop"), saved ? "hex:00,00,00,00" : "hex:01,00,00,00");
}

void WindowUseTest::bankListedWithOptions() {
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    const QString bank = user.VolumePath("Demo1.s1v");
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(user.ChooseBank("Demo1.s1v"));
        QCOMPARE(user.Rows(kVoices), BankRows::Shown(bank, {}));
        QVERIFY(user.Enabled(kCatOrder) && user.Enabled(kShowInits));
        QVERIFY(user.ClickRow(kVoices, QStringLiteral("Ba\tI2-002\tSynth Bass")));
        QVERIFY(user.Click(kCatOrder));
        QCOMPARE(user.Rows(kVoices), BankRows::Shown(bank, {"--cat-order"}));
        const auto* voices = user.Control<QListWidget>(kVoices);
        QCOMPARE(voices->selectedItems().value(0)->text(),
                 QStringLiteral("Ba\tI2-002\tSynth Bass"));
        // With Cat Order checked the rows are only re-sorted until they are next built.
        QVERIFY(user.Click(kShowInits));
        QCOMPARE(user.Rows(kVoices), BankRows::Shown(bank, {"--cat-order"}));
        QVERIFY(user.Click(kCatOrder));
        QCOMPARE(user.Rows(kVoices), BankRows::Shown(bank, {"--show-inits"}));
        QVERIFY(user.Control<QListWidget>(kVoices)->selectedItems().isEmpty());
        QVERIFY(user.Click(kShowInits));
        QCOMPARE(user.Rows(kVoices), BankRows::Shown(bank, {}));
    });
}

void WindowUseTest::voiceSent_data() {
    QTest::addColumn<bool>("byReturn");
    QTest::addColumn<QString>("row");
    QTest::newRow("double-click, four elements") << false << kVelvetGrand;
    QTest::newRow("Return, one element") << true << "Ba\tI1-003\tDeep Finger";
}

// The instrument holds the voice's dump; the audition follows.
void WindowUseTest::voiceSent() {
    QFETCH(bool, byReturn);
    QFETCH(QString, row);
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(user.ChooseBank("Demo1.s1v"));
        if (byReturn) {
            QVERIFY(user.ClickRow(kVoices, row));
            QVERIFY(user.Press(Qt::Key_Return));
        } else {
            QVERIFY(user.DoubleClickRow(kVoices, row));
        }
        QVERIFY(!user.Enabled(kQuit) && !user.Enabled(kNote));
        QVERIFY(user.WaitIdle());
        QVERIFY(user.Enabled(kNote) && user.Enabled(kTrill));
        QVERIFY(user.WaitForVoice(row.section('\t', 2)));
        const auto voice = user.Instrument().LastVoice();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(voice->dump.data()),
                            qsizetype(voice->dump.size())),
                 BankRows::DumpOf(Demo("Demo1.s1v"), row.toLatin1()));
    });
}

void WindowUseTest::returnEndsOnlyOnQuit_data() {
    QTest::addColumn<int>("clicked");
    QTest::addColumn<int>("backTabs");
    QTest::addColumn<bool>("ends");
    QTest::newRow("Device No field") << kDeviceNo << 0 << false;
    QTest::newRow("file list") << kFiles << 0 << false;
    QTest::newRow("voice list, nothing selected") << kVoices << 0 << false;
    QTest::newRow("Cat Order") << kCatOrder << 0 << false;
    QTest::newRow("Quit") << kDeviceNo << 3 << true;
}

// Return on a control other than "Quit" leaves the window open; on "Quit" it ends it.
void WindowUseTest::returnEndsOnlyOnQuit() {
    QFETCH(int, clicked);
    QFETCH(int, backTabs);
    QFETCH(bool, ends);
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        if (clicked == kFiles || clicked == kCatOrder) {
            QVERIFY(user.ChooseBank("Demo2.s1v"));
        }
        if (clicked != kFiles) {
            QVERIFY(user.Click(clicked));
        }
        for (int i = 0; i < backTabs; ++i) {
            QVERIFY(user.Press(Qt::Key_Backtab, Qt::ShiftModifier));
        }
        const size_t received = user.Received();
        QVERIFY(user.Press(Qt::Key_Return));
        QCOMPARE(user.WindowOpen(), !ends);
        QVERIFY(user.WaitIdle());
        QCOMPARE(user.Received(), received);
    });
}

void WindowUseTest::loadErrorLeavesNothingToSend_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("short") << "Short.s1v"
                           << "SonavistDlg.cpp:1124 Cannot read voice file #1";
    QTest::newRow("gone since listed") << "Gone.s1v"
                                       << "SonavistDlg.cpp:1118 Cannot open input file #1";
    QTest::newRow("folder") << "Folder.s1v"
                            << "SonavistDlg.cpp:1124 Cannot read voice file #1";
}

// After the error the voice list is empty, whatever the options do next.
void WindowUseTest::loadErrorLeavesNothingToSend() {
    QFETCH(QString, file);
    QFETCH(QString, message);
    WindowUser& user = *m_User;
    QFile demo(Demo("Demo1.s1v"));
    QVERIFY(demo.open(QIODevice::ReadOnly));
    for (const char* name : {"Short.s1v", "Gone.s1v"}) {
        QFile bad(user.VolumePath(name));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write(demo.read(1000)) == 1000);
    }
    QVERIFY(QDir().mkpath(user.VolumePath("Folder.s1v")));
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(QFile::remove(user.VolumePath("Gone.s1v")));
        QVERIFY(user.ChooseBank("Demo2.s1v"));
        QVERIFY(!user.Rows(kVoices).isEmpty());
        MessageBoxAnswer answer;
        QVERIFY(user.ChooseBank(file));
        QTRY_COMPARE_WITH_TIMEOUT(answer.m_Texts, QStringList{message}, WindowUser::kPatience);
        QCOMPARE(user.Rows(kVoices), QStringList());
        QVERIFY(user.Click(kCatOrder));
        QVERIFY(user.Click(kShowInits));
        QVERIFY(user.Click(kCatOrder));
        QCOMPARE(user.Rows(kVoices), QStringList());
        QVERIFY(!user.Enabled(kNote));
        QVERIFY(user.Enabled(kQuit));
    });
    QVERIFY(!user.Instrument().LastVoice());
}

// A folder and a bank whose names are not UTF-8 are listed readably, opened by their bytes, and
// the folder is saved as those bytes.
void WindowUseTest::namesOfAnyBytesListedAndOpened() {
    WindowUser& user = *m_User;
    const QByteArray folder = user.Volume() + "dir\xe9";
    QVERIFY(QDir().mkpath(QString::fromUtf8(user.Volume() + "sub")));
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    QVERIFY(QFile::copy(Demo("Demo2.s1v"), user.VolumePath("sub/x.s1v")));
    QCOMPARE(::rename(QFile::encodeName(user.VolumePath("sub/x.s1v")).constData(),
                      (folder + "/caf\xe9.s1v").constData()),
             0);
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(user.OpenFolder({"Volume", QStringLiteral("dir\u00e9")}));
        QCOMPARE(user.Rows(kFiles), QStringList{QStringLiteral("caf\u00e9.s1v")});
        QCOMPARE(user.Text(kPathLine), QString::fromLatin1(folder + '/'));
        QVERIFY(user.ChooseBank(QStringLiteral("caf\u00e9.s1v")));
        QCOMPARE(user.Rows(kVoices), BankRows::Shown(Demo("Demo2.s1v"), {}));
        QVERIFY(user.Press(Qt::Key_Escape));
    });
    QCOMPARE(user.StoredSetting("Path"), '"' + folder + "/\"");
}

void WindowUseTest::auditionPlaysWhileHeld_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QList<int>>("notes");
    QTest::newRow("Note") << kNote << QList<int>{60};
    QTest::newRow("Major") << kMajor << QList<int>{60, 64, 67};
    QTest::newRow("Minor") << kMinor << QList<int>{60, 63, 67};
    QTest::newRow("Trill") << kTrill << QList<int>{60, 64, 67, 72};
}

// The notes sound from the press until the release.
void WindowUseTest::auditionPlaysWhileHeld() {
    QFETCH(int, button);
    QFETCH(QList<int>, notes);
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(user.ChooseBank("Demo1.s1v"));
        QVERIFY(user.DoubleClickRow(kVoices, kVelvetGrand));
        QVERIFY(user.WaitIdle());
        QVERIFY(user.WaitForVoice("Velvet Grand"));
        const size_t first = user.Received();
        QWidget* pressed = user.Control(button);
        QTest::mousePress(pressed, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(user.NotesFrom(first), NoteOns(notes, 64), WindowUser::kPatience);
        QCOMPARE(user.Instrument().SoundingNotes().size(), size_t(notes.size()));
        QTest::mouseRelease(pressed, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(user.NotesFrom(first), NoteOns(notes, 64) + NoteOns(kOffs, 0),
                                  WindowUser::kPatience);
        QVERIFY(user.Instrument().SoundingNotes().empty());
    });
}

// Typed numbers reach a job through "ID"; the arrows step within their ranges; what the fields
// held at the end is saved.
void WindowUseTest::fieldsTypedAndStepped() {
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(user.Type(kDeviceNo, "16"));
        QVERIFY(user.Step(kDeviceNoSpin, true));
        QCOMPARE(user.Text(kDeviceNo), QStringLiteral("16"));
        QVERIFY(user.Type(kSysexDelay, "4"));
        QVERIFY(user.Step(kSysexDelaySpin, false));
        QCOMPARE(user.Text(kSysexDelay), QStringLiteral("5"));
        QVERIFY(user.Step(kSysexDelaySpin, true));
        QCOMPARE(user.Text(kSysexDelay), QStringLiteral("6"));
        QVERIFY(user.Type(kMidiDelay, "70"));
        QVERIFY(user.Press(Qt::Key_Down));
        QCOMPARE(user.Text(kMidiDelay), QStringLiteral("69"));
        QVERIFY(user.Type(kDeviceNo, "127"));
        // "ID" is offered again once a port list has been opened and closed.
        QVERIFY(!user.Enabled(kId));
        QVERIFY(user.OpenAndClosePortList(kMidiOut));
        QVERIFY(user.Click(kId));
        QVERIFY(user.WaitIdle());
        QCOMPARE(user.Text(kInstrument), QStringLiteral("EX5"));
        QVERIFY(user.Press(Qt::Key_Escape));
    });
    QCOMPARE(user.StoredSetting("deviceno"), "hex:7f,00,00,00");
    QCOMPARE(user.StoredSetting("delay"), "hex:06,00,00,00");
    QCOMPARE(user.StoredSetting("mididelay"), "hex:45,00,00,00");
}

void WindowUseTest::numbersOutOfRangeRefused_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("device no 128") << kDeviceNo << "128"
                                   << "Please enter an integer between 0 and 127.";
    QTest::newRow("sysex delay 60001") << kSysexDelay << "60001"
                                       << "Please enter an integer between 0 and 60000.";
    QTest::newRow("midi delay 999999999") << kMidiDelay << "999999999"
                                          << "Please enter an integer between 0 and 60000.";
    QTest::newRow("empty device no") << kDeviceNo << ""
                                     << "Please enter a positive integer.";
}

// Refused with a message before anything is sent; the window goes on.
void WindowUseTest::numbersOutOfRangeRefused() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(user.Type(field, typed));
        QVERIFY(user.OpenAndClosePortList(kMidiIn));
        const size_t received = user.Received();
        MessageBoxAnswer answer;
        QVERIFY(user.Click(kId));
        QTRY_COMPARE_WITH_TIMEOUT(answer.m_Texts, QStringList{message}, WindowUser::kPatience);
        QCOMPARE(user.Dialog()->focusWidget(), user.Control(field));
        QCOMPARE(user.Text(kInstrument), QStringLiteral("EX5"));
        QVERIFY(user.Enabled(kQuit) && user.Enabled(kId));
        QCOMPARE(user.Received(), received);
        QVERIFY(user.Type(field, "3"));
        QVERIFY(user.Click(kId));
        QVERIFY(user.WaitIdle());
        QVERIFY(user.Received() > received);
    });
}

// "ID" and a double-click while a send runs both beep and start nothing.
void WindowUseTest::launchDuringJobBeeps() {
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(user.OpenAndClosePortList(kMidiIn));
        QVERIFY(user.ChooseBank("Demo1.s1v"));
        QVERIFY(user.DoubleClickRow(kVoices, kVelvetGrand));
        const int beeps = Beeper::Count();
        // The job cannot end before this thread handles its completion.
        QVERIFY(user.Click(kId));
        QCOMPARE(Beeper::Count(), beeps + 1);
        QCOMPARE(user.Text(kInstrument), QStringLiteral("EX5"));
        QVERIFY(user.DoubleClickRow(kVoices, QStringLiteral("Ba\tI1-003\tDeep Finger")));
        QCOMPARE(Beeper::Count(), beeps + 2);
        QVERIFY(user.WaitIdle());
        QVERIFY(user.WaitForVoice("Velvet Grand"));
    });
}

// The busy cursor shows from a launch until its completion is handled.
void WindowUseTest::busyWhileJobRuns() {
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QCOMPARE(Cursor(user), Qt::BusyCursor);
        QVERIFY(user.WaitIdle());
        QCOMPARE(Cursor(user), Qt::ArrowCursor);
        QVERIFY(user.ChooseBank("Demo1.s1v"));
        QVERIFY(user.DoubleClickRow(kVoices, kVelvetGrand));
        QCOMPARE(Cursor(user), Qt::BusyCursor);
        QVERIFY(user.WaitIdle());
        QCOMPARE(Cursor(user), Qt::ArrowCursor);
    });
}

void WindowUseTest::treeShowsSavedFolder_data() {
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("siblings");
    QTest::addColumn<int>("longName");
    QTest::newRow("shallow") << 2 << 0 << 0;
    QTest::newRow("below many siblings") << 1 << 300 << 0;
    QTest::newRow("beside a long name") << 3 << 0 << 150;
    QTest::newRow("deep") << 30 << 0 << 0;
}

// The saved folder is selected and in sight; the tree is scrolled sideways only when the
// folder's name would not show otherwise.
void WindowUseTest::treeShowsSavedFolder() {
    QFETCH(int, depth);
    QFETCH(int, siblings);
    QFETCH(int, longName);
    WindowUser& user = *m_User;
    QString relative;
    for (int level = 0; level < depth; ++level) {
        relative += QStringLiteral("L%1/").arg(level, 2, 10, QLatin1Char('0'));
    }
    QVERIFY(QDir().mkpath(user.VolumePath(relative + "../" + QString(longName, u'n'))));
    QVERIFY(QDir().mkpath(user.VolumePath(relative)));
    for (int i = 0; i < siblings; ++i) {
        QVERIFY(
            QDir().mkpath(user.VolumePath(QStringLiteral("Aside %1").arg(i, 3, 10, QChar('0')))));
    }
    user.SaveSettings(QFile::encodeName(user.VolumePath(relative)));
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        auto* tree = user.Control<QTreeWidget>(kTree);
        const auto selected = tree->selectedItems();
        QCOMPARE(selected.size(), 1);
        const QRect shown = tree->visualItemRect(selected.first());
        const QRect view = tree->viewport()->rect();
        QVERIFY(view.contains(QPoint(view.center().x(), shown.center().y())));
        const int sideways = tree->horizontalScrollBar()->value();
        const int name = tree->fontMetrics().horizontalAdvance(selected.first()->text(0));
        QVERIFY(shown.left() >= 0 && shown.left() + name < view.width());
        QCOMPARE(sideways > 0, depth > 10);
    });
}

// Rows that fit show no sideways scroll bar.
void WindowUseTest::listsNeedNoSidewaysScrolling() {
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QVERIFY(user.ChooseBank("Demo1.s1v"));
        for (const int id : {kFiles, kVoices}) {
            auto* list = user.Control<QListWidget>(id);
            QCoreApplication::processEvents();
            QVERIFY2(!list->horizontalScrollBar()->isVisible(), qPrintable(QString::number(id)));
        }
    });
}

// "Quit" looks different with the keyboard focus than without.
void WindowUseTest::quitShowsKeyboardFocus() {
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    user.Run([&] {
        QVERIFY(user.WaitIdle());
        QWidget* quit = user.Control(kQuit);
        QVERIFY(user.Click(kDeviceNo));
        const QImage without = quit->grab().toImage();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(user.Press(Qt::Key_Backtab, Qt::ShiftModifier));
        }
        QVERIFY(quit->hasFocus());
        QVERIFY(quit->grab().toImage() != without);
    });
}

void WindowUseTest::windowEnds_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("Quit") << "Quit";
    QTest::newRow("close button") << "close";
}

// Refused while a job runs, then ends the window with the settings saved.
void WindowUseTest::windowEnds() {
    QFETCH(QString, how);
    WindowUser& user = *m_User;
    user.SaveSettings(user.Volume());
    const auto end = [&user, &how] {
        if (how == "Escape") {
            return user.Press(Qt::Key_Escape);
        }
        if (how == "Quit") {
            return user.Click(kQuit);
        }
        return user.Dialog()->windowHandle()->close();
    };
    const int result = user.Run([&] {
        (void)end();
        QVERIFY(user.WindowOpen());
        QVERIFY(user.WaitIdle());
        QVERIFY(user.Step(kSysexDelaySpin, true));
        QVERIFY(end() || how == "close");
        QVERIFY(!user.WindowOpen());
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(user.StoredSetting("delay"), "hex:06,00,00,00");
}

QTEST_MAIN(WindowUseTest)
#include "WindowUseTest.moc"
