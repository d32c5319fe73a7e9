#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

#include "conversation/EXParams.h"
#include "conversation/JobLauncher.h"
#include "platform/Settings.h"
#include "voice/VoiceBank.h"

class CFolderTree;
class CPortCombo;
class CPushButton;
class CSignalEdit;
class CSpinButtonCtrl;
class NetworkProvider;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class VolumeProvider;

// The one window: MIDI settings, instrument identification, the folder tree with its voice-bank
// files, the voice list and the audition buttons. Every control carries its id in the property
// "controlId".
class CSonavistDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSonavistDlg(QWidget* parent = nullptr);
    ~CSonavistDlg() override;

    // Runs the start-up steps, then the dialog until it ends.
    int DoModal();
    // Fills the controls, restores the settings and launches the first identification.
    bool OnInitDialog();
    // Reads the three number fields into their members (save) or shows the members in them.
    // A field that is not a number stops the reading there with the framework's message.
    bool UpdateData(bool save);
    QWidget* GetDlgItem(int controlId) const;
    CFolderTree* FolderTree() const { return m_FolderTree; }

    // Settings kept between runs.
    void LoadSettings();
    void SaveSettings();

    // The folder tree's volumes and network, replaced by tests before start-up.
    void SetFolderProviders(std::shared_ptr<VolumeProvider> volumes,
                            std::shared_ptr<NetworkProvider> network);

    // Handlers, public so that tests can call them as the controls would.
    void OnIdButton();
    void OnIdentDone();
    void OnSendDone();
    void OnKeepOnTop();
    void OnPortCloseUp();
    void OnPortDropDown();
    void OnDeviceNoSpin(int position, int delta);
    void OnSysexDelaySpin(int position, int delta);
    void OnMidiDelaySpin(int position, int delta);
    void OnFolderSelected(const QByteArray& path);
    // A bank file or folder dropped on the window: its folder in the tree and the file list, the
    // bank chosen.
    void OpenDropped(const QString& folder, const QString& file);
    void OnAbout();
    // Voice list and audition.
    void OnSelchangeFileList();
    void OnCatOrder();
    void OnShowInits();
    void OnDblclkVoiceList();
    void OnAuditionPress(int controlId, QPoint position);
    void OnAuditionRelease(int controlId, QPoint position);

    // The settings as the members and lists hold them, which need not be what the fields show:
    // what a job gets and what is saved.
    Settings CurrentSettings() const;
    // Gives "ID" and "Quit" back after a launch that did not start its job.
    void LaunchFailed();
    // The fixed time-out and tries, as the members hold them, for the next job.
    void ApplyJobTiming();
    void EnableAudition(bool on);
    void EnableListOptions(bool on);
    void BuildVersionText();
    void FillFileList(const QByteArray& folder);

    // The file system's bytes, ending in a separator.
    QByteArray m_CurrentFolder;
    bool m_ShowInits = false;
    char m_VersionText[EXParams::kTextSize] = {};
    // The job launched last, until its completion has been handled; no launch while it is set.
    JobLauncher* m_Worker = nullptr;
    EXParams m_Params;
    QCheckBox* m_ShowInitsCheck = nullptr;
    CPushButton* m_NoteButton = nullptr;
    CSpinButtonCtrl* m_MidiDelaySpin = nullptr;
    CSpinButtonCtrl* m_SysexDelaySpin = nullptr;
    QCheckBox* m_OnTopCheck = nullptr;
    CSignalEdit* m_SendDoneEdit = nullptr;
    QPushButton* m_QuitButton = nullptr;
    QPushButton* m_IdButton = nullptr;
    CPushButton* m_TrillButton = nullptr;
    CPushButton* m_MinorButton = nullptr;
    CPushButton* m_MajorButton = nullptr;
    QCheckBox* m_CatOrderCheck = nullptr;
    QListWidget* m_VoiceList = nullptr;
    QListWidget* m_FileList = nullptr;
    QLineEdit* m_InstrumentEdit = nullptr;
    CSignalEdit* m_IdentDoneEdit = nullptr;
    CSpinButtonCtrl* m_DeviceNoSpin = nullptr;
    CPortCombo* m_MidiOutCombo = nullptr;
    CPortCombo* m_MidiInCombo = nullptr;
    uint32_t m_DeviceNo = 0;
    int32_t m_Retries = 3;
    int32_t m_Timeout = 2000;
    CFolderTree* m_FolderTree = nullptr;
    uint32_t m_SysexDelay = 0;
    uint32_t m_MidiDelay = 0;
    int m_TabStops[2] = {};
    bool m_TreePopulated = false;
    VoiceBank m_Bank;
    QByteArray m_StartFolder;
    // The voice list shows m_Bank only while the last file chosen loaded.
    bool m_BankLoaded = false;
    // Starts both jobs on worker threads; made once the completion edits exist.
    std::unique_ptr<JobLauncher> m_Launcher;

public slots:
    void reject() override;
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    QGroupBox* CreateMidiParameters();
    QGroupBox* CreateBrowser();
    QGroupBox* CreateSettings();
    QGroupBox* CreateAudition();
    void SetTabOrder();
    // Connects the voice list, also a re-created one, to its handler.
    void WireVoiceList();
    // Adds the bank's rows in bank order; a sorted list puts each into text order.
    void FillVoiceList();
    // True when a job runs; waits for one that has signalled its end to finish its last lines.
    bool JobRunning();
    // The tree is filled at the end of the first identification, or at start-up without one.
    void FillTreeOnce();
    void FillPortLists();
    void DestroyWindow();
    // Runs a handler; an error it raises is shown in a warning box and the window goes on.
    template <typename Handler>
    void Guarded(Handler handler);
    void ShowError(const QString& line);

    QLineEdit* m_DeviceNoEdit = nullptr;
    QLineEdit* m_SysexDelayEdit = nullptr;
    QLineEdit* m_MidiDelayEdit = nullptr;
    QLabel* m_PathLine = nullptr;
};
