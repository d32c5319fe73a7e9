#include "SonavistArt.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kOutline(40, 40, 48);
const QColor kFolder(240, 200, 80);
const QColor kFolderDark(200, 150, 40);
const QColor kMetal(176, 180, 188);
const QColor kBlue(60, 110, 200);
const QColor kGreen(40, 180, 80);

QImage Blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Folder(QPainter& p, bool open) {
    p.setPen(kOutline);
    p.setBrush(kFolderDark);
    p.drawRect(1, 3, 6, 2);
    p.drawRect(1, 4, 14, 10);
    p.setBrush(kFolder);
    if (open) {
        p.drawPolygon(QPolygon({QPoint(1, 14), QPoint(4, 7), QPoint(16, 7), QPoint(13, 14)}));
    } else {
        p.drawRect(1, 6, 14, 8);
    }
}

// A drive body with its light; the accent says what kind of drive it is.
void Drive(QPainter& p, const QColor& body, int top) {
    p.setPen(kOutline);
    p.setBrush(body);
    p.drawRect(1, top, 14, 15 - top - 1);
    p.setBrush(kGreen);
    p.drawRect(12, 12, 1, 1);
}

void Removable(QPainter& p) {
    Drive(p, kMetal, 7);
    p.setBrush(kOutline);
    p.drawRect(3, 9, 7, 1);
}

void FixedDrive(QPainter& p) {
    Drive(p, kMetal, 8);
    p.setPen(QColor(120, 120, 130));
    p.drawLine(3, 10, 9, 10);
}

void NetworkDrive(QPainter& p) {
    Drive(p, kMetal, 3);
    p.setPen(kOutline);
    p.drawLine(8, 14, 8, 15);
    p.drawLine(3, 15, 13, 15);
}

void Disc(QPainter& p) {
    p.setPen(kOutline);
    QRadialGradient shine(QPointF(7, 6), 8);
    shine.setColorAt(0, QColor(250, 250, 255));
    shine.setColorAt(1, QColor(150, 170, 210));
    p.setBrush(shine);
    p.drawEllipse(1, 1, 14, 14);
    p.setBrush(Qt::white);
    p.drawEllipse(6, 6, 4, 4);
}

void RamChip(QPainter& p) {
    p.setPen(kOutline);
    for (int x = 3; x <= 13; x += 2) {
        p.drawLine(x, 2, x, 14);
    }
    p.setBrush(QColor(30, 90, 50));
    p.drawRect(1, 4, 15, 8);
}

void Globe(QPainter& p, const QColor& sea) {
    p.setPen(kOutline);
    p.setBrush(sea);
    p.drawEllipse(1, 1, 14, 14);
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(220, 235, 255));
    p.drawEllipse(5, 1, 6, 14);
    p.drawLine(1, 8, 15, 8);
}

void Server(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(kMetal);
    p.drawRect(4, 1, 9, 14);
    for (int y = 4; y <= 10; y += 3) {
        p.drawLine(6, y, 11, y);
    }
    p.setBrush(kGreen);
    p.drawRect(10, 12, 1, 1);
}

void Share(QPainter& p) {
    Folder(p, false);
    p.setPen(QPen(kBlue, 2));
    p.drawLine(8, 10, 8, 15);
}

void Page(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(14, 5), QPoint(14, 15), QPoint(3, 15)}));
    p.drawLine(10, 1, 10, 5);
    p.drawLine(10, 5, 14, 5);
}

void Group(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(QColor(230, 180, 140));
    p.drawEllipse(2, 2, 5, 5);
    p.drawEllipse(9, 2, 5, 5);
    p.setBrush(kBlue);
    p.drawRoundedRect(1, 8, 7, 7, 2, 2);
    p.drawRoundedRect(8, 8, 7, 7, 2, 2);
}

void Domain(QPainter& p) {
    Globe(p, QColor(70, 150, 90));
}

void Root(QPainter& p) {
    Globe(p, QColor(120, 90, 180));
}

using Painter = void (*)(QPainter&);

const Painter kTreePainters[SonavistArt::kTreeImageCount] = {
    [](QPainter& p) { Folder(p, true); },
    [](QPainter& p) { Folder(p, false); },
    Removable,
    FixedDrive,
    NetworkDrive,
    Disc,
    RamChip,
    [](QPainter& p) { Globe(p, kBlue); },
    Domain,
    Server,
    Share,
    Page,
    Group,
    [](QPainter& p) { Globe(p, kBlue); },
    Root,
};

// A small synthesizer: a dark body, a display with a wave, and a row of keys.
void Synthesizer(QPainter& p) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(52, 56, 72));
    p.drawRoundedRect(QRectF(1, 6, 30, 21), 3, 3);
    p.setBrush(QColor(120, 210, 230));
    p.drawRect(QRectF(4, 9, 14, 6));
    QPainterPath wave;
    wave.moveTo(5, 12);
    wave.cubicTo(8, 7, 10, 17, 13, 12);
    wave.cubicTo(15, 9, 16, 12, 17, 12);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 60, 90), 1));
    p.drawPath(wave);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 120, 60));
    p.drawEllipse(QRectF(21, 9, 3.5, 3.5));
    p.drawEllipse(QRectF(26, 9, 3.5, 3.5));
    p.setPen(QPen(kOutline, 0.6));
    p.setBrush(Qt::white);
    for (int key = 0; key < 7; ++key) {
        p.drawRect(QRectF(3 + key * 3.7, 17, 3.7, 8));
    }
    p.setBrush(kOutline);
    for (const int key : {0, 1, 3, 4, 5}) {
        p.drawRect(QRectF(5.4 + key * 3.7, 17, 2.2, 4.5));
    }
}

}  // namespace

QImage SonavistArt::Icon(int /*id*/, int size) {
    // Both icon resources show the same picture; they differ only in the sizes they offer.
    QImage image = Blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    Synthesizer(p);
    return image;
}

QImage SonavistArt::TreeImage(int index) {
    QImage image = Blank(kTreeImageWidth, kTreeImageHeight);
    if (index < 0 || index >= kTreeImageCount) {
        return image;
    }
    QPainter p(&image);
    kTreePainters[index](p);
    return image;
}
