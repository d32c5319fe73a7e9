#include <QAbstractItemModel>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "FindVoiceDlg.h"
#include "ui/VoiceDialog.h"

namespace {

template <typename Control>
Control* ById(QWidget* window, int controlId) {
    for (Control* control : window->findChildren<Control*>()) {
        if (control->property("controlId").toInt() == controlId) {
            return control;
        }
    }
    return nullptr;
}

}  // namespace

// The Find Voice window over the main window's folder of demo banks, driven by keys and the
// mouse: it opens on Ctrl+F, finds as the user types, shows a chosen voice in the main window and
// sends a double-clicked one as the voice list does.
class FindVoiceDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_Voices.Open();
        m_Voices.m_Dir->PointAt("XDG_CACHE_HOME", "cache");
        m_Dialog = m_Voices.m_Dialog.get();
        m_Dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_Dialog));
        QTest::keyClick(m_Dialog, Qt::Key_F, Qt::ControlModifier);
        m_Find = m_Dialog->findChild<FindVoiceDlg*>();
        QVERIFY(m_Find);
        QTRY_VERIFY(m_Find->isVisible());
        m_Text = ById<QLineEdit>(m_Find, FindVoiceDlg::kTextId);
        m_Results = ById<QTreeView>(m_Find, FindVoiceDlg::kResultsId);
        m_Status = ById<QLabel>(m_Find, FindVoiceDlg::kStatusId);
        QVERIFY(m_Text && m_Results && m_Status);
        // Both demo banks scanned: every voice but the inits listed.
        QTRY_COMPARE_WITH_TIMEOUT(m_Status->text(), QStringLiteral("47 voices found."), 20000);
    }
    void cleanup() { m_Voices.Close(); }

    void typingNarrowsTheResults() {
        QTest::keyClicks(m_Text, "GRAND");
        QTRY_COMPARE(m_Results->model()->rowCount(), 1);
        QCOMPARE(Cell(0, 0), QStringLiteral("Demo1.s1v"));
        QCOMPARE(Cell(0, 1), QStringLiteral("I1-001"));
        QCOMPARE(Cell(0, 3), QStringLiteral("Velvet Grand"));
        QTest::keyClick(m_Text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(m_Text, Qt::Key_Delete);
        QTRY_COMPARE(m_Results->model()->rowCount(), 47);
        auto* category = ById<QComboBox>(m_Find, FindVoiceDlg::kCategoryId);
        category->setFocus();
        QTest::keyClicks(category, "Dr");
        QCOMPARE(category->currentData().toString(), QStringLiteral("Dr"));
        QTRY_COMPARE(m_Results->model()->rowCount(), 3);
    }

    void choosingShowsTheVoiceAndDoubleClickSendsIt() {
        QTest::keyClicks(m_Text, "silk");
        QTRY_COMPARE(m_Results->model()->rowCount(), 1);
        const QPoint centre = m_Results->visualRect(m_Results->model()->index(0, 3)).center();
        QTest::mouseClick(m_Results->viewport(), Qt::LeftButton, {}, centre);
        QTRY_VERIFY(m_Dialog->m_VoiceList->currentItem());
        QCOMPARE(m_Dialog->m_FileList->currentItem()->text(), QStringLiteral("Demo1.s1v"));
        QCOMPARE(m_Dialog->m_VoiceList->currentItem()->text(),
                 QStringLiteral("St\tI1-002\tSilk Strings"));
        m_Voices.m_Instrument->Reset();
        QTest::mouseDClick(m_Results->viewport(), Qt::LeftButton, {}, centre);
        QTRY_VERIFY(m_Voices.m_Instrument->LastVoice());
        QCOMPARE(QString::fromStdString(m_Voices.m_Instrument->LastVoice()->name),
                 QStringLiteral("Silk Strings"));
        QTRY_VERIFY(m_Dialog->m_NoteButton->isEnabled());
        m_Voices.WaitForWorker();
    }

private:
    QString Cell(int row, int column) const {
        return m_Results->model()->index(row, column).data().toString();
    }

    VoiceDialog m_Voices;
    CSonavistDlg* m_Dialog = nullptr;
    FindVoiceDlg* m_Find = nullptr;
    QLineEdit* m_Text = nullptr;
    QTreeView* m_Results = nullptr;
    QLabel* m_Status = nullptr;
};

QTEST_MAIN(FindVoiceDlgTest)
#include "FindVoiceDlgTest.moc"
