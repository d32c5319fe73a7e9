#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <random>
#include <thread>

#include "CAboutDlg.h"
#include "CFolderTree.h"
#include "CPortCombo.h"
#include "CPushButton.h"
#include "CSignalEdit.h"
#include "CSonavistDlg.h"
#include "CSpinButtonCtrl.h"
#include "midi/MidiSystem.h"
#include "midi/NoMidiDriver.h"
#include "midi/backends/MidiBackends.h"
#include "platform/Settings.h"
#include "support/FakeFolderSources.h"
#include "ui/MessageBoxAnswer.h"

namespace {

QStringList Rows(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) {
        rows << list->item(i)->text();
    }
    return rows;
}

// Catches what an audition button tells its window.
class ButtonEventLog : public QWidget {
public:
    QList<QPair<QEvent::Type, int>> m_Events;
    QPoint m_LastPosition;

protected:
    bool event(QEvent* event) override {
        if (event->type() == CPushButton::kPressEvent ||
            event->type() == CPushButton::kReleaseEvent) {
            const auto* button = static_cast<CPushButton::Event*>(event);
            m_Events.append({event->type(), button->m_ControlId});
            m_LastPosition = button->m_Position;
            return true;
        }
        return QWidget::event(event);
    }
};

// Lists one input device that is gone by the time its name is read.
class VanishingInput : public NoMidiDriver {
public:
    uint32_t InCount() override { return m_Asked++ == 0 ? 1 : 0; }

private:
    uint32_t m_Asked = 0;
};

void SaveScreenshot(QWidget& window, const char* name) {
    const QString folder = qEnvironmentVariable("SONAVIST_SCREENSHOTS");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(window.grab().save(folder + "/" + name));
}

}  // namespace

class SonavistDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void controlsCarryIdsTextsAndTabOrder();
    void spinAnnouncesThenMoves_data();
    void spinAnnouncesThenMoves();
    void badNumberStopsReadingWithMessage_data();
    void badNumberStopsReadingWithMessage();
    void firstRunShowsEmptySettings_data();
    void firstRunShowsEmptySettings();
    void settingsSavedAtCloseAndRestored();
    void startUpIdentifiesThenFillsTree();
    void typedValueReachesJobOnlyThroughId();
    void closeRefusedWhileJobRuns();
    void secondLaunchRefused();
    void launcherRefusalGivesButtonsBack();
    void portListErrorShownAndWindowOpens();
    void fileListShowsSortedBankFiles();
    void signalEditRunsHandlerOncePerInsert();
    void signalEditSignalsPastItsLength();
    void keepOnTopFollowsCheckBox();
    void auditionButtonsTellPressAndRelease();
    void aboutBoxTexts();
    void screenshotAfterStartUp();

private:
    std::unique_ptr<CSonavistDlg> Open();
    void Finish(CSonavistDlg& dialog);
    void SaveVirtualSettings(const QString& folder);
    QString Folder(const QString& name) const { return m_Dir->path() + "/" + name + "/"; }

    std::unique_ptr<QTemporaryDir> m_Dir;
};

void SonavistDlgTest::initTestCase() {
    MidiSystem::Install(MidiBackends::CreateVirtualOnly());
}

void SonavistDlgTest::init() {
    m_Dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", (m_Dir->path() + "/config").toLocal8Bit());
    QVERIFY(QDir(m_Dir->path()).mkpath("volume/Banks/Sub.s1v"));
    for (const char* file : {"b.s1v", "A.S1V", "a2.s1v", "notes.txt", "b.s1v.bak"}) {
        QFile bank(Folder("volume/Banks") + file);
        QVERIFY(bank.open(QIODevice::WriteOnly));
    }
}

void SonavistDlgTest::cleanup() {
    m_Dir.reset();
}

// A dialog after its start-up, browsing only the test's folder.
std::unique_ptr<CSonavistDlg> SonavistDlgTest::Open() {
    auto dialog = std::make_unique<CSonavistDlg>();
    dialog->SetFolderProviders(std::make_shared<FakeVolumes>(std::vector<Volume>{
                                   {"Volume", Folder("volume").toStdString(), VolumeKind::Fixed}}),
                               std::make_shared<FakeNetwork>());
    dialog->OnInitDialog();
    dialog->show();
    return dialog;
}

