#pragma once

// Installs a stand-in for one of the program's seams for the scope's lifetime and then puts back
// whatever was installed before. Every seam follows one pattern: Seam::install(Seam*), where
// nullptr restores the real one, and Seam::installed(). The seams: Clock, WorkArea, FileWriter
// (the safe save), CopyWriter (the copy engine), WMessagePresenter and MessagePump.
template <class Seam> class SeamScope {
public:
    explicit SeamScope(Seam* standIn) : previous_(Seam::installed()) { Seam::install(standIn); }
    ~SeamScope() { Seam::install(previous_); }
    SeamScope(const SeamScope&) = delete;
    SeamScope& operator=(const SeamScope&) = delete;

private:
    Seam* previous_;
};
