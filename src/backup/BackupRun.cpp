#include "backup/BackupRun.h"

#include "storage/IniDocument.h"
#include "storage/ProgramSettings.h"
#include "storage/ProgramTexts.h"

BackupPlan BackupRun::ReadPlan(const WString& jobName) {
    BackupPlan plan;
    plan.flags = ProgramSettings::OverwriteCopies() ? CopyFlags::Overwrite : CopyFlags::KeepCopies;
    IniDocument catalogue(ProgramTexts::CatalogueFile);
    const WString section = "[" + jobName + "]";
    plan.destination = catalogue.ReadKey(section, "nach=");
    for (int n = 0;; ++n) {
        WString source = catalogue.ReadKey(section, WString::format("von_%d=", n));
        if (source.isEmpty())
            break;
        plan.sources.push_back(std::move(source));
    }
    return plan;
}

bool BackupRun::CopyAll(const BackupPlan& plan, CopyObserver* observer, CopyResult* failure) {
    for (const WString& source : plan.sources) {
        CopyResult result = FileCopy(WFilePath(source), WFilePath(plan.destination), plan.flags, observer);
        if (!result.ok) {
            if (failure)
                *failure = std::move(result);
            return false;
        }
    }
    return true;
}
