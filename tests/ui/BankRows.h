#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "voice/EX5Patch.h"
#include "voice/VoiceBank.h"

// What the window should show and send for a bank file, made as the command-line tool makes it.
class BankRows {
public:
    // The rows for the options, in bank order or sorted as bytes.
    static QList<QByteArray> Listed(const QString& path, const QStringList& options) {
        VoiceBank bank;
        bank.LoadBank(QFile::encodeName(path).toStdString());
        bank.m_ShowInits = options.contains("--show-inits");
        std::vector<std::string> rows;
        bank.FillVoiceList([&rows](const std::string& row) { rows.push_back(row); });
        if (options.contains("--cat-order")) {
            std::sort(rows.begin(), rows.end());
        }
        QList<QByteArray> listed;
        for (const std::string& row : rows) {
            listed << QByteArray::fromStdString(row);
        }
        return listed;
    }

    // The same as a user reads them: every byte of a name as one character.
    static QStringList Shown(const QString& path, const QStringList& options) {
        QStringList shown;
        for (const QByteArray& row : Listed(path, options)) {
            shown << QString::fromLatin1(row);
        }
        return shown;
    }

    // The bulk dump for the row's voice.
    static QByteArray DumpOf(const QString& path, const QByteArray& row) {
        VoiceBank bank;
        bank.LoadBank(QFile::encodeName(path).toStdString());
        std::unique_ptr<EX5Patch> patch = bank.PatchForRow(row.toStdString());
        const uint8_t* dump = patch->BuildDump();
        return QByteArray(reinterpret_cast<const char*>(dump), qsizetype(patch->GetDumpLength()));
    }
};
