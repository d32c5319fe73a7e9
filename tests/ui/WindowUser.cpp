#include "ui/WindowUser.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

#include "CSonavistDlg.h"
#include "midi/MidiSystem.h"
#include "midi/virtual/VirtualInstrumentDriver.h"
#include "platform/Settings.h"
#include "support/FakeFolderSources.h"

namespace {

// Where a click on a check box lands: its box and text, which need not fill the widget.
QPoint ClickPoint(QWidget* widget) {
    auto* check = qobject_cast<QCheckBox*>(widget);
    if (!check) {
        return widget->rect().center();
    }
    QStyleOptionButton option;
    option.initFrom(check);
    option.text = check->text();
    return check->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, check).center();
}

}  // namespace

WindowUser::WindowUser()
    : m_Dir(std::make_unique<QTemporaryDir>()),
      m_Instrument(std::make_shared<VirtualInstrument>()) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_Dir->filePath("config")));
    QDir().mkpath(m_Dir->filePath("volume"));
    for (const char* name : {"Demo1.s1v", "Demo2.s1v"}) {
        QFile::copy(QStringLiteral(SONAVIST_DEMO_BANKS) + name, VolumePath(name));
    }
    MidiSystem::Install(std::make_shared<VirtualInstrumentDriver>(m_Instrument));
}

WindowUser::~WindowUser() {
    MidiSystem::Install(nullptr);
}

int WindowUser::Run(const std::vector<std::function<void()>>& steps) {
    CSonavistDlg dialog;
    dialog.SetFolderProviders(std::make_shared<FakeVolumes>(std::vector<::Volume>{
                                  {"Volume", Volume().toStdString(), VolumeKind::Fixed}}),
                              std::make_shared<FakeNetwork>());
    m_Dialog = &dialog;
    size_t next = 0;
    std::function<void()> step;
    step = [this, &dialog, &steps, &next, &step] {
        if (next == 0 && !dialog.isVisible()) {
            QTimer::singleShot(10, &dialog, step);  // a message box of the start-up is up
            return;
        }
        steps[next++]();
        if (next < steps.size() && !QTest::currentTestFailed()) {
            QMetaObject::invokeMethod(&dialog, step, Qt::QueuedConnection);
        } else if (dialog.isVisible()) {
            (void)WaitIdle();  // a failed check is reported already
            dialog.done(QDialog::Rejected);
        }
    };
    // Queued before the start-up launches its job, so the first step sees the window before the
    // job's end can be handled.
    QMetaObject::invokeMethod(&dialog, step, Qt::QueuedConnection);
    const int result = dialog.DoModal();
    m_Dialog = nullptr;
    if (next < steps.size() && !QTest::currentTestFailed()) {
        QTest::qFail(
            qPrintable(QStringLiteral("The modal loop ended before step %1").arg(next + 1)),
            __FILE__, __LINE__);
    }
    return result;
}

void WindowUser::SaveSettings(const QByteArray& folder, int onTop) {
    Settings settings;
    settings.m_CurrentFolder = folder.toStdString();
    settings.m_MidiIn = 0;
    settings.m_MidiOut = 0;
    settings.m_SysexDelay = 2;
    // The send closes its port after this wait; the longest dump needs 285 ms on the cable, and a
    // loaded machine may hand the bytes over late.
    settings.m_MidiDelay = 1000;
    settings.m_KeepOnTop = static_cast<uint32_t>(onTop);
    Settings::Save(settings);
}

QByteArray WindowUser::StoredSetting(const char* name) const {
    QFile file(m_Dir->filePath("config/Sonavist/HKEY_LOCAL_MACHINE.reg"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray start = '"' + QByteArray(name).toLower() + "\"=";
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.toLower().startsWith(start)) {
            return line.mid(start.size()).trimmed();
        }
    }
    return {};
}

QByteArray WindowUser::Volume() const {
    return QFile::encodeName(m_Dir->filePath("volume")) + '/';
}

QString WindowUser::VolumePath(const QString& relative) const {
    return m_Dir->filePath("volume/" + relative);
}

QWidget* WindowUser::Control(int id) const {
    if (!m_Dialog) {
        return nullptr;
    }
    const auto children = m_Dialog->findChildren<QWidget*>();
    const auto found = std::find_if(children.begin(), children.end(), [id](const QWidget* child) {
        return child->property("controlId").toInt() == id;
    });
    return found == children.end() ? nullptr : *found;
}

QString WindowUser::Text(int id) const {
    const QWidget* control = Control(id);
    return control ? control->property("text").toString() : QString();
}

bool WindowUser::Enabled(int id) const {
    const QWidget* control = Control(id);
    return control && control->isEnabled();
}

bool WindowUser::WindowOpen() const {
    return m_Dialog && m_Dialog->isVisible();
}

