#include "CSonavistDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <QWindow>
#include <cstring>
#include <exception>

#include "Audition.h"
#include "BankDropFilter.h"
#include "Beeper.h"
#include "CAboutDlg.h"
#include "CFolderTree.h"
#include "CListBox.h"
#include "CPortCombo.h"
#include "CPushButton.h"
#include "CSignalEdit.h"
#include "CSpinButtonCtrl.h"
#include "FolderNames.h"
#include "SonavistArt.h"
#include "VoiceExporter.h"
#include "midi/MidiInWin.h"
#include "midi/MidiOutWin.h"
#include "midi/MidiSystem.h"
#include "platform/Settings.h"
#include "platform/VersionResource.h"
#include "voice/EX5Patch.h"
#include "voice/EXException.h"

namespace {

const char* const kCaption = "Sonavist";

template <typename Widget>
Widget* Tagged(Widget* widget, int controlId) {
    widget->setProperty("controlId", controlId);
    return widget;
}

// A check box with its text on the left.
QCheckBox* LeftTextCheck(const QString& text, int controlId, QWidget* parent) {
    auto* check = Tagged(new QCheckBox(text, parent), controlId);
    check->setLayoutDirection(Qt::RightToLeft);
    return check;
}

QLineEdit* NumberEdit(int controlId, QWidget* parent) {
    auto* edit = Tagged(new QLineEdit(parent), controlId);
    edit->setAlignment(Qt::AlignRight);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    return edit;
}

CPortCombo* PortList(int controlId, QWidget* parent) {
    auto* combo = Tagged(new CPortCombo(parent), controlId);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(24);
    return combo;
}

// A field and its arrows side by side.
QHBoxLayout* Paired(QLineEdit* edit, CSpinButtonCtrl* spin) {
    auto* pair = new QHBoxLayout;
    pair->setSpacing(0);
    pair->addWidget(edit);
    pair->addWidget(spin);
    return pair;
}

// Whole unsigned 32-bit decimal numbers, blanks around them allowed.
bool ParseUnsigned(const QString& text, uint32_t& value) {
    const QString digits = text.trimmed();
    if (digits.isEmpty()) {
        return false;
    }
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    bool ok = false;
    const qulonglong number = digits.toULongLong(&ok);
    if (!ok || number > 0xFFFFFFFFull) {
        return false;
    }
    value = static_cast<uint32_t>(number);
    return true;
}

// The stored state of "On top?": 0 clear, 1 ticked, 2 undecided, which also counts as ticked.
Qt::CheckState CheckState(uint32_t stored) {
    switch (stored) {
        case 0:
            return Qt::Unchecked;
        case 2:
            return Qt::PartiallyChecked;
        default:
            return Qt::Checked;
    }
}

uint32_t StoredState(Qt::CheckState state) {
    return state == Qt::Unchecked ? 0 : state == Qt::Checked ? 1 : 2;
}

}  // namespace

CSonavistDlg::CSonavistDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QPixmap::fromImage(SonavistArt::Icon(SonavistArt::kWindowIcon, 32))));
    CreateControls();
    SetTabOrder();
    UpdateData(false);
    m_Launcher = std::make_unique<JobLauncher>(m_Params, m_IdentDoneEdit, m_SendDoneEdit);
    new BankDropFilter(this, [this](const QString& folder, const QString& file) {
        Guarded([this, folder, file] { OpenDropped(folder, file); });
    });
}

