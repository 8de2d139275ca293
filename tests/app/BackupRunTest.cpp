// Runs of a job, by hand and by the scheduler, as the main form carries them out.
#include "FileCopy.h"
#include "FixedWorkArea.h"
#include "MainForm.h"
#include "MorlanzResources.h"
#include "ScriptedMessageBoxes.h"
#include "TempWorkDir.h"
#include "WListBox.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

class BackupRunTest : public InTempDir {
protected:
    BackupRunTest() {
        WResources::install(&MorlanzResources::instance());
        fs::create_directories("quelle/Projekt/sub");
        fs::create_directories("ziel");
        TempWorkDir::writeBytes("quelle/Brief.doc", "Brief v1");
        TempWorkDir::writeBytes("quelle/Projekt/a.txt", "a");
        TempWorkDir::writeBytes("quelle/Projekt/sub/b.txt", "b");
    }

    // One job "J" with these keys in save.ini (paths relative to the test folder).
    void job(const std::string& keys, const char* methode = nullptr) {
        TempWorkDir::writeBytes("save.ini", "[J]\r\n" + keys);
        TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=J\r\n\r\n[NUMMER]\r\nwert=1\r\n");
        if (methode)
            TempWorkDir::writeBytes("Einstellung.ini", std::string("[EINSTELLUNG]\r\nmethode=") + methode + "\r\n");
    }

    std::unique_ptr<MainForm> start() {
        auto form = std::make_unique<MainForm>();
        EXPECT_TRUE(form->create());
        return form;
    }

    // The log's entries as "action/name/outcome".
    static std::vector<std::string> logEntries() {
        std::vector<std::string> entries;
        std::string text = TempWorkDir::readBytes("save.log");
        std::size_t pos = 0;
        while ((pos = text.find("Sicherung=", pos)) != std::string::npos) {
            auto value = [&](const char* key) {
                const std::size_t at = text.find(key, pos) + std::strlen(key);
                return text.substr(at, text.find("\r\n", at) - at);
            };
            entries.push_back(value("Sicherung=") + "/" + value("Name=") + "/" + value("Verlauf="));
            ++pos;
        }
        return entries;
    }

    FixedWorkArea area{1024, 738};
    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(BackupRunTest, ByHandCopiesEverySourceAnnouncesAndLogsOnce) {
    job("von_0=quelle/Brief.doc\r\nvon_1=quelle/Projekt\r\nnach=ziel/\r\n");
    auto form = start();
    form->lb_anzeige->select(0);
    form->StartSelectedBackup();
    EXPECT_EQ(TempWorkDir::readBytes("ziel/Brief.doc"), "Brief v1");
    EXPECT_EQ(TempWorkDir::readBytes("ziel/Projekt/sub/b.txt"), "b");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.toUtf8(), "Ihre Sicherung 'J' wurde erfolgreich durchgeführt!");
    EXPECT_EQ(boxes.shown()[0].caption, "Morlanz 1.1 - Information");
    EXPECT_EQ(boxes.shown()[0].flags, 0x40u | 0x2000u);
    EXPECT_EQ(logEntries(), (std::vector<std::string>{"gestartet/J/ok"}));
}

TEST_F(BackupRunTest, AFailedSourceStopsTheRunAndIsLoggedAsError) {
    job("von_0=quelle/Brief.doc\r\nvon_1=quelle/weg.txt\r\nvon_2=quelle/Projekt\r\nnach=ziel\r\n");
    auto form = start();
    form->lb_anzeige->select(0);
    form->StartSelectedBackup();
    EXPECT_TRUE(fs::exists("ziel/Brief.doc"));
    EXPECT_FALSE(fs::exists("ziel/Projekt")) << "sources after a failure are not copied";
    EXPECT_TRUE(boxes.shown().empty()) << "no message on failure";
    EXPECT_EQ(logEntries(), (std::vector<std::string>{"gestartet/J/error"}));
}

TEST_F(BackupRunTest, SourcesEndAtTheFirstEmptyKey) {
    struct Case {
        std::string keys;
        bool copied;
    };
    const Case cases[] = {
        {"nach=ziel\r\n", false},                           // no sources: ok, nothing copied
        {"von_1=quelle/Brief.doc\r\nnach=ziel\r\n", false}, // the scan stops at von_0
        {"von_0=quelle/Brief.doc\r\nnach=ziel\r\n", true},
    };
    for (const auto& c : cases) {
        fs::remove_all("ziel");
        fs::create_directory("ziel");
        fs::remove("save.log");
        job(c.keys);
        auto form = start();
        form->RunBackup("J", false);
        EXPECT_EQ(fs::exists("ziel/Brief.doc"), c.copied) << c.keys;
        EXPECT_EQ(logEntries(), (std::vector<std::string>{"gestartet/J/ok"})) << c.keys;
    }
    EXPECT_TRUE(boxes.shown().empty()) << "a scheduled run never shows a message box";
}

