#include <sys/stat.h>
#include <QCheckBox>
#include <QScopeGuard>
#include <algorithm>

#include "CPushButton.h"
#include "ui/BankRows.h"
#include "ui/MessageBoxAnswer.h"
#include "ui/VoiceDialog.h"
#include "voice/VoiceBank.h"

namespace {

// The rows as the bytes they stand for.
QList<QByteArray> Rows(const QListWidget* list) {
    QList<QByteArray> rows;
    for (int i = 0; i < list->count(); ++i) {
        rows << list->item(i)->text().toLatin1();
    }
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
    void badBankEmptiesRows_data();
    void badBankEmptiesRows();
    void doubleClickSendsDump_data();
    void doubleClickSendsDump();
    void voiceRefused_data();
    void voiceRefused();
    void auditionOnlyAfterSend();
    void unwritableFolderKeepsWindowUsable();
    void screenshotInCatOrder();

private:
    QString Path(const QString& name) const { return m_Voices.Path(name); }
    void Choose(const QString& file) { m_Voices.Choose(file); }

    VoiceDialog m_Voices;
    CSonavistDlg* m_Dialog = nullptr;
};

// Besides the demo banks: one whose names use every kind of byte and whose voice I1-031 has no
// element in use, and a short file.
void VoiceListTest::init() {
    m_Voices.Open();
    m_Dialog = m_Voices.m_Dialog.get();
    QFile demo(Path("Demo1.s1v"));
    QVERIFY(demo.open(QIODevice::ReadOnly));
    QByteArray bank = demo.readAll();
    const QByteArray accented("\xC9t\xE9 \x80\xFF\x01\x7F", 8);
    bank.replace(int(VoiceBank::kCommonOffset + 236), accented.size(), accented);
    for (int entry = 0; entry < VoiceBank::kElementBlockCount; ++entry) {
        const qsizetype at = qsizetype(VoiceBank::kDirectoryOffset) + 2 * entry;
        if (bank[at] == 30) {
            bank[at + 1] = char(0x80);  // free
        }
    }
    QFile latin(Path("Latin.s1v"));
    QVERIFY(latin.open(QIODevice::WriteOnly) && latin.write(bank) == bank.size());
    QFile shortFile(Path("Short.s1v"));
    QVERIFY(shortFile.open(QIODevice::WriteOnly) && shortFile.write(bank.left(1000)) == 1000);
    m_Dialog->FillFileList(m_Dialog->m_CurrentFolder);
}

void VoiceListTest::cleanup() {
    m_Voices.Close();
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
    QCOMPARE(Rows(dialog.m_VoiceList), BankRows::Listed(Path(bank), options));
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
    QCOMPARE(Rows(list), BankRows::Listed(Path("Demo1.s1v"), {"--cat-order"}));
    QCOMPARE(list->currentItem()->text().toLatin1(), chosen);
    QCOMPARE(list->selectedItems().size(), 1);

    dialog.m_CatOrderCheck->click();
    QCOMPARE(Rows(dialog.m_VoiceList), BankRows::Listed(Path("Demo1.s1v"), {}));
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
    QCOMPARE(Rows(dialog.m_VoiceList), BankRows::Listed(bank, {"--show-inits"}));
    QCOMPARE(dialog.m_VoiceList->currentRow(), -1);
    dialog.m_ShowInitsCheck->click();
    QCOMPARE(Rows(dialog.m_VoiceList), BankRows::Listed(bank, {}));

    // Cat Order checked: only re-sorted until the rows are next built.
    dialog.m_CatOrderCheck->click();
    dialog.m_ShowInitsCheck->click();
    QCOMPARE(Rows(dialog.m_VoiceList), BankRows::Listed(bank, {"--cat-order"}));
    Choose("Demo2.s1v");
    Choose("Demo1.s1v");
    QCOMPARE(Rows(dialog.m_VoiceList), BankRows::Listed(bank, {"--cat-order", "--show-inits"}));
    dialog.m_CatOrderCheck->click();
    QCOMPARE(Rows(dialog.m_VoiceList), BankRows::Listed(bank, {"--show-inits"}));
}

void VoiceListTest::badBankEmptiesRows_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("gone since listed") << "Gone.s1v"
                                       << "SonavistDlg.cpp:1118 Cannot open input file #1";
    QTest::newRow("short") << "Short.s1v"
                           << "SonavistDlg.cpp:1124 Cannot read voice file #1";
    QTest::newRow("folder") << "Folder.s1v"
                            << "SonavistDlg.cpp:1124 Cannot read voice file #1";
    QTest::newRow("pipe since listed") << "Pipe.s1v"
                                       << "SonavistDlg.cpp:1118 Cannot open input file #1";
}

