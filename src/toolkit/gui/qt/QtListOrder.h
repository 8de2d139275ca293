#pragma once

#include <QString>

#include <functional>

// The order of sorted lists (list boxes, the tree's root items): alphabetical as a German reader
// expects, letter case ignored, umlauts beside their base letters (toolkit internal).
namespace QtListOrder {

int compare(const QString& a, const QString& b);
// Where a sorted list of count items inserts text: after every item that does not sort after it.
// Like the platform's sorted lists this is a binary search, so a list that is not in order (items
// inserted at fixed positions) gets a position between neighbours that bracket the text.
int insertPosition(int count, const std::function<QString(int)>& itemAt, const QString& text);

} // namespace QtListOrder
