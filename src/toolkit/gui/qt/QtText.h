#pragma once

#include "toolkit/core/WString.h"

#include <QString>

// Conversions between the program's Windows-1252 texts and Qt's UTF-16 strings (toolkit internal).
namespace QtText {

QString toQString(const WString& text);
// For texts read back from widgets: a character Windows-1252 lacks becomes '?'.
WString fromQStringLossy(const QString& text);
// Whether every character of the text has a Windows-1252 byte.
bool fitsCp1252(const QString& text);

} // namespace QtText
