#include "app/BusyState.h"

#include "toolkit/gui/WMessageBox.h"

bool BusyState::RefuseWhileBusy(WWindow* owner) const {
    if (!IsBusy())
        return false;
    WMessageBox::show(owner, "Bitte warten Sie, bis die laufende Sicherung beendet ist."_w,
                      "Morlanz 1.1 - Information"_w, MB::OK | MB::ICONINFORMATION | MB::TASKMODAL);
    return true;
}

WString BusyState::RefusalReason() {
    return "Eine Sicherung läuft."_w;
}

void BusyState::End() {
    if (runs_ > 0)
        --runs_;
    if (runs_ == 0 && pendingClose_) {
        auto close = std::move(pendingClose_);
        pendingClose_ = nullptr;
        close();
    }
}

void BusyState::QueueClose(const std::function<void()>& cancelWork, std::function<void()> close) {
    if (cancelWork)
        cancelWork();
    pendingClose_ = std::move(close);
}
