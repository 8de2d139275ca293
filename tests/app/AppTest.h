#pragma once

#include "app/MainForm.h"
#include "app/editor/FolderBrowser.h"
#include "app/form1/Form1.h"
#include "resources/MorlanzResources.h"
#include "support/FixedWorkArea.h"
#include "support/RecordedSounds.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/SeamScope.h"
#include "support/TempWorkDir.h"
#include "support/TestPrinting.h"
#include "toolkit/core/FileCopy.h"
#include "toolkit/core/SafeSave.h"
#include "toolkit/core/WEventSemaphore.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WResources.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// What a main-form test runs in: its own folder, the program's resources, a 1024 x 738 work area,
// message boxes answered from a script and sounds recorded instead of played.
class AppTest : public InTempDir {
protected:
    AppTest() { WResources::install(&MorlanzResources::instance()); }

    // A main form after start-up on the current work area. Its folder tree shows the given root
    // folders (none by default, so no test lists the machine's folders).
    static std::unique_ptr<MainForm> start(std::vector<WString> roots = {}) {
        auto form = std::make_unique<MainForm>(&WApplication::terminateRequested, [roots] { return roots; });
        EXPECT_TRUE(form->create());
        return form;
    }

    // Bytes, inode and modification time of every file: a safe rewrite changes the inode even
    // when the bytes stay the same.
    std::map<std::string, std::string> folderState() const {
        std::map<std::string, std::string> state;
        for (const auto& name : dir.entries()) {
            struct stat st {};
            ::stat(dir.file(name).c_str(), &st);
            state[name] = TempWorkDir::readBytes(dir.file(name)) + "|" + std::to_string(st.st_ino) + "|" +
                          std::to_string(st.st_mtim.tv_nsec);
        }
        return state;
    }

    // Handles pending window messages, then naps: waits without spinning.
    static void handleMessages() {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }

    // Handles window messages (the tree thread's steps) until the folder tree's thread has ended.
    static bool waitForTree(MainForm& form, int ms = 20'000) {
        QElapsedTimer timer;
        timer.start();
        while (form.folderBrowser().IsTreeThreadRunning() || form.threadSlots()[WorkerSlots::kTree].isAlive()) {
            if (timer.elapsed() > ms)
                return false;
            handleMessages();
        }
        return true;
    }

    // The texts of the message boxes shown so far.
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const WMessageRequest& r : boxes.shown())
            texts.push_back(r.text.toUtf8());
        return texts;
    }

    FixedWorkArea area{1024, 738};
    ScriptedMessageBoxes boxes;
    // No test plays a sound aloud; a test that listens installs a recorder of its own.
    RecordedSounds silence;
};

// Holds the copy engine's first write until released, and says when a copy has reached it.
class GateWriter : public CopyWriter {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (!entered.isSet()) {
            entered.set();
            released.wait(60'000);
        }
        return ::write(fd, data, size);
    }
    WEventSemaphore entered;
    WEventSemaphore released;

private:
    SeamScope<CopyWriter> scope_{this};
};

// A disk on which only the n-th write of a whole file fails (no space left); the others, the log's
// included, go through. Installed for its lifetime.
class FailNthWrite : public FileWriter {
public:
    explicit FailNthWrite(int n) : n_(n) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (++calls_ == n_) {
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, data, size);
    }

private:
    int n_;
    std::atomic<int> calls_{0};
    SeamScope<FileWriter> scope_{this};
};