// A running job ends only after this thread has handled its completion, so that comes first.
CSonavistDlg::~CSonavistDlg() {
    while (m_Worker) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

template <typename Handler>
void CSonavistDlg::Guarded(Handler handler) {
    try {
        EXException::Catch(handler, [this](const EXException* error) {
            char line[200] = "Out of memory.";
            if (error) {
                error->FormatLine(line, sizeof line);
            }
            ShowError(QString::fromLocal8Bit(line).trimmed());
        });
    } catch (const std::exception& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
    }
}

void CSonavistDlg::ShowError(const QString& line) {
    QMessageBox::warning(this, QString::fromLatin1(kCaption), line);
}

void CSonavistDlg::CreateControls() {
    m_QuitButton = Tagged(new QPushButton(QStringLiteral("Quit"), this), 2);
    // Not the default button: Return ends the program only when "Quit" has the focus.
    m_QuitButton->setAutoDefault(false);
    connect(m_QuitButton, &QPushButton::clicked, this, &CSonavistDlg::reject);
    m_PathLine = Tagged(new QLabel(this), 1021);
    m_PathLine->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_PathLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_PathLine->setFrameShape(QFrame::StyledPanel);
    m_PathLine->setFrameShadow(QFrame::Sunken);

    auto* column = new QVBoxLayout;
    column->addWidget(CreateSettings());
    column->addWidget(CreateAudition());
    column->addStretch(1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(CreateBrowser(), 1);
    middle->addLayout(column);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_PathLine, 1);
    bottom->addWidget(m_QuitButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateMidiParameters());
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
}

QGroupBox* CSonavistDlg::CreateMidiParameters() {
    auto* box = Tagged(new QGroupBox(QStringLiteral("MIDI Parameters"), this), 1000);
    m_MidiInCombo = PortList(1004, box);
    m_MidiOutCombo = PortList(1005, box);
    connect(m_MidiInCombo, &CPortCombo::CloseUp, this,
            [this] { Guarded([this] { OnPortCloseUp(); }); });
    connect(m_MidiOutCombo, &CPortCombo::CloseUp, this,
            [this] { Guarded([this] { OnPortCloseUp(); }); });
    for (CPortCombo* ports : {m_MidiInCombo, m_MidiOutCombo}) {
        connect(ports, &CPortCombo::DropDown, this,
                [this] { Guarded([this] { OnPortDropDown(); }); });
    }
    m_DeviceNoEdit = NumberEdit(1006, box);
    m_DeviceNoSpin = Tagged(new CSpinButtonCtrl(m_DeviceNoEdit, box), 1007);
    m_SysexDelayEdit = NumberEdit(1013, box);
    m_SysexDelaySpin = Tagged(new CSpinButtonCtrl(m_SysexDelayEdit, box), 1014);
    m_MidiDelayEdit = NumberEdit(1016, box);
    m_MidiDelaySpin = Tagged(new CSpinButtonCtrl(m_MidiDelayEdit, box), 1017);
    connect(m_DeviceNoSpin, &CSpinButtonCtrl::DeltaPos, this, &CSonavistDlg::OnDeviceNoSpin);
    connect(m_SysexDelaySpin, &CSpinButtonCtrl::DeltaPos, this, &CSonavistDlg::OnSysexDelaySpin);
    connect(m_MidiDelaySpin, &CSpinButtonCtrl::DeltaPos, this, &CSonavistDlg::OnMidiDelaySpin);
    m_InstrumentEdit = Tagged(new QLineEdit(box), 1009);
    m_IdButton = Tagged(new QPushButton(QStringLiteral("ID"), box), 6);
    m_IdButton->setAutoDefault(false);
    connect(m_IdButton, &QPushButton::clicked, this, [this] { Guarded([this] { OnIdButton(); }); });
    m_IdentDoneEdit = Tagged(new CSignalEdit(box), 1018);
    m_SendDoneEdit = Tagged(new CSignalEdit(box), 1020);
    connect(m_IdentDoneEdit, &QLineEdit::textChanged, this,
            [this] { Guarded([this] { OnIdentDone(); }); });
    connect(m_SendDoneEdit, &QLineEdit::textChanged, this,
            [this] { Guarded([this] { OnSendDone(); }); });

    auto* deviceRow = new QHBoxLayout;
    deviceRow->addLayout(Paired(m_DeviceNoEdit, m_DeviceNoSpin));
    deviceRow->addSpacing(12);
    deviceRow->addWidget(Tagged(new QLabel(QStringLiteral("Instrument:"), box), 1008));
    deviceRow->addWidget(m_IdButton);
    deviceRow->addWidget(m_InstrumentEdit, 1);

    auto* ports = new QGridLayout;
    ports->addWidget(Tagged(new QLabel(QStringLiteral("MIDI In:"), box), 1001), 0, 0);
    ports->addWidget(m_MidiInCombo, 0, 1);
    ports->addWidget(Tagged(new QLabel(QStringLiteral("MIDI Out:"), box), 1011), 1, 0);
    ports->addWidget(m_MidiOutCombo, 1, 1);
    ports->addWidget(Tagged(new QLabel(QStringLiteral("Device No:"), box), 1003), 2, 0);
    ports->addLayout(deviceRow, 2, 1);
    ports->setColumnStretch(1, 1);

    auto* delays = new QGridLayout;
    delays->addWidget(Tagged(new QLabel(QStringLiteral("SysEx Delay:"), box), 1012), 0, 0);
    delays->addLayout(Paired(m_SysexDelayEdit, m_SysexDelaySpin), 0, 1);
    delays->addWidget(Tagged(new QLabel(QStringLiteral("MIDI Delay:"), box), 1015), 1, 0);
    delays->addLayout(Paired(m_MidiDelayEdit, m_MidiDelaySpin), 1, 1);
    delays->setRowStretch(2, 1);

    auto* layout = new QHBoxLayout(box);
    layout->addLayout(ports, 1);
    layout->addSpacing(24);
    layout->addLayout(delays);
    return box;
}

QGroupBox* CSonavistDlg::CreateBrowser() {
    auto* box = Tagged(new QGroupBox(QStringLiteral("Voice Banks"), this), 1019);
    m_FolderTree = Tagged(new CFolderTree(box), 1010);
    m_FolderTree->setMinimumSize(220, 280);
    connect(m_FolderTree, &CFolderTree::FolderSelected, this,
            [this](const QByteArray& path) { Guarded([this, path] { OnFolderSelected(path); }); });
    m_FileList = Tagged(new QListWidget(box), 1022);
    m_FileList->setMinimumWidth(120);
    // The selection, not the current row: focus coming in makes a row current, never selected.
    connect(m_FileList, &QListWidget::itemSelectionChanged, this,
            [this] { Guarded([this] { OnSelchangeFileList(); }); });
    m_VoiceList = Tagged(new QListWidget(box), 1023);
    m_VoiceList->setMinimumWidth(240);
    WireVoiceList();

    auto* layout = new QHBoxLayout(box);
    layout->addWidget(m_FolderTree, 3);
    layout->addWidget(m_FileList, 2);
    layout->addWidget(m_VoiceList, 3);
    return box;
}

QGroupBox* CSonavistDlg::CreateSettings() {
    auto* box = Tagged(new QGroupBox(QStringLiteral("Settings"), this), 1025);
    m_OnTopCheck = LeftTextCheck(QStringLiteral("On top?"), 1028, box);
    m_CatOrderCheck = LeftTextCheck(QStringLiteral("Cat Order"), 1026, box);
    m_ShowInitsCheck = LeftTextCheck(QStringLiteral("Show Inits"), 1027, box);
    connect(m_OnTopCheck, &QCheckBox::clicked, this,
            [this] { Guarded([this] { OnKeepOnTop(); }); });
    connect(m_CatOrderCheck, &QCheckBox::clicked, this,
            [this] { Guarded([this] { OnCatOrder(); }); });
    connect(m_ShowInitsCheck, &QCheckBox::clicked, this,
            [this] { Guarded([this] { OnShowInits(); }); });
    auto* layout = new QVBoxLayout(box);
    for (QCheckBox* check : {m_OnTopCheck, m_CatOrderCheck, m_ShowInitsCheck}) {
        layout->addWidget(check);
    }
    return box;
}

QGroupBox* CSonavistDlg::CreateAudition() {
    auto* box = Tagged(new QGroupBox(QStringLiteral("Audition"), this), 1024);
    m_NoteButton = Tagged(new CPushButton(QStringLiteral("Note..."), box), 7);
    m_MajorButton = Tagged(new CPushButton(QStringLiteral("Major..."), box), 4);
    m_MinorButton = Tagged(new CPushButton(QStringLiteral("Minor..."), box), 3);
    m_TrillButton = Tagged(new CPushButton(QStringLiteral("Trill..."), box), 5);
    auto* layout = new QVBoxLayout(box);
    for (CPushButton* button : {m_NoteButton, m_MajorButton, m_MinorButton, m_TrillButton}) {
        button->setAutoDefault(false);
        layout->addWidget(button);
    }
    return box;
}

void CSonavistDlg::WireVoiceList() {
    connect(m_VoiceList, &QListWidget::itemDoubleClicked, this,
            [this] { Guarded([this] { OnDblclkVoiceList(); }); });
}

// The order of the controls in the window's template, which is also the tab order.
void CSonavistDlg::SetTabOrder() {
    QWidget* const order[] = {m_QuitButton,     m_MidiInCombo,    m_MidiOutCombo,  m_DeviceNoEdit,
                              m_InstrumentEdit, m_MinorButton,    m_MajorButton,   m_TrillButton,
                              m_IdButton,       m_FolderTree,     m_FileList,      m_VoiceList,
                              m_CatOrderCheck,  m_SysexDelayEdit, m_MidiDelayEdit, m_ShowInitsCheck,
                              m_NoteButton,     m_OnTopCheck};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

QWidget* CSonavistDlg::GetDlgItem(int controlId) const {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->property("controlId").toInt() == controlId) {
            return child;
        }
    }
    return nullptr;
}

