#include "toolkit/gui/WToolTip.h"

#include "toolkit/gui/WWindow.h"

#include <QToolTip>
#include <QWidget>

void WToolTip::setText(WWindow& window, const WString& text) {
    window.setTipText(text);
}

WString WToolTip::text(const WWindow& window) {
    return window.tipText();
}

bool WToolTip::show(const WWindow& window) {
    QWidget* w = window.widget();
    if (!w || !w->isVisible() || w->toolTip().isEmpty())
        return false;
    QToolTip::showText(w->mapToGlobal(QPoint(0, w->height())), w->toolTip(), w);
    return true;
}

void WToolTip::hide() {
    QToolTip::hideText();
}

bool WToolTip::isShown() {
    return QToolTip::isVisible();
}
