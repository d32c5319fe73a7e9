#include "FolderNames.h"

#include <QStringDecoder>
#include <algorithm>

#include "platform/FolderEntries.h"

QString FolderNames::Readable(const QByteArray& name) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(name);
    return utf8.hasError() ? QString::fromLatin1(name) : text;
}

QList<FolderNames::Name> FolderNames::Listed(const QByteArray& folder, bool foldersOnly) {
    QList<Name> names;
    for (const FolderEntries::Entry& entry : FolderEntries::List(folder.toStdString())) {
        QByteArray bytes = QByteArray::fromStdString(entry.name);
        if (foldersOnly ? entry.folder : bytes.toLower().endsWith(".s1v")) {
            QString text = Readable(bytes);
            names.append({std::move(bytes), std::move(text)});
        }
    }
    std::sort(names.begin(), names.end(), [](const Name& left, const Name& right) {
        const int order = left.text.compare(right.text, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : left.bytes < right.bytes;
    });
    return names;
}

QList<FolderNames::Name> FolderNames::Folders(const QByteArray& folder) {
    return Listed(folder, true);
}

QList<FolderNames::Name> FolderNames::Banks(const QByteArray& folder) {
    return Listed(folder, false);
}
