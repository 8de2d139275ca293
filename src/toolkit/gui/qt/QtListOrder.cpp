#include "toolkit/gui/qt/QtListOrder.h"

#include <QCollator>
#include <QLocale>

namespace QtListOrder {

int compare(const QString& a, const QString& b) {
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::German, QLocale::Germany)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int order = collator.compare(a, b);
    // Texts equal but for letter case keep a stable order among themselves.
    return order != 0 ? order : QString::compare(a, b, Qt::CaseInsensitive);
}

int insertPosition(int count, const std::function<QString(int)>& itemAt, const QString& text) {
    int low = 0;
    int high = count;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (compare(itemAt(mid), text) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

} // namespace QtListOrder
