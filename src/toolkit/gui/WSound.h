#pragma once

// The platform's PlaySound flags the program uses.
namespace SND {
constexpr unsigned ASYNC = 0x0001;
constexpr unsigned RESOURCE = 0x40004;
} // namespace SND

// Plays the program's WAVE sounds, compiled into it, by name ("KLICK"). The real sink plays them
// asynchronously through Qt Multimedia; tests install a recorder.
class WSoundSink {
public:
    virtual ~WSoundSink() = default;
    // Whether an audio output device is there to play on.
    virtual bool hasOutputDevice() = 0;
    // Starts the sound and returns at once; false when the sound is unknown or cannot play.
    virtual bool play(const char* name) = 0;
    // Installs a sink (nullptr restores the Qt one). The caller keeps ownership.
    static void install(WSoundSink* sink);
    static WSoundSink* installed();
};

// False without playing when there is no output device; otherwise plays the sound resource name
// (flags: SND::RESOURCE | SND::ASYNC, the only combination the program uses) and says whether the
// platform accepted it. User-interface thread only.
bool PlaySoundResource(const char* name, unsigned flags);
