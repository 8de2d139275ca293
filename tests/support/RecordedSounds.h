#pragma once

#include "support/SeamScope.h"
#include "toolkit/gui/WSound.h"

#include <string>
#include <vector>

// Records the sounds the program plays instead of playing them; installed for its lifetime.
// Without an output device nothing reaches it, as with the real player.
class RecordedSounds : public WSoundSink {
public:
    explicit RecordedSounds(bool device = true) : device_(device) {}
    bool hasOutputDevice() override { return device_; }
    bool play(const char* name) override {
        played.emplace_back(name);
        return true;
    }
    std::vector<std::string> take() {
        std::vector<std::string> all;
        all.swap(played);
        return all;
    }
    std::vector<std::string> played;

private:
    bool device_;
    SeamScope<WSoundSink> scope_{this};
};
