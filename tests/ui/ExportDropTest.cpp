#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include "CFolderTree.h"
#include "CPushButton.h"
#include "ui/MessageBoxAnswer.h"
#include "ui/VoiceDialog.h"
#include "voice/StandardMidiFile.h"
#include "voice/VoiceBank.h"
#include "voice/VoiceExport.h"

namespace {

constexpr int kFileList = 1022;
constexpr int kVoiceList = 1023;

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The file the command-line export writes for these voices of a bank (all when none).
QByteArray Exported(const QString& bankPath, const std::vector<int>& voices,
                    VoiceExport::Format format) {
    VoiceBank bank;
    bank.LoadBank(QFile::encodeName(bankPath).toStdString());
    VoiceExport dumps;
    if (voices.empty()) {
        dumps.AddBank(bank);
    }
    for (const int voice : voices) {
        dumps.Add(bank, voice);
    }
    const std::vector<uint8_t> bytes = dumps.FileBytes(format);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Runs `step` on the next popup or modal window of type T once it shows, from the event loop.
template <typename T>
void WhenShown(std::function<void(T*)> step) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step] {
        T* widget = qobject_cast<T*>(QApplication::activePopupWidget());
        if (!widget) {
            widget = qobject_cast<T*>(QApplication::activeModalWidget());
        }
        if (widget && widget->isVisible()) {
            timer->deleteLater();
            timer->stop();
            step(widget);
        }
    });
    timer->start(5);
}

void ClickAction(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            return;
        }
    }
    menu->close();
    QFAIL(qPrintable("no menu entry " + text));
}

void TypeFileName(QFileDialog* dialog, const QString& path) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->clear();
    QTest::keyClicks(edit, path);
    // The dialog takes a name only once it has read its folder; until then Return does nothing.
    QTRY_VERIFY_WITH_TIMEOUT((QTest::keyClick(edit, Qt::Key_Return), !dialog->isVisible()), 20000);
}

// Drops what the mime data holds at the middle of a widget of the window; true when the window
// took the drag.
bool Drop(QWidget* target, QMimeData* data) {
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(centre), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

std::unique_ptr<QMimeData> Urls(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << (path.contains("://") ? QUrl(path) : QUrl::fromLocalFile(path));
    }
    data->setUrls(urls);
    return data;
}

}  // namespace

class ExportDropTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_Window.Open(); }
    void cleanup() { m_Window.Close(); }

    void exportWritesTheFileNamed_data();
    void exportWritesTheFileNamed();
    void exportRefusals_data();
    void exportRefusals();
    void dropOpensFolderAndBank_data();
    void dropOpensFolderAndBank();
    void dropRefusesAnythingElse_data();
    void dropRefusesAnythingElse();

private:
    QListWidget* List(int id) const {
        return qobject_cast<QListWidget*>(m_Window.m_Dialog->GetDlgItem(id));
    }
    // Right-clicks the row (or the empty list below the rows) and picks the menu entry.
    void RightClickAndPick(const QString& row, const QString& entry);

    VoiceDialog m_Window;
};

void ExportDropTest::RightClickAndPick(const QString& row, const QString& entry) {
    QListWidget* list = List(kVoiceList);
    QPoint at(list->viewport()->width() / 2, list->viewport()->height() - 2);
    if (!row.isEmpty()) {
        const auto found = list->findItems(row, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        list->scrollToItem(found.first());
        at = list->visualItemRect(found.first()).center();
    }
    WhenShown<QMenu>([entry](QMenu* menu) { ClickAction(menu, entry); });
    // Through the window, as the platform delivers it: the press opens the context menu.
    QWindow* window = m_Window.m_Dialog->windowHandle();
    QTest::mouseClick(window, Qt::RightButton, {},
                      list->viewport()->mapTo(m_Window.m_Dialog.get(), at));
}

void ExportDropTest::exportWritesTheFileNamed_data() {
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QString>("row");  // empty: the whole bank
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");  // the name the file gets
    QTest::addColumn<int>("voice");
    QTest::newRow("voice .syx") << "Demo1.s1v"
                                << "Pf\tI1-001\tVelvet Grand"
                                << "Export &Voice..."
                                << "piano.syx"
                                << "piano.syx" << 0;
    QTest::newRow("voice .mid") << "Demo2.s1v"
                                << ""
                                << "Export &Voice..."
                                << "first.mid"
                                << "first.mid" << -1;
    QTest::newRow("bank .mid") << "Demo1.s1v"
                               << "Pf\tI1-001\tVelvet Grand"
                               << "Export &Bank..."
                               << "all.mid"
                               << "all.mid" << -1;
    QTest::newRow("bank, no ending") << "Demo2.s1v"
                                     << ""
                                     << "Export &Bank..."
                                     << "all"
                                     << "all.syx" << -1;
}

void ExportDropTest::exportWritesTheFileNamed() {
    QFETCH(QString, bank);
    QFETCH(QString, row);
    QFETCH(QString, entry);
    QFETCH(QString, name);
    QFETCH(QString, written);
    QFETCH(int, voice);
    m_Window.Choose(bank);
    if (row.isEmpty() && entry == "Export &Voice...") {
        row = List(kVoiceList)->item(0)->text();
        voice = VoiceBank::VoiceIndexFromRow(row.toLatin1().toStdString());
    }
    const QString path = m_Window.Path(name);
    WhenShown<QFileDialog>([path](QFileDialog* dialog) { TypeFileName(dialog, path); });
    MessageBoxAnswer boxes;
    RightClickAndPick(row, entry);
    QTRY_VERIFY(QFile::exists(m_Window.Path(written)));
    const auto format = *VoiceExport::FormatOfName(written.toStdString());
    const std::vector<int> voices = voice < 0 ? std::vector<int>{} : std::vector<int>{voice};
    QCOMPARE(ReadFile(m_Window.Path(written)), Exported(m_Window.Path(bank), voices, format));
    QCOMPARE(boxes.m_Texts, QStringList());
}

void ExportDropTest::exportRefusals_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("name");  // typed in the save dialog; empty: none shows
    QTest::addColumn<QString>("box");
    QTest::newRow("drums") << "Dr\tI1-022\tRock Kit"
                           << ""
                           << "Sorry, no drums yet.";
    QTest::newRow("other ending") << "Pf\tI1-001\tVelvet Grand"
                                  << "piano.txt"
                                  << "Choose a file name ending in .syx or .mid.";
}

