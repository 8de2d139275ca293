#include "toolkit/gui/qt/QtBitmapPainter.h"

#include <QApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <algorithm>

namespace {

const QColor kDarkRed(128, 0, 0);
const QColor kPaleYellow(255, 255, 204);

// The largest bold font (up to maxPixels) whose text fits the width; the text is elided below 7 px.
QFont fittedFont(const QString& text, int maxWidth, int maxPixels) {
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    for (int pixels = std::max(7, maxPixels); pixels >= 7; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(text) <= maxWidth)
            break;
    }
    return font;
}

void drawCaption(QPainter& painter, const QRect& box, const QString& caption, const QColor& color) {
    const QFont font = fittedFont(caption, box.width(), std::clamp(box.height() * 2 / 5, 7, 14));
    painter.setFont(font);
    painter.setPen(color);
    const QString shown = QFontMetrics(font).elidedText(caption, Qt::ElideRight, box.width());
    painter.drawText(box, Qt::AlignCenter, shown);
}

} // namespace

QPixmap QtBitmapPainter::paint(const WBitmapTemplate& bitmap) {
    QImage image(std::max(1, bitmap.width), std::max(1, bitmap.height), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QString caption = QString::fromUtf8(bitmap.caption ? bitmap.caption : "");
        switch (bitmap.look) {
        case WBitmapLook::Logo:
            paintLogo(painter, image.rect(), caption); // the resources give the program's name
            break;
        case WBitmapLook::Folder:
        case WBitmapLook::File:
            paintStandardIcon(painter, image.rect(), bitmap.look == WBitmapLook::Folder);
            break;
        default:
            paintButton(painter, image.rect(), caption, bitmap.look);
            break;
        }
    }
    return QPixmap::fromImage(image);
}

void QtBitmapPainter::paintButton(QPainter& painter, const QRect& area, const QString& caption, WBitmapLook look) {
    const bool pressed = look == WBitmapLook::Pressed;
    const bool inactive = look == WBitmapLook::Inactive;
    QLinearGradient face(0, area.top(), 0, area.bottom());
    if (pressed) {
        face.setColorAt(0, QColor(176, 176, 160));
        face.setColorAt(1, QColor(214, 214, 198));
    } else if (inactive) {
        face.setColorAt(0, QColor(232, 232, 228));
        face.setColorAt(1, QColor(232, 232, 228));
    } else {
        face.setColorAt(0, QColor(255, 255, 248));
        face.setColorAt(1, QColor(218, 218, 200));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(area, face);
    const QRect edge = area.adjusted(0, 0, -1, -1);
    painter.setPen(inactive ? QColor(176, 176, 170) : pressed ? QColor(64, 64, 56) : QColor(112, 112, 100));
    painter.drawRect(edge);
    if (!inactive) {
        // Light from the top left: a raised face has its bright inner edge there, a pressed one its shadow.
        painter.setPen(pressed ? QColor(128, 128, 116) : QColor(255, 255, 255));
        painter.drawLine(edge.left() + 1, edge.top() + 1, edge.right() - 1, edge.top() + 1);
        painter.drawLine(edge.left() + 1, edge.top() + 1, edge.left() + 1, edge.bottom() - 1);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    QRect textBox = area.adjusted(4, 2, -4, -2);
    if (pressed)
        textBox.translate(1, 1);
    const QColor text = inactive ? QColor(160, 160, 156) : pressed ? QColor(80, 0, 0) : kDarkRed;
    drawCaption(painter, textBox, caption, text);
}

void QtBitmapPainter::paintStandardIcon(QPainter& painter, const QRect& area, bool folder) {
    const QIcon icon = QApplication::style()->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    icon.paint(&painter, area);
}

void QtBitmapPainter::paintLogo(QPainter& painter, const QRect& area, const QString& caption) {
    // Small or square pictures (the icon) are the emblem alone, with the caption's first letter.
    if (area.width() < 2 * area.height()) {
        const int side = std::min(area.width(), area.height());
        paintEmblem(painter, QRect(area.center().x() - side / 2, area.center().y() - side / 2, side, side),
                    caption.left(1));
        return;
    }
    QLinearGradient back(0, area.top(), 0, area.bottom());
    back.setColorAt(0, Qt::white);
    back.setColorAt(1, kPaleYellow);
    painter.fillRect(area, back);
    painter.setPen(QPen(kDarkRed, 1));
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    const int margin = std::max(3, area.height() / 8);
    const int side = area.height() - 2 * margin;
    paintEmblem(painter, QRect(area.left() + margin, area.top() + margin, side, side), QString());
    const QRect textBox(area.left() + 2 * margin + side, area.top() + margin, area.width() - 3 * margin - side, side);
    drawCaption(painter, textBox, caption, kDarkRed);
}

void QtBitmapPainter::paintEmblem(QPainter& painter, const QRect& square, const QString& letter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kDarkRed);
    const qreal radius = square.width() / 6.0;
    painter.drawRoundedRect(QRectF(square).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (!letter.isEmpty()) {
        drawCaption(painter, square, letter, Qt::white);
        return;
    }
    // A circular arrow: the sign of a copy that comes round again on schedule.
    const QRectF ring = QRectF(square).adjusted(square.width() * 0.22, square.height() * 0.22, -square.width() * 0.22,
                                                -square.height() * 0.22);
    QPen pen(Qt::white, std::max(2.0, square.width() / 10.0), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(ring, 100 * 16, 290 * 16);
    const QPointF tip(ring.center().x() + ring.width() / 2 * 0.17, ring.top());
    QPainterPath head;
    const qreal size = square.width() / 7.0;
    head.moveTo(tip + QPointF(size, 0));
    head.lineTo(tip + QPointF(-size * 0.4, -size * 0.8));
    head.lineTo(tip + QPointF(-size * 0.4, size * 0.8));
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(head);
}
