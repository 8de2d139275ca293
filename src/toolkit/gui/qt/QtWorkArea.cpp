#include "toolkit/gui/qt/QtWorkArea.h"

#include <QGuiApplication>
#include <QScreen>

WRect QtWorkArea::workArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect r = screen->availableGeometry();
    return {r.x(), r.y(), r.width(), r.height()};
}