TEST_F(BackupRunTest, CopyMethodOverwritesOnlyForExactlyOne) {
    const std::pair<const char*, bool> cases[] = {
        {"1", true}, {"0", false}, {"ja", false}, {" 1", false}, {nullptr, false}};
    for (const auto& [methode, overwrite] : cases) {
        fs::remove_all("ziel");
        fs::create_directory("ziel");
        fs::remove("Einstellung.ini");
        TempWorkDir::writeBytes("ziel/Brief.doc", "alte Kopie");
        job("von_0=quelle/Brief.doc\r\nnach=ziel\r\n", methode);
        auto form = start();
        form->RunBackup("J", false);
        const std::string label = methode ? methode : "(missing)";
        if (overwrite) {
            EXPECT_EQ(TempWorkDir::readBytes("ziel/Brief.doc"), "Brief v1") << label;
            EXPECT_FALSE(fs::exists("ziel/Brief - Kopie.doc")) << label;
        } else {
            EXPECT_EQ(TempWorkDir::readBytes("ziel/Brief.doc"), "alte Kopie") << label;
            EXPECT_EQ(TempWorkDir::readBytes("ziel/Brief - Kopie.doc"), "Brief v1") << label;
        }
    }
}

TEST_F(BackupRunTest, BadJobsEndWithOneLogEntryAndNoCrash) {
    struct Case {
        std::string keys;
        const char* outcome;
    };
    const Case cases[] = {
        {"von_0=quelle/Brief.doc\r\nnach=\r\n", "error"},        // empty destination
        {"von_0=quelle/Brief.doc\r\nnach=fehlt\r\n", "error"},   // destination folder missing
        {"von_0=quelle/verschwunden\r\nnach=ziel\r\n", "error"}, // a source that vanished
    };
    for (const auto& c : cases) {
        fs::remove("save.log");
        job(c.keys);
        auto form = start();
        form->RunBackup("J", true);
        EXPECT_EQ(logEntries(), (std::vector<std::string>{std::string("gestartet/J/") + c.outcome})) << c.keys;
        EXPECT_FALSE(fs::exists("fehlt")) << "a missing destination is never created";
    }
    // A missing section runs nothing and is fine; by hand with nothing selected the name is empty.
    fs::remove("save.log");
    auto form = start();
    form->lb_anzeige->clear();
    form->StartSelectedBackup();
    ASSERT_FALSE(boxes.shown().empty());
    EXPECT_EQ(boxes.shown().back().text.toUtf8(), "Ihre Sicherung '' wurde erfolgreich durchgeführt!");
    EXPECT_EQ(logEntries(), (std::vector<std::string>{"gestartet//ok"}));
    EXPECT_NE(TempWorkDir::readBytes("save.log").find("Name=\r\n"), std::string::npos);
}

TEST_F(BackupRunTest, TheWindowKeepsHandlingEventsWhileARunByHandCopies) {
    job("von_0=quelle/Projekt\r\nnach=ziel\r\n");
    auto form = start();
    form->lb_anzeige->select(0);
    bool handledDuringRun = false;
    QTimer::singleShot(0, [&] { handledDuringRun = boxes.shown().empty() && !fs::exists("save.log"); });
    form->StartSelectedBackup();
    EXPECT_TRUE(handledDuringRun) << "a timer due during the run fired before the run ended";
    EXPECT_EQ(boxes.shown().size(), 1u);
}

namespace {

// Writes slowly, so that a copy is still under way when the program closes.
class SlowWriter : public CopyWriter {
public:
    SlowWriter() { CopyWriter::install(this); }
    ~SlowWriter() override { CopyWriter::install(nullptr); }
    ssize_t write(int fd, const void* data, std::size_t size) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return ::write(fd, data, size);
    }
};

} // namespace

TEST_F(BackupRunTest, ClosingDuringAScheduledCopyCancelsItAndKeepsThePreviousCopy) {
    TempWorkDir::writeBytes("quelle/gross.bin", std::string(64u << 20, 'n'));
    TempWorkDir::writeBytes("ziel/gross.bin", "vorige Sicherung");
    job("von_0=quelle/gross.bin\r\nnach=ziel\r\n", "1");
    SlowWriter slow;
    auto form = start();
    // A scheduled run, as the scheduler makes it: on slot 3, not looking at its stop event meanwhile.
    auto& slot = form->threadSlots[MainForm::kSchedulerSlot];
    form->StopThreadSlot(MainForm::kSchedulerSlot);
    slot.reset();
    ASSERT_TRUE(form->StartThreadSlot(
        MainForm::kSchedulerSlot,
        [&] {
            form->RunBackup("J", false);
            slot.finish();
            return 0;
        },
        3));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    WEventData close{WEventId::CloseEvent};
    form->raiseEvent(close);
    EXPECT_FALSE(slot.isAlive()) << "the cancelled copy ends between two chunks";
    EXPECT_EQ(TempWorkDir::readBytes("ziel/gross.bin"), "vorige Sicherung");
    EXPECT_EQ(std::vector<std::string>{"gross.bin"}, [] {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator("ziel"))
            names.push_back(e.path().filename().string());
        return names;
    }()) << "no temporary file is left behind";
    EXPECT_EQ(logEntries(), (std::vector<std::string>{"gestartet/J/error"}));
}
