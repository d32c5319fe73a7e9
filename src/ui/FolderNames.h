#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Names of files and folders as the file system holds them, which need not be valid UTF-8:
// listed by their bytes, shown readably, opened by the same bytes.
class FolderNames {
public:
    struct Name {
        QByteArray bytes;
        QString text;  // readable
    };

    // UTF-8 when the bytes are; else Latin-1, which shows every byte as one character.
    static QString Readable(const QByteArray& name);
    // The subfolders of a folder, sorted by their readable names with case set aside.
    static QList<Name> Folders(const QByteArray& folder);
    // What the file list offers: the entries named "*.s1v" in any case, sorted the same way.
    static QList<Name> Banks(const QByteArray& folder);

private:
    static QList<Name> Listed(const QByteArray& folder, bool foldersOnly);
};