void CSonavistDlg::SetFolderProviders(std::shared_ptr<VolumeProvider> volumes,
                                      std::shared_ptr<NetworkProvider> network) {
    m_FolderTree->SetProviders(std::move(volumes), std::move(network));
}

int CSonavistDlg::DoModal() {
    Guarded([this] { OnInitDialog(); });
    return exec();
}

bool CSonavistDlg::OnInitDialog() {
    BuildVersionText();
    // A device whose name cannot be read ends the lists there; the window still opens.
    Guarded([this] { FillPortLists(); });
    m_DeviceNoSpin->SetRange(1, 16);
    m_DeviceNo = 1;
    m_SysexDelaySpin->SetRange(5, 100);
    m_MidiDelaySpin->SetRange(50, 2000);
    m_TreePopulated = false;
    EnableAudition(false);
    EnableListOptions(false);
    m_ShowInits = false;
    m_TabStops[0] = 14;
    m_TabStops[1] = 40;
    CListBox::SetTabStops(m_VoiceList, 2, m_TabStops);
    LoadSettings();
    UpdateData(false);
    OnKeepOnTop();
    OnIdButton();
    // Without a first identification the tree would wait for one.
    if (!m_Worker) {
        FillTreeOnce();
    }
    return true;
}

void CSonavistDlg::BuildVersionText() {
    std::snprintf(m_VersionText, sizeof m_VersionText, "%s", VersionResource::Text().c_str());
}

