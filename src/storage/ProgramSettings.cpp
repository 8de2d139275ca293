#include "storage/ProgramSettings.h"

#include "storage/IniDocument.h"
#include "storage/IniFile.h"
#include "storage/ProgramTexts.h"

namespace {

using ProgramTexts::SettingsFile;
const char* const kMain = "[EINSTELLUNG]";
const char* const kSound = "[SOUNDANI]";

WString read(const char* section, const char* key) {
    return IniFile().ReadKey(SettingsFile, section, key);
}

const char* flag(bool on) {
    return on ? "1" : "0";
}

} // namespace

std::mutex& ProgramSettings::fileLock() {
    static std::mutex lock;
    return lock;
}

bool ProgramSettings::OverwriteCopies() {
    std::lock_guard lock(fileLock());
    return read(kMain, "methode=") == "1";
}

int ProgramSettings::StartMode() {
    std::lock_guard lock(fileLock());
    return read(kMain, "status=").toInt();
}

bool ProgramSettings::EffectsOn() {
    std::lock_guard lock(fileLock());
    return read(kSound, "status=") == "1";
}

WString ProgramSettings::Path() {
    std::lock_guard lock(fileLock());
    return read(kMain, "pfad=");
}

bool ProgramSettings::SetPath(const WString& path) {
    std::lock_guard lock(fileLock());
    return IniFile().WriteKey(SettingsFile, kMain, "pfad=" + path).ok;
}

WString ProgramSettings::TakePath() {
    std::lock_guard lock(fileLock());
    IniFile ini;
    WString path = ini.ReadKey(SettingsFile, kMain, "pfad=");
    ini.WriteKey(SettingsFile, kMain, "pfad=");
    return path;
}

ProgramSettings::Marks ProgramSettings::ReadMarks() {
    std::lock_guard lock(fileLock());
    Marks marks;
    marks.overwrite = read(kMain, "methode=").toInt() != 0;
    marks.startHidden = read(kMain, "status=").toInt() != 0;
    marks.effects = read(kSound, "status=").toInt() != 0;
    return marks;
}

bool ProgramSettings::WriteMarks(const Marks& marks) {
    std::lock_guard lock(fileLock());
    IniDocument ini(SettingsFile);
    ini.WriteKey(kMain, WString("methode=") + flag(marks.overwrite));
    ini.WriteKey(kMain, WString("status=") + flag(marks.startHidden));
    ini.WriteKey(kSound, WString("status=") + flag(marks.effects));
    return ini.Commit().ok;
}
