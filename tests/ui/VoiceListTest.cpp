#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

#include "CPushButton.h"
#include "CSignalEdit.h"
#include "CSonavistDlg.h"
#include "ui/FakeFolderSources.h"
#include "ui/MessageBoxAnswer.h"
#include "voice/VoiceBank.h"

namespace {

const QString kBanks = QStringLiteral(SONAVIST_BANKS);

// The rows as the bytes they stand for.
QList<QByteArray> Rows(const QListWidget* list) {
    QList<QByteArray> rows;
    for (int i = 0; i < list->count(); ++i) {
        rows << list->item(i)->text().toLatin1();
    }
    return rows;
}

// What the command-line tool writes for the arguments, as the bytes it wrote.
QByteArray RunCli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(SONAVIST_CLI), arguments);
    if (!cli.waitForFinished(10000) || cli.exitCode() != 0) {
        return "sonavist-cli failed: " + cli.readAllStandardError();
    }
    return cli.readAllStandardOutput();
}

QList<QByteArray> CliRows(const QString& bank, const QStringList& options) {
    QList<QByteArray> rows = RunCli(QStringList{"list"} << options << bank).split('\n');
    rows.removeLast();
    return rows;
}

QWidget* NextTabStop(QWidget* widget) {
    do {
        widget = widget->nextInFocusChain();
    } while (!(widget->focusPolicy() & Qt::TabFocus));
    return widget;
}

}  // namespace

class VoiceListTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void choosingBankListsRows_data();
    void choosingBankListsRows();
    void catOrderKeepsCurrentVoiceAndPlace();
    void showInitsFollowsCatOrder();
    void badBankKeepsRows_data();
    void badBankKeepsRows();
    void screenshotInCatOrder();

private:
    QString Path(const QString& name) const { return m_Dir->path() + "/" + name; }
    void Choose(const QString& file);

    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<CSonavistDlg> m_Dialog;
};

// A folder with both demo banks, one whose names use every kind of byte, and a short file.
void VoiceListTest::init() {
    m_Dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", Path("config").toLocal8Bit());
    for (const char* name : {"Demo1.s1v", "Demo2.s1v"}) {
        QVERIFY(QFile::copy(kBanks + "/" + name, Path(name)));
    }
    QFile demo(kBanks + "/Demo1.s1v");
    QVERIFY(demo.open(QIODevice::ReadOnly));
    QByteArray bank = demo.readAll();
    const QByteArray accented("\xC9t\xE9 \x80\xFF\x01\x7F", 8);
    bank.replace(int(VoiceBank::kCommonOffset + 236), accented.size(), accented);
    QFile latin(Path("Latin.s1v"));
    QVERIFY(latin.open(QIODevice::WriteOnly) && latin.write(bank) == bank.size());
    QFile shortFile(Path("Short.s1v"));
    QVERIFY(shortFile.open(QIODevice::WriteOnly) && shortFile.write(bank.left(1000)) == 1000);

    m_Dialog = std::make_unique<CSonavistDlg>();
    m_Dialog->SetFolderProviders(std::make_shared<FakeVolumes>(std::vector<Volume>{
                                     {"Volume", m_Dir->path().toStdString(), VolumeKind::Fixed}}),
                                 std::make_shared<FakeNetwork>());
    m_Dialog->OnInitDialog();
    m_Dialog->show();
    m_Dialog->m_IdentDoneEdit->InsertText("Done");
    m_Dialog->m_CurrentFolder = m_Dir->path() + "/";
    m_Dialog->FillFileList(m_Dialog->m_CurrentFolder);
}

void VoiceListTest::cleanup() {
    m_Dialog.reset();
    m_Dir.reset();
}

