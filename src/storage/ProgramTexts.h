#pragma once

// Program-wide texts. Every file is opened by its bare name, relative to the current directory,
// which is meant to be the program's own folder.
namespace ProgramTexts {
inline constexpr const char* TitlePrefix = "Morlanz 1.1 - ";
inline constexpr const char* CatalogueFile = "save.ini";
inline constexpr const char* NameFile = "savename.ini";
inline constexpr const char* LogFile = "save.log";
inline constexpr const char* SettingsFile = "Einstellung.ini";
} // namespace ProgramTexts