// Waits for the running job's completion to be handled.
void SonavistDlgTest::Finish(CSonavistDlg& dialog) {
    QTRY_VERIFY_WITH_TIMEOUT(dialog.m_Worker == nullptr, 20000);
    QVERIFY(dialog.m_QuitButton->isEnabled());
    // The worker goes on from its signal to its end on a thread of its own.
    QTRY_VERIFY(!dialog.m_Launcher->IsBusy());
}

// Both port lists on the virtual instrument, short delays.
void SonavistDlgTest::SaveVirtualSettings(const QString& folder) {
    Settings settings;
    settings.m_CurrentFolder = folder.toStdString();
    settings.m_MidiIn = 0;
    settings.m_MidiOut = 0;
    settings.m_SysexDelay = 5;
    settings.m_MidiDelay = 50;
    Settings::Save(settings);
}

void SonavistDlgTest::controlsCarryIdsTextsAndTabOrder() {
    CSonavistDlg dialog;
    struct Control {
        int id;
        const char* kind;
        const char* text;
    };
    const Control controls[] = {
        {2, "QPushButton", "Quit"},
        {1000, "QGroupBox", "MIDI Parameters"},
        {1001, "QLabel", "MIDI In:"},
        {1003, "QLabel", "Device No:"},
        {1004, "CPortCombo", ""},
        {1005, "CPortCombo", ""},
        {1006, "QLineEdit", "0"},
        {1007, "CSpinButtonCtrl", ""},
        {1008, "QLabel", "Instrument:"},
        {1009, "QLineEdit", ""},
        {1024, "QGroupBox", "Audition"},
        {3, "CPushButton", "Minor..."},
        {4, "CPushButton", "Major..."},
        {5, "CPushButton", "Trill..."},
        {6, "QPushButton", "ID"},
        {1018, "CSignalEdit", ""},
        {1019, "QGroupBox", "Voice Banks"},
        {1010, "CFolderTree", ""},
        {1021, "QLabel", ""},
        {1022, "QListWidget", ""},
        {1023, "QListWidget", ""},
        {1025, "QGroupBox", "Settings"},
        {1026, "QCheckBox", "Cat Order"},
        {1020, "CSignalEdit", ""},
        {1011, "QLabel", "MIDI Out:"},
        {1012, "QLabel", "SysEx Delay:"},
        {1013, "QLineEdit", "0"},
        {1014, "CSpinButtonCtrl", ""},
        {1015, "QLabel", "MIDI Delay:"},
        {1016, "QLineEdit", "0"},
        {1017, "CSpinButtonCtrl", ""},
        {1027, "QCheckBox", "Show Inits"},
        {7, "CPushButton", "Note..."},
        {1028, "QCheckBox", "On top?"},
    };
    QWidget* previous = nullptr;
    for (const Control& control : controls) {
        QWidget* widget = dialog.GetDlgItem(control.id);
        QVERIFY2(widget, qPrintable(QString::number(control.id)));
        QCOMPARE(widget->metaObject()->className(), control.kind);
        const QVariant text = widget->property(widget->inherits("QGroupBox") ? "title" : "text");
        QCOMPARE(text.toString(), QString::fromLatin1(control.text));
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previous) {
                QWidget* next = previous->nextInFocusChain();
                while (!(next->focusPolicy() & Qt::TabFocus)) {
                    next = next->nextInFocusChain();
                }
                QCOMPARE(next->property("controlId").toInt(), control.id);
            }
            previous = widget;
        }
    }
    QVERIFY(dialog.m_IdentDoneEdit->isHidden());
    QVERIFY(dialog.m_SendDoneEdit->isHidden());
}

void SonavistDlgTest::spinAnnouncesThenMoves_data() {
    QTest::addColumn<int>("spinId");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("up");
    QTest::addColumn<uint>("member");
    QTest::addColumn<QString>("shownAfter");
    QTest::newRow("device no at its top") << 1007 << "16" << true << 17u << "16";
    QTest::newRow("device no at its bottom") << 1007 << "1" << false << 0u << "1";
    QTest::newRow("sysex delay inside") << 1014 << "25" << true << 26u << "26";
    QTest::newRow("sysex delay down") << 1014 << "25" << false << 24u << "24";
    QTest::newRow("midi delay at its top") << 1017 << "2000" << true << 2001u << "2000";
}

