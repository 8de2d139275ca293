#pragma once

#include "toolkit/core/WString.h"

#include <mutex>

class Form1;

// How workers reach the main window: only through this link, which the workers share and the
// controller detaches before the window goes. A worker that wakes after that finds the link empty
// and its text goes nowhere, instead of into a freed window.
// Only calls that never wait for the user-interface thread happen under the link's lock (text
// setters queue their change), so detaching never waits for a worker that waits for the window.
class WindowLink {
public:
    explicit WindowLink(Form1& form) : form_(&form) {}
    void Detach();

    void SetCaption(const WString& text);
    void SetClockText(const WString& text);

private:
    std::mutex mutex_;
    Form1* form_;
};