void VoiceListTest::badBankEmptiesRows() {
    QFETCH(QString, file);
    QFETCH(QString, message);
    CSonavistDlg& dialog = *m_Dialog;
    // Unreadable even for root: a folder, and files gone or turned into a pipe since listed.
    QVERIFY(QDir(m_Voices.Path("")).mkdir("Folder.s1v"));
    for (const char* name : {"Gone.s1v", "Pipe.s1v"}) {
        QFile(Path(name)).open(QIODevice::WriteOnly);
    }
    dialog.FillFileList(dialog.m_CurrentFolder);
    QVERIFY(QFile::remove(Path("Gone.s1v")) && QFile::remove(Path("Pipe.s1v")));
    QCOMPARE(mkfifo(Path("Pipe.s1v").toLocal8Bit().constData(), 0600), 0);
    Choose("Demo2.s1v");

    MessageBoxAnswer answer;
    Choose(file);
    QCOMPARE(answer.m_Texts, QStringList{message});
    QCOMPARE(answer.m_Icons.first(), QMessageBox::Warning);
    QCOMPARE(Rows(dialog.m_VoiceList), QList<QByteArray>());
    QVERIFY(dialog.m_CatOrderCheck->isEnabled());
    QVERIFY(!dialog.m_NoteButton->isEnabled());
    Choose("Demo1.s1v");
    QCOMPARE(Rows(dialog.m_VoiceList), BankRows::Listed(Path("Demo1.s1v"), {}));
}

void VoiceListTest::doubleClickSendsDump_data() {
    QTest::addColumn<QString>("bank");
    QTest::addColumn<bool>("catOrder");
    QTest::addColumn<QByteArray>("row");
    QTest::newRow("four elements")
        << "Demo1.s1v" << false << QByteArray("Pf\tI1-001\tVelvet Grand");
    QTest::newRow("one element") << "Demo1.s1v" << false << QByteArray("Ba\tI1-003\tDeep Finger");
    QTest::newRow("unknown code") << "Demo1.s1v" << true << QByteArray("xx\tI1-024\tOdd Category");
    QTest::newRow("second bank, gaps")
        << "Demo2.s1v" << true << QByteArray("Pd\tI2-012\tPolar Night");
    QTest::newRow("every byte") << "Latin.s1v" << false
                                << QByteArray("St\tI1-002\t\xC9t\xE9 \x80\xFF\x01\x7Fings");
}

void VoiceListTest::doubleClickSendsDump() {
    QFETCH(QString, bank);
    QFETCH(bool, catOrder);
    QFETCH(QByteArray, row);
    Choose(bank);
    if (catOrder) {
        m_Dialog->m_CatOrderCheck->click();
    }
    m_Voices.Send(row);
    const auto voice = m_Voices.m_Instrument->LastVoice();
    QVERIFY(voice && voice->checksumOk);
    const QByteArray expected = BankRows::DumpOf(Path(bank), row);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(voice->dump.data()),
                        qsizetype(voice->dump.size())),
             expected);
}

