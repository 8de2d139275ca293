#include "toolkit/core/WThread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

struct WThread::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool suspended = false;
    bool finished = false;
    pid_t tid = 0;
    std::thread::id id;
};

namespace {

thread_local std::shared_ptr<WThread::Shared>* t_current = nullptr;

// Nice values for the priority indices lowest, idle, below normal, normal, above normal,
// time-critical, highest. Raising above normal needs privileges; the kernel may refuse it.
constexpr int kNice[] = {10, 19, 5, 0, -5, -15, -10};

pid_t currentTid() {
    return static_cast<pid_t>(syscall(SYS_gettid));
}

void applyNice(pid_t tid, int index) {
    if (tid > 0)
        setpriority(PRIO_PROCESS, static_cast<id_t>(tid), kNice[index]);
}

} // namespace

WThread::WThread() : shared_(std::make_shared<Shared>()) {}

WThread::~WThread() {
    if (!thread_.joinable())
        return;
    if (std::this_thread::get_id() == thread_.get_id())
        thread_.detach();
    else if (isRunning())
        abandon();
    else
        thread_.join();
}

bool WThread::start(std::function<int()> body) {
    if (thread_.joinable()) {
        if (isRunning())
            return false;
        thread_.join();
    }
    shared_ = std::make_shared<Shared>();
    auto shared = shared_;
    const int priority = priority_.load();
    std::atomic<int>* exitCode = &exitCode_;
    // The exit code lives in this object; an abandoned thread finds `finished` already set and
    // leaves it alone, since the object may be gone.
    thread_ = std::thread([shared, body = std::move(body), priority, exitCode]() mutable {
        {
            std::lock_guard lock(shared->mutex);
            shared->tid = currentTid();
            shared->id = std::this_thread::get_id();
        }
        applyNice(shared->tid, priority);
        t_current = &shared;
        const int code = body();
        t_current = nullptr;
        std::lock_guard lock(shared->mutex);
        if (!shared->finished)
            exitCode->store(code);
        shared->finished = true;
        shared->changed.notify_all();
    });
    return true;
}

bool WThread::isRunning() const {
    std::lock_guard lock(shared_->mutex);
    // The worker itself may ask before start() has even stored its std::thread.
    if (shared_->id == std::this_thread::get_id())
        return true;
    return thread_.joinable() && !shared_->finished;
}

bool WThread::setPriority(int index) {
    if (index < Lowest || index > Highest)
        return false;
    priority_.store(index);
    pid_t tid = 0;
    {
        std::lock_guard lock(shared_->mutex);
        tid = shared_->finished ? 0 : shared_->tid;
    }
    applyNice(tid, index);
    return true;
}

void WThread::suspend() {
    std::lock_guard lock(shared_->mutex);
    shared_->suspended = true;
}

void WThread::resume() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->suspended = false;
    }
    shared_->changed.notify_all();
}

bool WThread::isSuspended() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->suspended;
}

void WThread::abandon() {
    if (!thread_.joinable())
        return;
    {
        // Detached: the worker must not touch this object's exit code any more.
        std::lock_guard lock(shared_->mutex);
        if (!shared_->finished)
            shared_->finished = true;
    }
    thread_.detach();
}

void WThread::join() {
    if (thread_.joinable() && std::this_thread::get_id() != thread_.get_id())
        thread_.join();
}

void WCurrentThread::setName(const WString& name) {
    // The kernel keeps 15 bytes plus the terminator.
    const std::string cut = name.toUtf8().substr(0, 15);
    pthread_setname_np(pthread_self(), cut.c_str());
}

WString WCurrentThread::name() {
    char buffer[16] = {};
    pthread_getname_np(pthread_self(), buffer, sizeof buffer);
    auto converted = WString::fromUtf8(buffer);
    return converted ? *converted : WString(buffer);
}

bool WCurrentThread::setPriority(int index) {
    if (index < WThread::Lowest || index > WThread::Highest)
        return false;
    applyNice(currentTid(), index);
    return true;
}

void WCurrentThread::pausePoint() {
    if (!t_current)
        return;
    auto& shared = **t_current;
    std::unique_lock lock(shared.mutex);
    shared.changed.wait(lock, [&shared] { return !shared.suspended; });
}

bool WCurrentThread::isWorker() {
    return t_current != nullptr;
}

void WSleep(int milliseconds) {
    if (milliseconds <= 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