// Item index = device index, as the jobs open the device by the list's selection.
void CSonavistDlg::FillPortLists() {
    using NameOf = int (*)(int32_t, char*, uint32_t);
    const auto names = [](NameOf nameOf) {
        return [nameOf](int i) {
            char name[EXParams::kTextSize];
            nameOf(i, name, sizeof name);
            return QString::fromLocal8Bit(name);
        };
    };
    MidiDriver& driver = MidiSystem::Driver();
    m_MidiInCombo->Fill(static_cast<int>(driver.InCount()), names(&MidiInWin::GetDeviceName));
    m_MidiOutCombo->Fill(static_cast<int>(driver.OutCount()), names(&MidiOutWin::GetDeviceName));
}

// The devices present now, in both lists: a device that came or went moves the others' indices.
// Not while a job runs, which opens its devices by the indices it was given.
void CSonavistDlg::OnPortDropDown() {
    if (m_Worker) {
        return;
    }
    MidiSystem::Driver().Refresh();
    FillPortLists();
}

void CSonavistDlg::LoadSettings() {
    Settings settings;
    Settings::Load(settings);
    m_CurrentFolder = QByteArray::fromStdString(settings.m_CurrentFolder);
    // An index outside a list leaves it without a selection.
    m_MidiInCombo->setCurrentIndex(settings.m_MidiIn);
    m_MidiOutCombo->setCurrentIndex(settings.m_MidiOut);
    m_SysexDelay = settings.m_SysexDelay;
    m_MidiDelay = settings.m_MidiDelay;
    m_DeviceNo = settings.m_DeviceNo;
    m_OnTopCheck->setCheckState(CheckState(settings.m_KeepOnTop));
}

void CSonavistDlg::SaveSettings() {
    Settings::Save(CurrentSettings());
}