void VoiceListTest::voiceRefused_data() {
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QString>("message");
    QTest::newRow("drums") << QByteArray("Dr\tI2-064\tJazz Kit") << "Sorry, no drums yet.";
    QTest::newRow("no element in use")
        << QByteArray("xx\tI1-031\tInit Voice") << "SonavistDlg.cpp:1252 Problem assembling patch.";
}

// Nothing is sent and no job starts; the window goes on as before.
void VoiceListTest::voiceRefused() {
    QFETCH(QByteArray, row);
    QFETCH(QString, message);
    Choose("Latin.s1v");
    m_Dialog->m_ShowInitsCheck->click();
    const QList<QByteArray> rows = Rows(m_Dialog->m_VoiceList);
    const size_t received = m_Voices.m_Instrument->ReceivedMessages().size();
    MessageBoxAnswer answer;
    m_Voices.DoubleClick(row);
    QCOMPARE(answer.m_Texts, QStringList{message});
    QCOMPARE(answer.m_Icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
    QVERIFY(!m_Dialog->m_Worker);
    QVERIFY(m_Dialog->m_QuitButton->isEnabled());
    QCOMPARE(Rows(m_Dialog->m_VoiceList), rows);
    QTest::qWait(50);
    QCOMPARE(m_Voices.m_Instrument->ReceivedMessages().size(), received);
}

// The buttons follow a completed send, and go with the next file or send.
void VoiceListTest::auditionOnlyAfterSend() {
    CSonavistDlg& dialog = *m_Dialog;
    const auto buttons = {dialog.m_NoteButton, dialog.m_MajorButton, dialog.m_MinorButton,
                          dialog.m_TrillButton};
    const auto enabled = [&buttons](bool on) {
        for (const CPushButton* button : buttons) {
            if (button->isEnabled() != on) {
                return false;
            }
        }
        return true;
    };
    QVERIFY(enabled(false));
    Choose("Demo1.s1v");
    QVERIFY(enabled(false));
    m_Voices.DoubleClick("Pf\tI1-001\tVelvet Grand");
    QVERIFY(enabled(false));
    QVERIFY(!dialog.m_QuitButton->isEnabled());
    QTRY_VERIFY(enabled(true));
    QVERIFY(dialog.m_QuitButton->isEnabled());
    QTRY_VERIFY(m_Voices.m_Instrument->LastVoice());

    m_Voices.DoubleClick("Ba\tI1-003\tDeep Finger");
    QVERIFY(enabled(false));
    QTRY_VERIFY(enabled(true));
    Choose("Demo2.s1v");
    QVERIFY(enabled(false));
}

// The job log cannot be written where the program runs: a folder stands where it goes, which
// stops root too. The send fails without a word and the window comes back.
void VoiceListTest::unwritableFolderKeepsWindowUsable() {
    QFile::remove("Sonavist.log");
    QVERIFY(QDir().mkdir("Sonavist.log"));
    const auto removeFolder = qScopeGuard([] { QDir().rmdir("Sonavist.log"); });
    Choose("Demo1.s1v");
    MessageBoxAnswer answer;
    m_Voices.DoubleClick("Pf\tI1-001\tVelvet Grand");
    QVERIFY(!m_Dialog->m_QuitButton->isEnabled());
    QTRY_VERIFY(m_Dialog->m_QuitButton->isEnabled());
    QVERIFY(!m_Dialog->m_Worker);
    QCOMPARE(answer.m_Texts, QStringList());
    QVERIFY(m_Dialog->m_VoiceList->isEnabled() && m_Dialog->m_FileList->isEnabled());
}

void VoiceListTest::screenshotInCatOrder() {
    CSonavistDlg& dialog = *m_Dialog;
    Choose("Demo1.s1v");
    dialog.m_CatOrderCheck->click();
    m_Voices.Send("Br\tI1-009\tBrass Stab");
    dialog.resize(1000, 640);
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QString folder = qEnvironmentVariable("SONAVIST_SCREENSHOTS");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(dialog.grab().save(folder + "/voices.png"));
}

QTEST_MAIN(VoiceListTest)
#include "VoiceListTest.moc"