void VoiceListTest::Choose(const QString& file) {
    const auto found = m_Dialog->m_FileList->findItems(file, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    m_Dialog->m_FileList->setCurrentItem(found.first());
}

void VoiceListTest::choosingBankListsRows_data() {
    QTest::addColumn<QString>("bank");
    QTest::addColumn<bool>("catOrder");
    QTest::addColumn<bool>("showInits");
    QTest::newRow("bank order") << "Demo1.s1v" << false << false;
    QTest::newRow("bank order with inits") << "Demo1.s1v" << false << true;
    QTest::newRow("cat order") << "Demo1.s1v" << true << false;
    QTest::newRow("cat order with inits") << "Demo2.s1v" << true << true;
    QTest::newRow("every byte of a name") << "Latin.s1v" << false << false;
    QTest::newRow("every byte in cat order") << "Latin.s1v" << true << false;
}

// Options set while another bank is listed, then the bank chosen.
void VoiceListTest::choosingBankListsRows() {
    QFETCH(QString, bank);
    QFETCH(bool, catOrder);
    QFETCH(bool, showInits);
    CSonavistDlg& dialog = *m_Dialog;
    QVERIFY(!dialog.m_CatOrderCheck->isEnabled());
    Choose(bank == "Demo2.s1v" ? "Demo1.s1v" : "Demo2.s1v");
    QVERIFY(dialog.m_CatOrderCheck->isEnabled() && dialog.m_ShowInitsCheck->isEnabled());
    if (showInits) {
        dialog.m_ShowInitsCheck->click();
    }
    if (catOrder) {
        dialog.m_CatOrderCheck->click();
    }
    Choose(bank);

    QStringList options;
    if (catOrder) {
        options << "--cat-order";
    }
    if (showInits) {
        options << "--show-inits";
    }
    QCOMPARE(Rows(dialog.m_VoiceList), CliRows(Path(bank), options));
    QVERIFY(!dialog.m_NoteButton->isEnabled() && !dialog.m_TrillButton->isEnabled());
}

void VoiceListTest::catOrderKeepsCurrentVoiceAndPlace() {
    CSonavistDlg& dialog = *m_Dialog;
    Choose("Demo1.s1v");
    const QByteArray chosen("Ba\tI2-002\tSynth Bass");
    dialog.m_VoiceList->setCurrentRow(int(Rows(dialog.m_VoiceList).indexOf(chosen)));
    QListWidget* old = dialog.m_VoiceList;
    const QRect place = old->geometry();
    QWidget* before = dialog.m_FileList;

    dialog.m_CatOrderCheck->click();
    QListWidget* list = dialog.m_VoiceList;
    QVERIFY(list != old);
    QCOMPARE(dialog.GetDlgItem(1023), list);
    QCOMPARE(list->geometry(), place);
    QVERIFY(list->isVisible());
    QCOMPARE(NextTabStop(before), list);
    QCOMPARE(NextTabStop(list), dialog.m_CatOrderCheck);
    QCOMPARE(Rows(list), CliRows(Path("Demo1.s1v"), {"--cat-order"}));
    QCOMPARE(list->currentItem()->text().toLatin1(), chosen);
    QCOMPARE(list->selectedItems().size(), 1);

    dialog.m_CatOrderCheck->click();
    QCOMPARE(Rows(dialog.m_VoiceList), CliRows(Path("Demo1.s1v"), {}));
    QCOMPARE(dialog.m_VoiceList->currentRow(), -1);
    QVERIFY(dialog.m_VoiceList->selectedItems().isEmpty());
    QCOMPARE(dialog.GetDlgItem(1023), dialog.m_VoiceList);
}

void VoiceListTest::showInitsFollowsCatOrder() {
    CSonavistDlg& dialog = *m_Dialog;
    const QString bank = Path("Demo1.s1v");
    Choose("Demo1.s1v");
    dialog.m_VoiceList->setCurrentRow(3);

    // Cat Order clear: the rows follow at once, none selected.
    dialog.m_ShowInitsCheck->click();
    QCOMPARE(Rows(dialog.m_VoiceList), CliRows(bank, {"--show-inits"}));
    QCOMPARE(dialog.m_VoiceList->currentRow(), -1);
    dialog.m_ShowInitsCheck->click();
    QCOMPARE(Rows(dialog.m_VoiceList), CliRows(bank, {}));

    // Cat Order checked: only re-sorted until the rows are next built.
    dialog.m_CatOrderCheck->click();
    dialog.m_ShowInitsCheck->click();
    QCOMPARE(Rows(dialog.m_VoiceList), CliRows(bank, {"--cat-order"}));
    Choose("Demo2.s1v");
    Choose("Demo1.s1v");
    QCOMPARE(Rows(dialog.m_VoiceList), CliRows(bank, {"--cat-order", "--show-inits"}));
    dialog.m_CatOrderCheck->click();
    QCOMPARE(Rows(dialog.m_VoiceList), CliRows(bank, {"--show-inits"}));
}

void VoiceListTest::badBankKeepsRows_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("gone since listed") << "Gone.s1v"
                                       << "SonavistDlg.cpp:1118 Cannot open input file #1";
    QTest::newRow("short") << "Short.s1v"
                           << "SonavistDlg.cpp:1124 Cannot read voice file #1";
    QTest::newRow("folder") << "Folder.s1v" << "SonavistDlg.cpp:1124 Cannot read voice file #1";
    QTest::newRow("pipe since listed") << "Pipe.s1v"
                                       << "SonavistDlg.cpp:1118 Cannot open input file #1";
}

void VoiceListTest::badBankKeepsRows() {
    QFETCH(QString, file);
    QFETCH(QString, message);
    CSonavistDlg& dialog = *m_Dialog;
    // Unreadable even for root: a folder, and files gone or turned into a pipe since listed.
    QVERIFY(QDir(m_Dir->path()).mkdir("Folder.s1v"));
    for (const char* name : {"Gone.s1v", "Pipe.s1v"}) {
        QFile(Path(name)).open(QIODevice::WriteOnly);
    }
    dialog.FillFileList(dialog.m_CurrentFolder);
    QVERIFY(QFile::remove(Path("Gone.s1v")) && QFile::remove(Path("Pipe.s1v")));
    QCOMPARE(mkfifo(Path("Pipe.s1v").toLocal8Bit().constData(), 0600), 0);
    Choose("Demo2.s1v");
    const QList<QByteArray> rows = Rows(dialog.m_VoiceList);

    MessageBoxAnswer answer;
    Choose(file);
    QCOMPARE(answer.m_Texts, QStringList{message});
    QCOMPARE(answer.m_Icons.first(), QMessageBox::Warning);
    QCOMPARE(Rows(dialog.m_VoiceList), rows);
    QVERIFY(dialog.m_CatOrderCheck->isEnabled());
    QVERIFY(!dialog.m_NoteButton->isEnabled());
    Choose("Demo1.s1v");
    QCOMPARE(Rows(dialog.m_VoiceList), CliRows(Path("Demo1.s1v"), {}));
}

void VoiceListTest::screenshotInCatOrder() {
    CSonavistDlg& dialog = *m_Dialog;
    Choose("Demo1.s1v");
    dialog.m_CatOrderCheck->click();
    dialog.m_VoiceList->setCurrentRow(2);
    dialog.resize(1000, 640);
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QString folder = qEnvironmentVariable("SONAVIST_SCREENSHOTS");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(dialog.grab().save(folder + "/voices.png"));
}

QTEST_MAIN(VoiceListTest)
#include "VoiceListTest.moc"