void SonavistDlgTest::spinAnnouncesThenMoves() {
    QFETCH(int, spinId);
    QFETCH(QString, shown);
    QFETCH(bool, up);
    QFETCH(uint, member);
    QFETCH(QString, shownAfter);
    auto dialog = Open();
    const std::map<int, std::pair<int, uint32_t*>> fields = {{1007, {1006, &dialog->m_DeviceNo}},
                                                             {1014, {1013, &dialog->m_SysexDelay}},
                                                             {1017, {1016, &dialog->m_MidiDelay}}};
    auto* edit = qobject_cast<QLineEdit*>(dialog->GetDlgItem(fields.at(spinId).first));
    uint32_t* value = fields.at(spinId).second;
    edit->setText(shown);

    const auto arrows = dialog->GetDlgItem(spinId)->findChildren<QToolButton*>();
    QCOMPARE(arrows.size(), 2);
    QTest::mouseClick(arrows[up ? 0 : 1], Qt::LeftButton);
    QCOMPARE(*value, member);
    QCOMPARE(edit->text(), shownAfter);

    // The arrow keys on the field step the same way.
    edit->setText(shown);
    QTest::keyClick(edit, up ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(*value, member);

    // Reading the fields back leaves the member at what the field shows.
    QVERIFY(dialog->UpdateData(true));
    QCOMPARE(*value, shownAfter.toUInt());
    Finish(*dialog);
}

void SonavistDlgTest::badNumberStopsReadingWithMessage_data() {
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QList<uint>>("members");
    QTest::addColumn<bool>("refused");
    QTest::newRow("all numbers") << QStringList{"99", "7", "0"} << QList<uint>{99, 7, 0} << false;
    QTest::newRow("blanks around")
        << QStringList{" 12 ", "30", "600"} << QList<uint>{12, 30, 600} << false;
    QTest::newRow("largest") << QStringList{"127", "60000", "60000"}
                             << QList<uint>{127, 60000, 60000} << false;
    QTest::newRow("empty middle") << QStringList{"9", "", "600"} << QList<uint>{9, 1, 1} << true;
    QTest::newRow("too large") << QStringList{"4294967296", "5", "6"} << QList<uint>{1, 1, 1}
                               << true;
    QTest::newRow("negative") << QStringList{"1", "2", "-3"} << QList<uint>{1, 2, 1} << true;
    QTest::newRow("not digits") << QStringList{"1x", "2", "3"} << QList<uint>{1, 1, 1} << true;
}

void SonavistDlgTest::badNumberStopsReadingWithMessage() {
    QFETCH(QStringList, typed);
    QFETCH(QList<uint>, members);
    QFETCH(bool, refused);
    auto dialog = Open();
    Finish(*dialog);
    dialog->m_DeviceNo = dialog->m_SysexDelay = dialog->m_MidiDelay = 1;
    const int ids[] = {1006, 1013, 1016};
    for (int i = 0; i < 3; ++i) {
        qobject_cast<QLineEdit*>(dialog->GetDlgItem(ids[i]))->setText(typed[i]);
    }
    MessageBoxAnswer answer;
    QCOMPARE(dialog->UpdateData(true), !refused);
    QCOMPARE((QList<uint>{dialog->m_DeviceNo, dialog->m_SysexDelay, dialog->m_MidiDelay}), members);
    QCOMPARE(answer.m_Texts,
             refused ? QStringList{"Please enter a positive integer."} : QStringList{});
}

void SonavistDlgTest::firstRunShowsEmptySettings_data() {
    QTest::addColumn<QByteArray>("settingsFile");
    QTest::newRow("no settings file") << QByteArray();
    QByteArray noise(4096, '\0');
    std::mt19937 random(8);
    for (char& byte : noise) {
        byte = static_cast<char>(random());
    }
    QTest::newRow("settings file of random bytes") << noise;
}

// Whatever the settings file holds, the window opens with the defaults and saves a clean file.
void SonavistDlgTest::firstRunShowsEmptySettings() {
    QFETCH(QByteArray, settingsFile);
    const QString path = m_Dir->path() + "/config/Sonavist/HKEY_LOCAL_MACHINE.reg";
    if (!settingsFile.isEmpty()) {
        QVERIFY(QDir().mkpath(m_Dir->path() + "/config/Sonavist"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(settingsFile) == settingsFile.size());
    }
    auto dialog = Open();
    QCOMPARE(qobject_cast<QLineEdit*>(dialog->GetDlgItem(1006))->text(), QStringLiteral("1"));
    QCOMPARE(qobject_cast<QLineEdit*>(dialog->GetDlgItem(1013))->text(), QStringLiteral("0"));
    QCOMPARE(qobject_cast<QLineEdit*>(dialog->GetDlgItem(1016))->text(), QStringLiteral("0"));
    QCOMPARE(dialog->m_MidiInCombo->currentIndex(), -1);
    QCOMPARE(dialog->m_CurrentFolder, QByteArray());
    QVERIFY(!dialog->m_OnTopCheck->isChecked());
    QVERIFY(!dialog->m_NoteButton->isEnabled());
    QVERIFY(!dialog->m_CatOrderCheck->isEnabled());
    Finish(*dialog);
    QCOMPARE(dialog->m_FolderTree->currentItem(), nullptr);
    dialog->reject();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith("REGEDIT4"));
}

void SonavistDlgTest::settingsSavedAtCloseAndRestored() {
    {
        auto dialog = Open();
        Finish(*dialog);
        dialog->m_FolderTree->OpenAt(Folder("volume/Banks").toUtf8());
        QCOMPARE(dialog->m_CurrentFolder, Folder("volume/Banks").toUtf8());
        dialog->m_SysexDelaySpin->Step(1);
        dialog->m_MidiDelaySpin->Step(1);
        dialog->m_DeviceNoSpin->Step(1);
        // Typed but never read back: not saved.
        qobject_cast<QLineEdit*>(dialog->GetDlgItem(1006))->setText("12");
        dialog->m_OnTopCheck->setChecked(true);
        dialog->reject();
        QVERIFY(dialog->isHidden());
    }
    auto dialog = Open();
    QCOMPARE(dialog->m_SysexDelay, 6u);
    QCOMPARE(dialog->m_MidiDelay, 51u);
    QCOMPARE(dialog->m_DeviceNo, 2u);
    QCOMPARE(qobject_cast<QLineEdit*>(dialog->GetDlgItem(1006))->text(), QStringLiteral("2"));
    QVERIFY(dialog->m_OnTopCheck->isChecked());
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(dialog->m_CurrentFolder, Folder("volume/Banks").toUtf8());
    QCOMPARE(dialog->m_FolderTree->currentItem(), nullptr);
    Finish(*dialog);
    QVERIFY(dialog->m_FolderTree->currentItem());
    QCOMPARE(dialog->m_FolderTree->currentItem()->text(0), QStringLiteral("Banks"));
}

void SonavistDlgTest::startUpIdentifiesThenFillsTree() {
    SaveVirtualSettings(Folder("volume/Banks"));
    auto dialog = Open();
    QVERIFY(!dialog->m_IdButton->isEnabled());
    QVERIFY(!dialog->m_QuitButton->isEnabled());
    QCOMPARE(dialog->m_FolderTree->topLevelItemCount(), 0);
    QCOMPARE(dialog->m_InstrumentEdit->text(), QStringLiteral("Identifying..."));
    Finish(*dialog);
    QCOMPARE(dialog->m_InstrumentEdit->text(), QStringLiteral("EX5"));
    QCOMPARE(dialog->m_FolderTree->topLevelItemCount(), 2);
    QCOMPARE(dialog->m_FolderTree->currentItem()->text(0), QStringLiteral("Banks"));
    QCOMPARE(Rows(dialog->m_FileList), QStringList({"A.S1V", "a2.s1v", "b.s1v", "Sub.s1v"}));
    QVERIFY(!dialog->m_IdButton->isEnabled());

    // Closing either list, chosen or not, offers "ID" again; the tree is filled only once.
    for (CPortCombo* ports : {dialog->m_MidiInCombo, dialog->m_MidiOutCombo}) {
        dialog->m_IdButton->setEnabled(false);
        ports->showPopup();
        ports->hidePopup();
        QVERIFY(dialog->m_IdButton->isEnabled());
    }
    dialog->m_FolderTree->setCurrentItem(dialog->m_FolderTree->topLevelItem(0));
    QTest::mouseClick(dialog->m_IdButton, Qt::LeftButton);
    QVERIFY(!dialog->m_IdButton->isEnabled());
    Finish(*dialog);
    QCOMPARE(dialog->m_FolderTree->currentItem(), dialog->m_FolderTree->topLevelItem(0));
    QCOMPARE(dialog->m_IdentDoneEdit->text(), QStringLiteral("Done"));
}

void SonavistDlgTest::typedValueReachesJobOnlyThroughId() {
    SaveVirtualSettings(QString());
    auto dialog = Open();
    Finish(*dialog);
    QCOMPARE(dialog->m_Params.m_DeviceNo, 1u);
    QCOMPARE(dialog->m_Params.m_Tries, 4u);
    QCOMPARE(dialog->m_Params.m_Timeout, 2000u);
    // Nothing answers device 99: keep its waits short.
    dialog->m_Timeout = 20;
    auto* deviceNo = qobject_cast<QLineEdit*>(dialog->GetDlgItem(1006));
    deviceNo->setText("99");
    QCOMPARE(dialog->m_DeviceNo, 1u);
    dialog->OnPortCloseUp();
    QTest::mouseClick(dialog->m_IdButton, Qt::LeftButton);
    QCOMPARE(dialog->m_DeviceNo, 99u);
    QCOMPARE(dialog->m_Params.m_DeviceNo, 99u);
    QCOMPARE(dialog->m_Params.m_Delay, 5u);
    QCOMPARE(dialog->m_Params.m_Timeout, 20u);
    QCOMPARE(QString::fromLatin1(dialog->m_Params.m_Version), QStringLiteral("1.0.2"));
    Finish(*dialog);
}

void SonavistDlgTest::closeRefusedWhileJobRuns() {
    auto dialog = Open();
    QVERIFY(dialog->m_Worker);
    dialog->reject();
    dialog->close();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(dialog->isVisible());
    Finish(*dialog);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QVERIFY(dialog->isHidden());
    QCOMPARE(dialog->m_FolderTree->topLevelItemCount(), 0);
}

void SonavistDlgTest::secondLaunchRefused() {
    auto dialog = Open();
    dialog->m_IdButton->setEnabled(true);
    qobject_cast<QLineEdit*>(dialog->GetDlgItem(1006))->setText("7");
    dialog->m_InstrumentEdit->setText("typed");
    QTest::mouseClick(dialog->m_IdButton, Qt::LeftButton);
    QCOMPARE(dialog->m_DeviceNo, 1u);
    QCOMPARE(dialog->m_InstrumentEdit->text(), QStringLiteral("typed"));
    Finish(*dialog);
    QCOMPARE(dialog->m_IdentDoneEdit->text(), QStringLiteral("Done"));
}

void SonavistDlgTest::launcherRefusalGivesButtonsBack() {
    auto dialog = Open();
    Finish(*dialog);
    // A job the dialog did not start holds the launcher.
    QSignalSpy signalled(dialog->m_IdentDoneEdit, &QLineEdit::textChanged);
    QVERIFY(dialog->m_Launcher->LaunchIdentify(dialog->CurrentSettings()));
    dialog->OnIdButton();
    QVERIFY(dialog->m_IdButton->isEnabled());
    QVERIFY(dialog->m_QuitButton->isEnabled());
    QCOMPARE(dialog->m_Worker, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(signalled.size(), 1, 60000);
}

void SonavistDlgTest::portListErrorShownAndWindowOpens() {
    MidiSystem::Install(std::make_shared<VanishingInput>());
    MessageBoxAnswer answer;
    CSonavistDlg dialog;
    QTimer quit;
    connect(&quit, &QTimer::timeout, &dialog, [&dialog] {
        if (dialog.isVisible() && !dialog.m_Worker) {
            dialog.reject();
        }
    });
    quit.start(5);
    dialog.DoModal();
    MidiSystem::Install(MidiBackends::CreateVirtualOnly());
    QCOMPARE(answer.m_Texts.size(), 1);
    QVERIFY2(answer.m_Texts[0].startsWith("MidiInWin.cpp:"), qPrintable(answer.m_Texts[0]));
    QCOMPARE(answer.m_Icons[0], QMessageBox::Warning);
    QCOMPARE(dialog.m_MidiInCombo->count(), 0);
    QCOMPARE(dialog.m_IdentDoneEdit->text(), QStringLiteral("Done"));
}

void SonavistDlgTest::fileListShowsSortedBankFiles() {
    auto dialog = Open();
    Finish(*dialog);
    dialog->m_FolderTree->OpenAt(Folder("volume/Banks").toUtf8());
    QCOMPARE(Rows(dialog->m_FileList), QStringList({"A.S1V", "a2.s1v", "b.s1v", "Sub.s1v"}));
    QCOMPARE(qobject_cast<QLabel*>(dialog->GetDlgItem(1021))->text(), Folder("volume/Banks"));
    dialog->m_FolderTree->setCurrentItem(dialog->m_FolderTree->NetworkItem());
    QCOMPARE(dialog->m_FileList->count(), 0);
    QCOMPARE(dialog->m_CurrentFolder, QByteArray());
}

void SonavistDlgTest::signalEditRunsHandlerOncePerInsert() {
    auto dialog = Open();
    Finish(*dialog);
    for (int job = 0; job < 3; ++job) {
        dialog->m_QuitButton->setEnabled(false);
        dialog->EnableAudition(false);
        bool returned = false;
        std::thread worker([&] {
            dialog->m_SendDoneEdit->InsertText("Done");
            returned = true;
        });
        QTRY_VERIFY(dialog->m_QuitButton->isEnabled());
        worker.join();
        QVERIFY(returned);
        QVERIFY(dialog->m_TrillButton->isEnabled());
    }
    QCOMPARE(dialog->m_SendDoneEdit->text(), QStringLiteral("Done"));
}

// Far more jobs than the field has room for "Done"s, each signalled from a worker as a job does.
void SonavistDlgTest::signalEditSignalsPastItsLength() {
    CSignalEdit edit;
    constexpr int kInserts = 10000;
    int handled = 0;
    connect(&edit, &QLineEdit::textChanged, &edit, [&handled] { ++handled; });
    QEventLoop loop;
    std::thread worker([&] {
        for (int i = 0; i < kInserts; ++i) {
            edit.InsertText("Done");
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    QCOMPARE(handled, kInserts);
    QCOMPARE(edit.text(), QStringLiteral("Done"));
}

void SonavistDlgTest::keepOnTopFollowsCheckBox() {
    auto dialog = Open();
    Finish(*dialog);
    QTest::mouseClick(dialog->m_OnTopCheck, Qt::LeftButton);
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(dialog->isVisible());
    QTest::mouseClick(dialog->m_OnTopCheck, Qt::LeftButton);
    QVERIFY(!(dialog->windowFlags() & Qt::WindowStaysOnTopHint));
}

void SonavistDlgTest::auditionButtonsTellPressAndRelease() {
    ButtonEventLog window;
    auto* box = new QWidget(&window);
    auto* button = new CPushButton(QStringLiteral("Note..."), box);
    button->setProperty("controlId", 7);
    window.show();
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(300, 2));
    QTest::mouseClick(button, Qt::RightButton);
    QTest::keyClick(button, Qt::Key_Space);
    QCoreApplication::processEvents();
    QCOMPARE(window.m_Events, (QList<QPair<QEvent::Type, int>>{{CPushButton::kPressEvent, 7},
                                                               {CPushButton::kReleaseEvent, 7}}));
    QCOMPARE(window.m_LastPosition, QPoint(300, 2));
}

void SonavistDlgTest::aboutBoxTexts() {
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Sonavist"));
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        texts << label->text();
    }
    QVERIFY(texts.contains("Sonavist Version 1.0.2"));
    QVERIFY(texts.contains("Grateful thanks and acknowledgements go to:"));
    for (int id = 1029; id <= 1033; ++id) {
        const auto labels = about.findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [id](const QLabel* label) {
            return label->property("controlId").toInt() == id && !label->text().isEmpty();
        }));
    }
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    SaveScreenshot(about, "about.png");
}

// As a user sees it: the machine's own volumes, opened at the demo banks.
void SonavistDlgTest::screenshotAfterStartUp() {
    Settings settings;
    settings.m_CurrentFolder = SONAVIST_DEMO_BANKS;
    settings.m_SysexDelay = 25;
    settings.m_MidiDelay = 500;
    settings.m_MidiIn = 0;
    settings.m_MidiOut = 0;
    Settings::Save(settings);
    auto dialog = std::make_unique<CSonavistDlg>();
    dialog->OnInitDialog();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    Finish(*dialog);
    SaveScreenshot(*dialog, "dialog.png");
}

QTEST_MAIN(SonavistDlgTest)
#include "SonavistDlgTest.moc"
