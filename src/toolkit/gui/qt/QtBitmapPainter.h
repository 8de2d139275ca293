#pragma once

#include "toolkit/gui/WResourceCatalog.h"

#include <QPixmap>

class QPainter;
class QRect;
class QString;

// Draws the program's pictures from their descriptions: picture buttons with their caption in the
// normal, pressed and inactive look, the maker's logo, and the folder tree's folder and file pictures
// (toolkit internal).
class QtBitmapPainter {
public:
    static QPixmap paint(const WBitmapTemplate& bitmap);

private:
    static void paintButton(QPainter& painter, const QRect& area, const QString& caption, WBitmapLook look);
    static void paintLogo(QPainter& painter, const QRect& area, const QString& caption);
    static void paintStandardIcon(QPainter& painter, const QRect& area, bool folder);
    static void paintEmblem(QPainter& painter, const QRect& square, const QString& letter);
};
