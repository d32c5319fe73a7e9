#include "VoiceExporter.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include "platform/AtomicFile.h"
#include "voice/VoiceBank.h"
#include "voice/VoiceExport.h"

namespace {

const QString kSysexFilter = QStringLiteral("System Exclusive (*.syx)");
const QString kMidiFilter = QStringLiteral("Standard MIDI File (*.mid)");

}  // namespace

void VoiceExporter::AddActions(QMenu& menu, const VoiceBank& bank, const QString& bankPath,
                               const QString& row) {
    const QFileInfo file(bankPath);
    const QString stem = file.absolutePath() + QLatin1Char('/') + file.completeBaseName();
    const int voice = VoiceBank::VoiceIndexFromRow(row.toLatin1().toStdString());
    QAction* one =
        menu.addAction(QStringLiteral("Export &Voice..."), [exporter = *this, &bank, voice, stem] {
            VoiceExport dumps;
            dumps.Add(bank, voice);
            const QString slot = QString::fromStdString(VoiceBank::SlotOfVoice(voice));
            exporter.Export(dumps, QStringLiteral("Export Voice"), stem + QLatin1Char('-') + slot);
        });
    one->setEnabled(voice >= 0);
    QAction* all =
        menu.addAction(QStringLiteral("Export &Bank..."), [exporter = *this, &bank, stem] {
            VoiceExport dumps;
            dumps.AddBank(bank);
            exporter.Export(dumps, QStringLiteral("Export Bank"), stem);
        });
    all->setEnabled(!bankPath.isEmpty());
}

void VoiceExporter::Export(const VoiceExport& dumps, const QString& caption,
                           const QString& suggested) const {
    if (dumps.Dumps().empty()) {
        Warn(QString::fromLatin1(dumps.Skips().front().reason));
        return;
    }
    const QString name = AskFileName(caption, suggested);
    if (name.isEmpty()) {
        return;
    }
    const auto format = VoiceExport::FormatOfName(QFile::encodeName(name).toStdString());
    if (!format) {
        Warn(QStringLiteral("Choose a file name ending in .syx or .mid."));
        return;
    }
    const std::vector<uint8_t> bytes = dumps.FileBytes(*format);
    if (!AtomicFile::Replace(QFile::encodeName(name).toStdString(), bytes.data(), bytes.size())) {
        Warn(QStringLiteral("Cannot write %1").arg(name));
    }
}

QString VoiceExporter::AskFileName(const QString& caption, const QString& suggested) const {
    QFileDialog dialog(m_Parent, caption, suggested + QStringLiteral(".syx"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({kSysexFilter, kMidiFilter});
    dialog.setDefaultSuffix(QStringLiteral("syx"));
    // A name typed without an ending takes the one of the type chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(f == kMidiFilter ? QStringLiteral("mid") : QStringLiteral("syx"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

void VoiceExporter::Warn(const QString& text) const {
    QMessageBox::warning(m_Parent, QStringLiteral("Sonavist"), text);
}
