#include "qt/QtMainWindowIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

#include "app/CommandTable.h"

// The icon's PNG sizes, the same files the desktop's icon theme gets, so
// the window, its about box and the application menu show one picture.
static void LoadApplicationIconResources() { Q_INIT_RESOURCE(icons); }

namespace tabulon::qt {

namespace {

// Every picture is drawn on a 16 by 16 grid, at several sizes.
QIcon Draw(const std::function<void(QPainter&)>& paint) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        paint(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QColor kInk(0x40, 0x40, 0x40);

void Sheet(QPainter& p, QRectF r = QRectF(3, 1.5, 9, 12.5)) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() + 3));
    p.drawLine(QPointF(r.right() - 3, r.top() + 3), QPointF(r.right(), r.top() + 3));
}

void Lines(QPainter& p, double left, double right, std::initializer_list<double> ys) {
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    for (double y : ys) p.drawLine(QPointF(left, y), QPointF(right, y));
}

void Folder(QPainter& p) {
    p.setPen(QPen(QColor(0x8A, 0x6A, 0x1E), 1));
    p.setBrush(QColor(0xE8, 0xC0, 0x5A));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(13.5, 5);
    back.lineTo(13.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(0xF6, 0xD8, 0x80));
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
}

void Disk(QPainter& p, const QColor& colour) {
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(0xD0, 0xD0, 0xD0));
    p.drawRect(QRectF(4.5, 9, 7, 5.5));
}

void Pencil(QPainter& p) {
    p.setPen(QPen(QColor(0x20, 0x40, 0x90), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 4), QPointF(8, 12));
    p.setPen(QPen(QColor(0xF0, 0xA0, 0x40), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 12), QPointF(7, 14));
}

void Badge(QPainter& p, const QColor& colour, bool plus) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    p.setPen(QPen(Qt::white, 1.4));
    p.drawLine(QPointF(10, 12), QPointF(14, 12));
    if (plus) p.drawLine(QPointF(12, 10), QPointF(12, 14));
}

}  // namespace

QIcon CommandIcon(int command) {
    namespace C = CommandId;
    switch (command) {
    case C::kNewConfiguration:
        return Draw([](QPainter& p) {
            Sheet(p);
            Lines(p, 5, 10, {6, 8, 10});
            Badge(p, QColor(0x30, 0x90, 0x30), true);
        });
    case C::kEditConfiguration:
        return Draw([](QPainter& p) {
            Sheet(p);
            Lines(p, 5, 10, {6, 8, 10});
            Pencil(p);
        });
    case C::kOpenConfiguration: return Draw([](QPainter& p) { Folder(p); });
    case C::kSaveDatabase: return Draw([](QPainter& p) { Disk(p, QColor(0x30, 0x60, 0xB0)); });
    case C::kSaveConfiguration:
        return Draw([](QPainter& p) {
            Disk(p, QColor(0x30, 0x90, 0x60));
        });
    case C::kAddDirectory:
        return Draw([](QPainter& p) {
            Folder(p);
            Badge(p, QColor(0x30, 0x90, 0x30), true);
        });
    case C::kMoveItems:
        return Draw([](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(0xFF, 0xF4, 0xC0));
            p.drawRect(QRectF(1.5, 1.5, 13, 4));
            p.setBrush(QColor(0xD8, 0xE8, 0xFF));
            p.drawRect(QRectF(1.5, 10.5, 13, 4));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x30, 0x90, 0x30));
            QPainterPath arrow;
            arrow.moveTo(6.5, 5.5);
            arrow.lineTo(9.5, 5.5);
            arrow.lineTo(9.5, 7.5);
            arrow.lineTo(11.5, 7.5);
            arrow.lineTo(8, 10.5);
            arrow.lineTo(4.5, 7.5);
            arrow.lineTo(6.5, 7.5);
            arrow.closeSubpath();
            p.drawPath(arrow);
        });
    case C::kReplace:
        return Draw([](QPainter& p) {
            QFont font;
            font.setPixelSize(8);
            font.setBold(true);
            p.setFont(font);
            p.setPen(QColor(0xB0, 0x30, 0x30));
            p.drawText(QRectF(0, 0, 8, 9), Qt::AlignCenter, QStringLiteral("A"));
            p.setPen(QColor(0x30, 0x60, 0xB0));
            p.drawText(QRectF(8, 7, 8, 9), Qt::AlignCenter, QStringLiteral("B"));
            p.setPen(QPen(kInk, 1.2));
            p.drawLine(QPointF(3, 11), QPointF(3, 13.5));
            p.drawLine(QPointF(3, 13.5), QPointF(7, 13.5));
            p.drawLine(QPointF(6, 12.5), QPointF(7, 13.5));
        });
    case C::kFindDuplicate:
        return Draw([](QPainter& p) {
            Sheet(p, QRectF(1.5, 1.5, 8, 10));
            Sheet(p, QRectF(4.5, 4.5, 8, 10));
            p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.4));
            p.setBrush(QColor(0xC8, 0xE4, 0xFF, 200));
            p.drawEllipse(QRectF(8, 8, 5, 5));
            p.drawLine(QPointF(12.5, 12.5), QPointF(15, 15));
        });
    case C::kMakeList:
        return Draw([](QPainter& p) {
            Sheet(p, QRectF(1.5, 1.5, 10, 13));
            p.setPen(QPen(kInk, 0.8));
            p.setBrush(QColor(0xE6, 0xE6, 0xE6));
            p.drawRect(QRectF(3, 5, 7, 2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(3, 7, 7, 5));
            p.drawLine(QPointF(3, 9.5), QPointF(10, 9.5));
            p.drawLine(QPointF(6.5, 5), QPointF(6.5, 12));
            p.setPen(QPen(QColor(0x20, 0x70, 0xC0), 1));
            p.setBrush(QColor(0x9C, 0xD0, 0xFF));
            p.drawEllipse(QRectF(9, 9, 6, 6));
            p.drawLine(QPointF(9, 12), QPointF(15, 12));
            p.drawLine(QPointF(12, 9), QPointF(12, 15));
        });
    default: return {};
    }
}

QIcon ApplicationIcon() {
    LoadApplicationIconResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tabulon-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace tabulon::qt