bool CSonavistDlg::UpdateData(bool save) {
    struct Field {
        QLineEdit* edit;
        uint32_t* member;
        uint32_t largest;
    };
    const Field fields[] = {{m_DeviceNoEdit, &m_DeviceNo, Settings::kMaxDeviceNo},
                            {m_SysexDelayEdit, &m_SysexDelay, Settings::kMaxDelayMs},
                            {m_MidiDelayEdit, &m_MidiDelay, Settings::kMaxDelayMs}};
    for (const Field& field : fields) {
        if (!save) {
            field.edit->setText(QString::number(*field.member));
            continue;
        }
        uint32_t value = 0;
        QString refusal;
        if (!ParseUnsigned(field.edit->text(), value)) {
            refusal = QStringLiteral("Please enter a positive integer.");
        } else if (value > field.largest) {
            refusal =
                QStringLiteral("Please enter an integer between 0 and %1.").arg(field.largest);
        }
        if (!refusal.isEmpty()) {
            QMessageBox::warning(this, QString::fromLatin1(kCaption), refusal);
            field.edit->setFocus();
            field.edit->selectAll();
            return false;
        }
        *field.member = value;
    }
    return true;
}

void CSonavistDlg::OnIdButton() {
    if (m_Worker) {
        Beeper::Beep();  // one job at a time: both write the one job record
        return;
    }
    if (!UpdateData(true)) {
        return;
    }
    m_InstrumentEdit->setText(QStringLiteral("Identifying..."));
    m_IdButton->setEnabled(false);
    m_QuitButton->setEnabled(false);
    setCursor(Qt::BusyCursor);
    m_Worker = m_Launcher.get();
    try {
        ApplyJobTiming();
        if (!m_Launcher->LaunchIdentify(CurrentSettings())) {
            LaunchFailed();
        }
    } catch (...) {
        LaunchFailed();
        throw;
    }
}

void CSonavistDlg::ApplyJobTiming() {
    m_Launcher->SetTiming(static_cast<uint32_t>(m_Timeout), static_cast<uint32_t>(m_Retries + 1));
}

void CSonavistDlg::LaunchFailed() {
    m_Worker = nullptr;
    unsetCursor();
    m_InstrumentEdit->clear();
    m_IdButton->setEnabled(true);
    m_QuitButton->setEnabled(true);
}

Settings CSonavistDlg::CurrentSettings() const {
    Settings settings;
    settings.m_CurrentFolder = m_CurrentFolder.toStdString();
    settings.m_MidiIn = m_MidiInCombo->currentIndex();
    settings.m_MidiOut = m_MidiOutCombo->currentIndex();
    settings.m_SysexDelay = m_SysexDelay;
    settings.m_MidiDelay = m_MidiDelay;
    settings.m_DeviceNo = m_DeviceNo;
    settings.m_KeepOnTop = StoredState(m_OnTopCheck->checkState());
    return settings;
}

void CSonavistDlg::OnIdentDone() {
    m_Worker = nullptr;
    const std::initializer_list<QWidget*> portControls = {
        m_MidiInCombo, m_MidiOutCombo, m_DeviceNoEdit, m_DeviceNoSpin, m_QuitButton};
    for (QWidget* control : portControls) {
        control->setEnabled(true);
    }
    unsetCursor();
    m_InstrumentEdit->setText(QString::fromLocal8Bit(m_Params.m_InstrumentText));
    FillTreeOnce();
}

void CSonavistDlg::FillTreeOnce() {
    if (!m_TreePopulated) {
        m_StartFolder = m_CurrentFolder;
        m_FolderTree->FillFolderTree(m_StartFolder);
        m_TreePopulated = true;
    }
}

void CSonavistDlg::OnSendDone() {
    m_Worker = nullptr;
    m_QuitButton->setEnabled(true);
    EnableAudition(true);
    unsetCursor();
}

void CSonavistDlg::OnKeepOnTop() {
    const bool onTop = m_OnTopCheck->checkState() != Qt::Unchecked;
    if (onTop == bool(windowFlags() & Qt::WindowStaysOnTopHint)) {
        return;
    }
    // Setting the widget's flags re-creates its native window, which hides the dialog and so
    // ends its modal loop: the window system is told directly instead.
    overrideWindowFlags(onTop ? windowFlags() | Qt::WindowStaysOnTopHint
                              : windowFlags() & ~Qt::WindowStaysOnTopHint);
    if (QWindow* window = windowHandle()) {
        window->setFlags(windowFlags());
    }
}

