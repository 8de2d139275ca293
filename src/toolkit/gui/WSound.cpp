#include "toolkit/gui/WSound.h"

#include "toolkit/gui/qt/QtSoundPlayer.h"

#include <atomic>

namespace {

std::atomic<WSoundSink*> g_sink{nullptr};

WSoundSink& sink() {
    static QtSoundPlayer player;
    WSoundSink* installed = g_sink.load();
    return installed ? *installed : player;
}

} // namespace

bool PlaySoundResource(const char* name, unsigned /*flags: always a resource, played asynchronously*/) {
    WSoundSink& s = sink();
    if (!s.hasOutputDevice())
        return false;
    return s.play(name);
}

void WSoundSink::install(WSoundSink* sink) {
    g_sink.store(sink);
}

WSoundSink* WSoundSink::installed() {
    return g_sink.load();
}