// The reason in a box, and no file.
void ExportDropTest::exportRefusals() {
    QFETCH(QString, row);
    QFETCH(QString, name);
    QFETCH(QString, box);
    m_Window.Choose("Demo1.s1v");
    const QString path = m_Window.Path(name);
    if (!name.isEmpty()) {
        WhenShown<QFileDialog>([path](QFileDialog* dialog) { TypeFileName(dialog, path); });
    }
    const QStringList before = QDir(m_Window.Path("")).entryList(QDir::Files);
    MessageBoxAnswer boxes;
    RightClickAndPick(row, "Export &Voice...");
    QTRY_COMPARE(boxes.m_Texts, QStringList{box});
    QCOMPARE(QDir(m_Window.Path("")).entryList(QDir::Files), before);
}

void ExportDropTest::dropOpensFolderAndBank_data() {
    QTest::addColumn<QString>("dropped");  // under the window's folder
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("firstRow");
    QTest::newRow("bank") << "sub/Demo2.s1v"
                          << "sub/"
                          << "Demo2.s1v"
                          << "xx\tI1-001\tinit voice";
    QTest::newRow("bank, upper case") << "sub/LOUD.S1V"
                                      << "sub/"
                                      << "LOUD.S1V"
                                      << "Pf\tI1-001\tVelvet Grand";
    QTest::newRow("folder") << "sub"
                            << "sub/"
                            << ""
                            << "";
}

void ExportDropTest::dropOpensFolderAndBank() {
    QFETCH(QString, dropped);
    QFETCH(QString, folder);
    QFETCH(QString, chosen);
    QFETCH(QString, firstRow);
    QVERIFY(QDir(m_Window.Path("")).mkpath("sub"));
    QVERIFY(QFile::copy(m_Window.Path("Demo2.s1v"), m_Window.Path("sub/Demo2.s1v")));
    QVERIFY(QFile::copy(m_Window.Path("Demo1.s1v"), m_Window.Path("sub/LOUD.S1V")));
    MessageBoxAnswer boxes;
    QVERIFY(Drop(List(kVoiceList)->viewport(), Urls({m_Window.Path(dropped)}).get()));
    QListWidget* files = List(kFileList);
    QCOMPARE(files->count(), 2);
    QCOMPARE(files->currentItem() ? files->currentItem()->text() : QString(), chosen);
    QListWidget* voices = List(kVoiceList);
    QCOMPARE(voices->count() > 0 ? voices->item(0)->text() : QString(), firstRow);
    QCOMPARE(m_Window.m_Dialog->FolderTree()->currentItem()->text(0), QStringLiteral("sub"));
    QCOMPARE(boxes.m_Texts, QStringList());
}

void ExportDropTest::dropRefusesAnythingElse_data() {
    QTest::addColumn<QStringList>("dropped");  // under the window's folder, or a URL
    QTest::newRow("text file") << QStringList{"notes.txt"};
    QTest::newRow("missing bank") << QStringList{"gone.s1v"};
    QTest::newRow("two banks") << QStringList{"Demo1.s1v", "Demo2.s1v"};
    QTest::newRow("web address") << QStringList{"https://example.org/Demo1.s1v"};
    QTest::newRow("no address") << QStringList{};
}

void ExportDropTest::dropRefusesAnythingElse() {
    QFETCH(QStringList, dropped);
    QFile notes(m_Window.Path("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.close();
    QStringList paths;
    for (const QString& name : dropped) {
        paths << (name.contains("://") ? name : m_Window.Path(name));
    }
    const std::unique_ptr<QMimeData> data = Urls(paths);
    if (dropped.isEmpty()) {
        data->setText(m_Window.Path("Demo1.s1v"));
    }
    MessageBoxAnswer boxes;
    QVERIFY(!Drop(List(kVoiceList)->viewport(), data.get()));
    QCOMPARE(List(kFileList)->currentItem(), nullptr);
    QCOMPARE(List(kVoiceList)->count(), 0);
    QCOMPARE(boxes.m_Texts, QStringList());
}

QTEST_MAIN(ExportDropTest)
#include "ExportDropTest.moc"
