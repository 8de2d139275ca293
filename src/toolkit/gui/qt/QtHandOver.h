#pragma once

// Calls queued to another thread through Qt's event queue. Qt is not built with ThreadSanitizer, so the
// lock inside that queue is invisible to it, and everything a queued call carries would be reported
// as a race. Wrapped calls tell ThreadSanitizer what the queue guarantees: all the sender did before
// posting happens before the call, and the call's effects happen before a blocked sender goes on.
// Outside ThreadSanitizer builds the wrapper costs nothing.

#include <utility>

#if defined(__SANITIZE_THREAD__)
#define MORLANZ_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define MORLANZ_TSAN 1
#endif
#endif

#ifdef MORLANZ_TSAN
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace QtHandOver {

// One tag for the queue: as the queue's lock, it orders every posting before every delivery after it.
inline void* tag() {
    static char queue;
    return &queue;
}

inline void sent() {
#ifdef MORLANZ_TSAN
    __tsan_release(tag());
#endif
}

inline void received() {
#ifdef MORLANZ_TSAN
    __tsan_acquire(tag());
#endif
}

template <class F> class Call {
public:
    explicit Call(F fn) : fn_(std::move(fn)) { sent(); }
    Call(Call&& other) noexcept : fn_(std::move(other.fn_)) {
        other.live_ = false;
        sent();
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    Call& operator=(Call&&) = delete;
    // A call dropped undelivered is destroyed by the receiving side too.
    ~Call() {
        if (live_)
            received();
    }

    void operator()() {
        received();
        fn_();
        sent();
    }

private:
    F fn_;
    bool live_ = true;
};

template <class F> Call<F> wrap(F fn) {
    return Call<F>(std::move(fn));
}

} // namespace QtHandOver
