#pragma once

#include <QString>

class QMenu;
class QWidget;
class VoiceBank;
class VoiceExport;

// The voice list's "Export Voice..." and "Export Bank...": the bulk dumps into a .syx or .mid
// file named in a save dialog; what goes wrong is shown in a warning box.
class VoiceExporter {
public:
    explicit VoiceExporter(QWidget* parent) : m_Parent(parent) {}

    // bankPath names the bank file shown; row is the voice row clicked, empty for none. The
    // actions keep a copy of the exporter and the bank by reference: run the menu before the
    // bank changes.
    void AddActions(QMenu& menu, const VoiceBank& bank, const QString& bankPath,
                    const QString& row);

private:
    void Export(const VoiceExport& dumps, const QString& caption, const QString& suggested) const;
    QString AskFileName(const QString& caption, const QString& suggested) const;
    void Warn(const QString& text) const;

    QWidget* m_Parent;
};
