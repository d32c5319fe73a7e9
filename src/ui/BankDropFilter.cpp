#include "BankDropFilter.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

BankDropFilter::BankDropFilter(QWidget* window, Open open)
    : QObject(window), m_Open(std::move(open)) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool BankDropFilter::Target(const QMimeData* data, QString& folder, QString& file) {
    if (!data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile()) {
        return false;
    }
    const QFileInfo info(data->urls().front().toLocalFile());
    if (info.isDir()) {
        folder = info.absoluteFilePath();
        file.clear();
    } else if (info.isFile() &&
               info.suffix().compare(QStringLiteral("s1v"), Qt::CaseInsensitive) == 0) {
        folder = info.absolutePath();
        file = info.fileName();
    } else {
        return false;
    }
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return true;
}

bool BankDropFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QObject::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    QString folder;
    QString file;
    if (!Target(drop->mimeData(), folder, file)) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        m_Open(folder, file);
    }
    return true;
}
