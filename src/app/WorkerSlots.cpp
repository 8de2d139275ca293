#include "app/WorkerSlots.h"

WorkerSlots::WorkerSlots() {
    for (auto& slot : slots_)
        slot = std::make_shared<ThreadSlot>();
    Reset();
}

WorkerSlots::~WorkerSlots() {
    StopAll({}, false);
}

void WorkerSlots::Reset() {
    for (auto& slot : slots_)
        slot->reset();
}

bool WorkerSlots::Start(int slot, std::function<int(ThreadSlot&)> body, int priority) {
    std::shared_ptr<ThreadSlot> owned = share(slot);
    ThreadSlot& target = *owned;
    // The thread keeps its slot alive for as long as it runs.
    return target.start([owned = std::move(owned), body = std::move(body)] { return body(*owned); }, priority);
}

void WorkerSlots::Pause(int slot) {
    (*this)[slot].pause();
}

void WorkerSlots::Resume(int slot) {
    (*this)[slot].resume();
}

void WorkerSlots::Stop(int slot, bool dispatch) {
    (*this)[slot].stop(kStopWaitMs, dispatch);
}

bool WorkerSlots::AnyAlive() const {
    for (const auto& slot : slots_) {
        if (slot->isAlive())
            return true;
    }
    return false;
}

void WorkerSlots::StopAll(const std::function<void()>& cancelWork, bool dispatch) {
    for (int slot = 0; slot < kCount; ++slot)
        Stop(slot, dispatch);
    if (!AnyAlive())
        return;
    if (cancelWork)
        cancelWork();
    for (const auto& slot : slots_) {
        if (!slot->isAlive())
            continue;
        if (dispatch)
            slot->finishedEvent.waitDispatching(kCancelWaitMs);
        else
            slot->finishedEvent.wait(kCancelWaitMs);
    }
    for (const auto& slot : slots_)
        slot->abandonIfAlive();
}
