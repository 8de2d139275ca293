#pragma once

#include "backup/ThreadSlot.h"

#include <array>
#include <functional>
#include <memory>

// The main form's four worker slots: 0 the clock ("zeit thread"), 1 unused, 2 the folder tree
// ("treeview thread"), 3 the scheduler ("sicherung thread").
//
// Each slot is shared between this object and the thread running in it, so a worker that is
// given up at shutdown (it did not end in time) still finds its slot, its events and whatever
// else its body holds when it wakes, after the form is gone. Bodies therefore capture shared
// state only, never the form.
class WorkerSlots {
public:
    static constexpr int kCount = 4;
    static constexpr int kClock = 0;
    static constexpr int kTree = 2;
    static constexpr int kScheduler = 3;
    // How long a stop waits for a worker, and how long a worker still inside a copy then gets
    // once its copy is cancelled.
    static constexpr int kStopWaitMs = 500;
    static constexpr int kCancelWaitMs = 2000;

    WorkerSlots();
    // Runs the stop sequence (without handling window messages) for anything still running.
    ~WorkerSlots();
    WorkerSlots(const WorkerSlots&) = delete;
    WorkerSlots& operator=(const WorkerSlots&) = delete;

    ThreadSlot& operator[](int slot) { return *slots_.at(static_cast<std::size_t>(slot)); }
    std::shared_ptr<ThreadSlot> share(int slot) const { return slots_.at(static_cast<std::size_t>(slot)); }

    // Every slot stopped, with new unsignalled events.
    void Reset();
    // Runs body(slot) on a new thread of the slot with the priority index; the state becomes
    // running. False when the slot's thread is still running.
    bool Start(int slot, std::function<int(ThreadSlot&)> body, int priority);
    void Pause(int slot);
    void Resume(int slot);
    // Resumes, signals stop and waits up to kStopWaitMs, handling window messages when asked.
    void Stop(int slot, bool dispatch = true);
    // The one stop sequence, for a close and for a form dropped without one: stop every slot in
    // order; if a worker is still alive it is inside a copy, so cancelWork() cancels the copies and
    // the workers get kCancelWaitMs to end between two chunks; any still alive is then abandoned.
    void StopAll(const std::function<void()>& cancelWork, bool dispatch);
    bool AnyAlive() const;

private:
    std::array<std::shared_ptr<ThreadSlot>, kCount> slots_;
};