void CSonavistDlg::OnPortCloseUp() {
    m_IdButton->setEnabled(true);
}

// The arrows announce a step before they move and keep their own range; the members follow the
// announcement unclamped, as the field is read back whole at the next "ID".
void CSonavistDlg::OnDeviceNoSpin(int position, int delta) {
    m_DeviceNo = position + delta;
}

void CSonavistDlg::OnSysexDelaySpin(int position, int delta) {
    m_SysexDelay = position + delta;
}

void CSonavistDlg::OnMidiDelaySpin(int position, int delta) {
    m_MidiDelay = position + delta;
}

void CSonavistDlg::EnableAudition(bool on) {
    for (CPushButton* button : {m_NoteButton, m_MinorButton, m_MajorButton, m_TrillButton}) {
        button->setEnabled(on);
    }
}

void CSonavistDlg::EnableListOptions(bool on) {
    m_ShowInitsCheck->setEnabled(on);
    m_CatOrderCheck->setEnabled(on);
}

void CSonavistDlg::OnFolderSelected(const QByteArray& path) {
    m_PathLine->setText(FolderNames::Readable(path));
    m_CurrentFolder = path;
    m_FileList->setUpdatesEnabled(false);
    FillFileList(path);
    m_FileList->setUpdatesEnabled(true);
}

void CSonavistDlg::FillFileList(const QByteArray& folder) {
    const QSignalBlocker quiet(m_FileList);
    m_FileList->clear();
    if (folder.isEmpty()) {
        return;
    }
    for (const FolderNames::Name& name : FolderNames::Banks(folder)) {
        auto* item = new QListWidgetItem(name.text, m_FileList);
        item->setData(Qt::UserRole, name.bytes);
    }
}

// Before the tree is filled the file list alone shows the folder, and the tree opens there.
void CSonavistDlg::OpenDropped(const QString& folder, const QString& file) {
    const QByteArray path = QFile::encodeName(folder);
    m_FolderTree->OpenAt(path);
    if (m_CurrentFolder != path) {
        OnFolderSelected(path);
    }
    const QByteArray name = QFile::encodeName(file);
    for (int row = 0; row < m_FileList->count(); ++row) {
        if (m_FileList->item(row)->data(Qt::UserRole).toByteArray() == name) {
            m_FileList->setCurrentRow(row);
            return;
        }
    }
}

void CSonavistDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CSonavistDlg::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const QPoint inList = m_VoiceList->mapFrom(this, event->pos());
    if (m_VoiceList->rect().contains(inList)) {
        const QListWidgetItem* row =
            m_VoiceList->itemAt(m_VoiceList->viewport()->mapFrom(this, event->pos()));
        const QListWidgetItem* file = m_FileList->currentItem();
        VoiceExporter(this).AddActions(
            menu, m_Bank,
            file ? QFile::decodeName(m_CurrentFolder + file->data(Qt::UserRole).toByteArray())
                 : QString(),
            row ? row->text() : QString());
        menu.addSeparator();
    }
    menu.addAction(QStringLiteral("&About Sonavist..."), this, &CSonavistDlg::OnAbout);
    menu.exec(event->globalPos());
}

bool CSonavistDlg::event(QEvent* event) {
    if (event->type() == CPushButton::kPressEvent || event->type() == CPushButton::kReleaseEvent) {
        const auto* button = static_cast<CPushButton::Event*>(event);
        const bool press = event->type() == CPushButton::kPressEvent;
        Guarded([this, button, press] {
            if (press) {
                OnAuditionPress(button->m_ControlId, button->m_Position);
            } else {
                OnAuditionRelease(button->m_ControlId, button->m_Position);
            }
        });
        return true;
    }
    return QDialog::event(event);
}

// Return sends the selected voice, chooses the file list's current row and presses "Quit" when it
// has the focus; it does nothing anywhere else.
void CSonavistDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    QWidget* focus = focusWidget();
    if (focus == m_QuitButton) {
        m_QuitButton->click();
    } else if (focus == m_VoiceList && !m_VoiceList->selectedItems().isEmpty()) {
        Guarded([this] { OnDblclkVoiceList(); });
    } else if (focus == m_FileList && m_FileList->currentItem()) {
        m_FileList->currentItem()->setSelected(true);
    }
}