QStringList WindowUser::Rows(int listId) const {
    QStringList rows;
    if (const auto* list = Control<QListWidget>(listId)) {
        for (int i = 0; i < list->count(); ++i) {
            rows << list->item(i)->text();
        }
    }
    return rows;
}

bool WindowUser::Click(int id) {
    QWidget* control = Control(id);
    if (!control || !control->isVisible()) {
        return false;
    }
    QTest::mouseClick(control, Qt::LeftButton, {}, ClickPoint(control));
    return true;
}

bool WindowUser::Press(int key, Qt::KeyboardModifiers modifiers) {
    if (!m_Dialog) {
        return false;
    }
    QWidget* focus = m_Dialog->focusWidget();
    QTest::keyClick(focus ? focus : m_Dialog, static_cast<Qt::Key>(key), modifiers);
    return true;
}

bool WindowUser::Type(int id, const QString& text) {
    if (!Click(id)) {
        return false;
    }
    QWidget* field = Control(id);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    return true;
}

bool WindowUser::Step(int spinId, bool up) {
    const QWidget* spin = Control(spinId);
    const auto arrows = spin ? spin->findChildren<QToolButton*>() : QList<QToolButton*>();
    if (arrows.size() != 2) {
        return false;
    }
    QTest::mouseClick(arrows[up ? 0 : 1], Qt::LeftButton);
    return true;
}

bool WindowUser::OpenAndClosePortList(int id) {
    auto* ports = Control<QComboBox>(id);
    if (!ports || !Click(id) || !QTest::qWaitFor([ports] { return ports->view()->isVisible(); })) {
        return false;
    }
    QTest::keyClick(ports->view(), Qt::Key_Return);
    return QTest::qWaitFor([ports] { return !ports->view()->isVisible(); });
}

QListWidgetItem* WindowUser::Row(int listId, const QString& row) const {
    auto* list = Control<QListWidget>(listId);
    const auto found = list ? list->findItems(row, Qt::MatchExactly) : QList<QListWidgetItem*>();
    if (found.size() != 1) {
        return nullptr;
    }
    list->scrollToItem(found.first());
    return found.first();
}

bool WindowUser::ClickRow(int listId, const QString& row) {
    QListWidgetItem* item = Row(listId, row);
    if (!item) {
        return false;
    }
    QListWidget* list = item->listWidget();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    return true;
}

bool WindowUser::DoubleClickRow(int listId, const QString& row) {
    if (!ClickRow(listId, row)) {
        return false;
    }
    QListWidgetItem* item = Row(listId, row);
    QListWidget* list = item->listWidget();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    return true;
}

QTreeWidgetItem* WindowUser::TreeItem(QTreeWidgetItem* parent, const QString& text) const {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text) {
            return parent->child(i);
        }
    }
    return nullptr;
}

bool WindowUser::ClickItem(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    const QRect rect = tree->visualItemRect(item);
    const int x = std::clamp(rect.left() + rect.height(), 0, tree->viewport()->width() - 1);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(x, rect.center().y()));
    return tree->selectedItems() == QList<QTreeWidgetItem*>{item};
}

bool WindowUser::OpenFolder(const QStringList& levels) {
    auto* tree = Control<QTreeWidget>(1010);
    if (!tree || !QTest::qWaitFor([tree] { return tree->topLevelItemCount() > 0; }, kPatience)) {
        return false;
    }
    QTreeWidgetItem* level = tree->invisibleRootItem();
    for (const QString& text : levels) {
        level = TreeItem(level, text);
        if (!level || !ClickItem(tree, level)) {
            return false;
        }
        QTest::keyClick(tree, Qt::Key_Right);
    }
    return true;
}

bool WindowUser::ChooseBank(const QString& file) {
    return ClickRow(1022, file);
}

bool WindowUser::WaitIdle() {
    return QTest::qWaitFor([this] { return Enabled(2); }, kPatience);
}

bool WindowUser::WaitForVoice(const QString& name) {
    return QTest::qWaitFor(
        [this, &name] {
            const auto voice = m_Instrument->LastVoice();
            return voice && voice->checksumOk && QString::fromLatin1(voice->name) == name;
        },
        kPatience);
}

QList<QPair<int, int>> WindowUser::NotesFrom(size_t first) const {
    QList<QPair<int, int>> notes;
    const auto received = m_Instrument->ReceivedMessages();
    for (size_t i = first; i < received.size(); ++i) {
        const auto& message = received[i];
        notes.append(message.size() == 3 && message[0] == 0x90
                         ? qMakePair(int(message[1]), int(message[2]))
                         : qMakePair(-1, -1));
    }
    return notes;
}

size_t WindowUser::Received() const {
    return m_Instrument->ReceivedMessages().size();
}
