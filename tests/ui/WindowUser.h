#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "midi/MidiDriver.h"
#include "midi/virtual/VirtualInstrument.h"

class CSonavistDlg;
class QListWidget;
class QListWidgetItem;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// A user at the window. Each run starts the program's dialog in its modal loop, as the program
// does, and a script acts inside that loop only through mouse and key events on controls found
// by their control id, reading what a user sees. Around it: a scratch home with its own settings
// (a volume "Volume" holding the demo banks), the in-process virtual instrument as the only MIDI
// device, and the job log in the current folder.
class WindowUser {
public:
    // Conditions are awaited this long at most: never reached on a working program, however
    // loaded the machine.
    static constexpr int kPatience = 60000;

    WindowUser();
    ~WindowUser();

    // Runs the dialog until it ends, with the steps acting one after the other in its modal loop,
    // each handed to the loop when the one before has returned; what DoModal returned. A loop that
    // ends before every step has run fails the test. Steps that end with the window still open
    // (a failed check) have it closed once its job has ended.
    int Run(const std::vector<std::function<void()>>& steps);
    int Run(const std::function<void()>& script) { return Run(std::vector{script}); }

    // The settings the next run starts from: both port lists on the instrument, short delays.
    void SaveSettings(const QByteArray& folder, int onTop = 0);
    // The value of one setting as the settings file holds it ("dword:00000001", "\"/x/\""),
    // empty when the file has no such value.
    QByteArray StoredSetting(const char* name) const;

    QByteArray Volume() const;  // the scratch volume, with a trailing separator
    QString VolumePath(const QString& relative) const;
    VirtualInstrument& Instrument() { return *m_Instrument; }

    // The control with the id in the running dialog, or none. Every action below is false when
    // it finds nothing to act on, for the script to check.
    QWidget* Control(int id) const;
    template <typename Widget>
    Widget* Control(int id) const {
        return qobject_cast<Widget*>(Control(id));
    }
    QString Text(int id) const;
    bool Enabled(int id) const;
    bool WindowOpen() const;
    // The rows of a list as a user reads them.
    QStringList Rows(int listId) const;

    [[nodiscard]] bool Click(int id);
    // A key pressed where the focus is.
    [[nodiscard]] bool Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Clicks into a number field and types over what it holds.
    [[nodiscard]] bool Type(int id, const QString& text);
    // Presses one of a spin control's arrows.
    [[nodiscard]] bool Step(int spinId, bool up);
    // Drops a port list down and closes it again with Return.
    [[nodiscard]] bool OpenAndClosePortList(int id);
    [[nodiscard]] bool ClickRow(int listId, const QString& row);
    [[nodiscard]] bool DoubleClickRow(int listId, const QString& row);
    // Opens the tree at the folder: clicks each level's item and opens it with the right arrow.
    [[nodiscard]] bool OpenFolder(const QStringList& levels);
    // Clicks the bank's row in the file list.
    [[nodiscard]] bool ChooseBank(const QString& file);
    // Waits until no job runs: "Quit" is enabled again.
    [[nodiscard]] bool WaitIdle();
    // Waits for the instrument to hold the row's voice.
    [[nodiscard]] bool WaitForVoice(const QString& name);

    // Note ons on channel 1 (note, velocity) the instrument received from the index on, a
    // message of another kind as (-1, -1).
    QList<QPair<int, int>> NotesFrom(size_t first) const;
    size_t Received() const;

    CSonavistDlg* Dialog() const { return m_Dialog; }

private:
    QListWidgetItem* Row(int listId, const QString& row) const;
    QTreeWidgetItem* TreeItem(QTreeWidgetItem* parent, const QString& text) const;
    bool ClickItem(QTreeWidget* tree, QTreeWidgetItem* item);

    std::unique_ptr<QTemporaryDir> m_Dir;
    std::shared_ptr<VirtualInstrument> m_Instrument;
    CSonavistDlg* m_Dialog = nullptr;
};
