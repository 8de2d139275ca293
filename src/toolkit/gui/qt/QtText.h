#pragma once

#include "toolkit/core/WString.h"

#include <QString>

#include <optional>

// Conversions between the program's Windows-1252 texts and Qt's UTF-16 strings (toolkit internal).
namespace QtText {

QString toQString(const WString& text);
// Empty optional when a character has no Windows-1252 byte (the text is refused, never guessed).
std::optional<WString> fromQString(const QString& text);
// For texts read back from widgets: a character Windows-1252 lacks becomes '?'.
WString fromQStringLossy(const QString& text);
// Whether every character of the text has a Windows-1252 byte.
bool fitsCp1252(const QString& text);

} // namespace QtText