// While a job runs the dialog must not end: Escape, the close button and "Quit" all come here.
void CSonavistDlg::reject() {
    if (m_QuitButton->isEnabled()) {
        QDialog::reject();
    }
}

void CSonavistDlg::done(int result) {
    DestroyWindow();
    QDialog::done(result);
}

void CSonavistDlg::DestroyWindow() {
    SaveSettings();
    m_FolderTree->FreeItems();
}

void CSonavistDlg::OnSelchangeFileList() {
    EnableAudition(false);
    EnableListOptions(true);
    // Whatever the load gives, the rows of the bank listed before are no longer the choice.
    m_VoiceList->clear();
    m_BankLoaded = false;
    const QListWidgetItem* file = m_FileList->selectedItems().value(0);
    if (!file) {
        return;
    }
    m_Bank.LoadBank((m_CurrentFolder + file->data(Qt::UserRole).toByteArray()).toStdString());
    m_BankLoaded = true;
    FillVoiceList();
}

void CSonavistDlg::FillVoiceList() {
    if (!m_BankLoaded) {
        return;
    }
    m_Bank.m_ShowInits = m_ShowInits;
    m_VoiceList->setUpdatesEnabled(false);
    m_Bank.FillVoiceList([this](const std::string& row) {
        // Latin-1 shows every byte of a name and gives exactly those bytes back.
        m_VoiceList->addItem(QString::fromLatin1(row.data(), qsizetype(row.size())));
    });
    m_VoiceList->setUpdatesEnabled(true);
}

// Sorting reaches the rows already listed only through a new list; clearing it lists the bank
// afresh, since text order cannot be undone.
void CSonavistDlg::OnCatOrder() {
    const bool sorted = m_CatOrderCheck->checkState() != Qt::Unchecked;
    m_VoiceList->setSortingEnabled(sorted);
    if (CListBox::RecreateListBox(m_VoiceList)) {
        WireVoiceList();
    }
    CListBox::SetTabStops(m_VoiceList, 2, m_TabStops);
    if (!sorted) {
        m_VoiceList->clear();
        FillVoiceList();
    }
}

void CSonavistDlg::OnShowInits() {
    m_ShowInits = m_ShowInitsCheck->checkState() != Qt::Unchecked;
    OnCatOrder();
}

void CSonavistDlg::OnDblclkVoiceList() {
    const QListWidgetItem* item = m_VoiceList->currentItem();
    if (!item) {
        return;
    }
    std::unique_ptr<EX5Patch> patch = m_Bank.PatchForRow(item->text().toLatin1().toStdString());
    if (!patch) {
        ShowError(QString::fromLatin1(VoiceBank::kNoDrumsText));
        return;
    }
    // One record serves every job, so a second one must wait for the first.
    ApplyJobTiming();
    if (m_Worker || !m_Launcher->LaunchSendVoice(CurrentSettings(), std::move(patch))) {
        Beeper::Beep();
        return;
    }
    m_Worker = m_Launcher.get();
    m_QuitButton->setEnabled(false);
    EnableAudition(false);
    setCursor(Qt::BusyCursor);
}

// The audition opens ports through the job record, which a running job holds. A job that has
// signalled only closes its log, which takes no time worth showing.
bool CSonavistDlg::JobRunning() {
    constexpr uint32_t kLastLines = 1000;
    return m_Worker || !m_Launcher->WaitFor(kLastLines);
}

void CSonavistDlg::OnAuditionPress(int controlId, QPoint /*position*/) {
    if (JobRunning()) {
        Beeper::Beep();
        return;
    }
    Audition audition(m_Params);
    switch (controlId) {
        case 3:
            audition.PlayMinorChord();
            break;
        case 4:
            audition.PlayMajorChord();
            break;
        case 7:
            audition.PlayNote();
            break;
        default:
            audition.PlayTrill();
            break;
    }
}

void CSonavistDlg::OnAuditionRelease(int /*controlId*/, QPoint /*position*/) {
    if (!JobRunning()) {
        Audition(m_Params).Release();
    }
}
