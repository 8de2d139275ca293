#pragma once

#include "support/SeamScope.h"
#include "toolkit/core/FileCopy.h"
#include "toolkit/core/SafeSave.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <functional>

// The failing writer: stands in for the one call that writes file data (the safe save's
// FileWriter, the copy engine's CopyWriter). Writes at most `perCall` bytes a call until `budget`
// bytes are used up, then fails with `err` (0: makes no progress, which must not loop for ever);
// `interrupt` makes every other call fail with EINTR. Notes the widest mode bits of a file while
// it is written and calls that overlap, and calls `look` on every call.
template <class Base> class ScriptedWriter : public Base {
public:
    explicit ScriptedWriter(std::size_t budget = SIZE_MAX, int err = 0, std::size_t perCall = SIZE_MAX,
                            bool interrupt = false)
        : budget_(budget), err_(err), perCall_(perCall), interrupt_(interrupt) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (inside_.exchange(true))
            overlapped = true;
        struct stat st {};
        ::fstat(fd, &st);
        widest |= st.st_mode & 07777;
        look();
        ++calls;
        ssize_t n = -1;
        if (interrupt_ && calls % 2 == 0) {
            errno = EINTR;
        } else if (budget_ == 0) {
            errno = err_;
            n = err_ == 0 ? 0 : -1;
        } else {
            const std::size_t take = std::min({size, budget_, perCall_});
            budget_ -= take;
            n = ::write(fd, data, take);
        }
        inside_ = false;
        return n;
    }
    std::function<void()> look = [] {};
    std::atomic<bool> overlapped{false};
    mode_t widest = 0;
    int calls = 0;

private:
    std::size_t budget_;
    int err_;
    std::size_t perCall_;
    bool interrupt_;
    std::atomic<bool> inside_{false};
};

// A disk that is full from the first byte, installed for its lifetime (safe saves only).
class FullDisk {
public:
    FullDisk() : writer_(0, ENOSPC), scope_(&writer_) {}

private:
    ScriptedWriter<FileWriter> writer_;
    SeamScope<FileWriter> scope_;
};

// A disk on which the n-th call of write, fsync or rename of a safe save fails with EIO (0: none
// does); counts the calls and the renames. A folder's fsync, which a save only tries, is let
// through uncounted. Installed for its lifetime.
class FailingCall : public FileWriter {
public:
    explicit FailingCall(int n = 0) : n_(n) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
        return fails() ? -1 : ::write(fd, data, size);
    }
    int fsync(int fd) override {
        struct stat st {};
        return ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode) && fails() ? -1 : FileWriter::fsync(fd);
    }
    int rename(const char* from, const char* to) override {
        ++renames;
        return fails() ? -1 : FileWriter::rename(from, to);
    }
    int calls = 0;
    int renames = 0;

private:
    bool fails() {
        if (++calls != n_)
            return false;
        errno = EIO;
        return true;
    }
    int n_;
    SeamScope<FileWriter> scope_{this};
};
