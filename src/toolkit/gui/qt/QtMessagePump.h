#pragma once

#include "toolkit/core/WEventSemaphore.h"

// Handles the user-interface thread's Qt events for waits that must keep the window alive.
class QtMessagePump : public MessagePump {
public:
    bool pump(int maxTimeMs) override;
    bool isPumpThread() const override;
};
