#pragma once

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <utility>

#include "CPortCombo.h"
#include "CSignalEdit.h"
#include "CSonavistDlg.h"
#include "midi/MidiSystem.h"
#include "midi/virtual/VirtualInstrument.h"
#include "midi/virtual/VirtualInstrumentDriver.h"
#include "support/FakeFolderSources.h"
#include "support/ScratchFolder.h"

// A started dialog playing an in-process virtual instrument (device 0 both ways), or the devices
// of another driver, with a short SysEx Delay, its file list showing a folder that holds the demo
// banks.
class VoiceDialog {
public:
    static constexpr uint32_t kSysexDelay = 2;
    // The send closes its port after this wait; the longest dump needs 285 ms on the cable.
    static constexpr uint32_t kMidiDelay = 300;

    void Open() {
        m_Instrument = std::make_shared<VirtualInstrument>();
        Open(std::make_shared<VirtualInstrumentDriver>(m_Instrument), 0, 0);
    }

    // The same with another driver, playing its input device `in` and output device `out`.
    void Open(std::shared_ptr<MidiDriver> driver, int in, int out) {
        m_Dir = std::make_unique<ScratchFolder>("sonavist-voices");
        m_Dir->PointAt("XDG_CONFIG_HOME", "config");
        for (const char* name : {"Demo1.s1v", "Demo2.s1v"}) {
            QVERIFY(QFile::copy(QStringLiteral(SONAVIST_DEMO_BANKS) + name, Path(name)));
        }
        MidiSystem::Install(std::move(driver));
        m_Dialog = std::make_unique<CSonavistDlg>();
        m_Dialog->SetFolderProviders(std::make_shared<FakeVolumes>(std::vector<Volume>{
                                         {"Volume", m_Dir->Path().string(), VolumeKind::Fixed}}),
                                     std::make_shared<FakeNetwork>());
        m_Dialog->OnInitDialog();
        m_Dialog->show();
        // Start-up launches an identification; stand in for its end when none runs.
        if (!m_Dialog->m_Worker) {
            m_Dialog->m_IdentDoneEdit->InsertText("Done");
        }
        QTRY_VERIFY(m_Dialog->m_QuitButton->isEnabled());
        WaitForWorker();
        m_Dialog->m_MidiInCombo->setCurrentIndex(in);
        m_Dialog->m_MidiOutCombo->setCurrentIndex(out);
        m_Dialog->m_SysexDelay = kSysexDelay;
        m_Dialog->m_MidiDelay = kMidiDelay;
        m_Dialog->UpdateData(false);
        m_Dialog->m_CurrentFolder = Path("");
        m_Dialog->FillFileList(m_Dialog->m_CurrentFolder);
    }

    // Lets a job end before the dialog goes: the job waits for the dialog to take its signal.
    void Close() {
        if (m_Dialog) {
            QTRY_VERIFY(!m_Dialog->m_Worker);
        }
        m_Dialog.reset();
        MidiSystem::Install(nullptr);
        m_Dir.reset();
    }

    QString Path(const QString& name) const {
        return QString::fromStdString(m_Dir->Path().string()) + "/" + name;
    }

    void Choose(const QString& file) {
        const auto found = m_Dialog->m_FileList->findItems(file, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        m_Dialog->m_FileList->setCurrentItem(found.first());
    }

    // Double-clicks the row as the user would.
    void DoubleClick(const QByteArray& row) {
        QListWidget* list = m_Dialog->m_VoiceList;
        const auto found = list->findItems(QString::fromLatin1(row), Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        list->scrollToItem(found.first());
        const QPoint centre = list->visualItemRect(found.first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }

    // Sends a voice and waits until the audition may follow and the instrument has taken all it
    // was sent: the port may close while the driver still hands over the last bytes.
    void Send(const QByteArray& row) {
        m_Instrument->Reset();
        DoubleClick(row);
        QTRY_VERIFY(m_Dialog->m_NoteButton->isEnabled());
        QTRY_VERIFY(m_Instrument->LastVoice());
        WaitForWorker();
    }

    // The completion handler runs while the worker waits; the launcher takes the next job only
    // once the worker has gone on and ended, which a loaded machine may delay.
    void WaitForWorker() { QTRY_VERIFY(!m_Dialog->m_Launcher->IsBusy()); }

    std::unique_ptr<ScratchFolder> m_Dir;
    std::shared_ptr<VirtualInstrument> m_Instrument;
    std::unique_ptr<CSonavistDlg> m_Dialog;
};
