#include "app/ControllerData.h"

#include "log/BackupLog.h"

void ControllerData::WriteLogEntry(const WString& name) const {
    BackupLog::WriteEntry(name, logAction, logStatus);
}
