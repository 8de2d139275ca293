// Runs of a job, by hand and by the scheduler, as the main form carries them out.
#include "AppTest.h"
#include "support/LogFileParts.h"
#include "support/SeamScope.h"
#include "support/VirtualClock.h"
#include "toolkit/core/FileCopy.h"
#include "toolkit/gui/WCommandButton.h"

#include <QTest>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {

class BackupRunTest : public AppTest {
protected:
    BackupRunTest() {
        fs::create_directories("quelle/Projekt/sub");
        TempWorkDir::writeBytes("quelle/Brief.doc", "Brief v1");
        TempWorkDir::writeBytes("quelle/Projekt/a.txt", "a");
        TempWorkDir::writeBytes("quelle/Projekt/sub/b.txt", "b");
        TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=J\r\n\r\n[NUMMER]\r\nwert=1\r\n");
        emptyTarget();
    }

    // Job "J" with these keys in save.ini (paths relative to the test folder), a fresh empty
    // destination "ziel" and no log.
    static void job(const std::string& keys, const char* methode = nullptr) {
        TempWorkDir::writeBytes("save.ini", "[J]\r\n" + keys);
        fs::remove("Einstellung.ini");
        if (methode)
            TempWorkDir::writeBytes("Einstellung.ini", std::string("[EINSTELLUNG]\r\nmethode=") + methode + "\r\n");
    }
    static void emptyTarget() {
        fs::remove_all("ziel");
        fs::create_directory("ziel");
        fs::remove("save.log");
    }

    // The log's entries as "action/name/outcome".
    static Strings logEntries() {
        Strings entries;
        for (const logparts::Section& s : logparts::sections(TempWorkDir::readBytes("save.log")))
            entries.push_back(s.lines.size() != 3
                                  ? "broken: " + s.head
                                  : s.lines[0].substr(10) + "/" + s.lines[1].substr(5) + "/" + s.lines[2].substr(8));
        return entries;
    }
};

} // namespace

// A run by hand copies while the window keeps handling its events, then announces and logs once.
TEST_F(BackupRunTest, ByHandCopiesEverySourceAnnouncesAndLogsOnce) {
    job("von_0=quelle/Brief.doc\r\nvon_1=quelle/Projekt\r\nnach=ziel/\r\n");
    auto form = start();
    form->form().lb_anzeige->select(0);
    bool handledDuringRun = false;
    GateWriter gate; // the copy's first write waits for the timer, so the run cannot end before it
    QTimer::singleShot(0, [&] {
        handledDuringRun = boxes.shown().empty() && !fs::exists("save.log");
        gate.released.set();
    });
    form->StartSelectedBackup();
    EXPECT_TRUE(handledDuringRun) << "a timer due during the run fired before the run ended";
    EXPECT_EQ(TempWorkDir::readBytes("ziel/Brief.doc"), "Brief v1");
    EXPECT_EQ(TempWorkDir::readBytes("ziel/Projekt/sub/b.txt"), "b");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.toUtf8(), "Ihre Sicherung 'J' wurde erfolgreich durchgeführt!");
    EXPECT_EQ(logEntries(), Strings{"gestartet/J/ok"});
}

// Whatever the catalogue holds, a run by hand ends with one log entry, a message only on success,
// and never creates a destination. A failed source ends the run; day and time do not matter to it.
TEST_F(BackupRunTest, OddJobsEndWithOneLogEntry) {
    struct Case {
        std::string keys;
        bool ok;
        bool copied;
    };
    const Case cases[] = {
        {"nach=ziel\r\n", true, false},                           // no sources
        {"von_1=quelle/Brief.doc\r\nnach=ziel\r\n", true, false}, // sources end at the first empty key
        {"von_0=quelle/Brief.doc\r\nnach=\r\n", false, false},
        {"von_0=quelle/Brief.doc\r\nnach=fehlt\r\n", false, false},
        {"von_0=quelle/verschwunden\r\nnach=ziel\r\n", false, false},
        {"von_0=quelle/Brief.doc\r\nvon_1=quelle/weg.txt\r\nvon_2=quelle/Projekt\r\nnach=ziel\r\n", false, true},
        {"von_0=quelle/Brief.doc\r\nnach=ziel\r\nwann=Samstag\r\nzeit=9:30\r\n", true, true},
        {"von_0=quelle/Brief.doc\r\nnach=ziel\r\nwann=montag\r\nzeit=24:00\r\n", true, true},
        {"von_0=quelle/Brief.doc\r\nnach=ziel\r\nwann=\r\nzeit=\r\n", true, true},
    };
    auto form = start();
    for (const auto& c : cases) {
        emptyTarget();
        job(c.keys);
        const std::size_t boxesBefore = boxes.shown().size();
        form->RunBackup("J", true);
        EXPECT_EQ(logEntries(), Strings{c.ok ? "gestartet/J/ok" : "gestartet/J/error"}) << c.keys;
        EXPECT_EQ(boxes.shown().size(), boxesBefore + (c.ok ? 1 : 0)) << c.keys;
        EXPECT_EQ(fs::exists("ziel/Brief.doc"), c.copied) << c.keys;
        EXPECT_FALSE(fs::exists("ziel/Projekt")) << c.keys;
        EXPECT_FALSE(fs::exists("fehlt"));
    }
    // A job whose section is missing has nothing to copy.
    emptyTarget();
    TempWorkDir::writeBytes("save.ini", "[Anders]\r\nvon_0=quelle/Brief.doc\r\nnach=ziel\r\n");
    form->RunBackup("J", true);
    EXPECT_EQ(logEntries(), Strings{"gestartet/J/ok"});
    EXPECT_FALSE(fs::exists("ziel/Brief.doc"));
}

// Only exactly "1" overwrites; anything else, a hand-written "2" included, keeps the old copy.
TEST_F(BackupRunTest, CopyMethodOverwritesOnlyForExactlyOne) {
    const std::pair<const char*, bool> cases[] = {{"1", true},   {"0", false},  {"2", false},
                                                  {"ja", false}, {" 1", false}, {nullptr, false}};
    for (const auto& [methode, overwrite] : cases) {
        emptyTarget();
        TempWorkDir::writeBytes("ziel/Brief.doc", "alte Kopie");
        job("von_0=quelle/Brief.doc\r\nnach=ziel\r\n", methode);
        start()->RunBackup("J", false);
        const std::string label = methode ? methode : "(missing)";
        EXPECT_EQ(TempWorkDir::readBytes("ziel/Brief.doc"), overwrite ? "Brief v1" : "alte Kopie") << label;
        EXPECT_EQ(fs::exists("ziel/Brief - Kopie.doc"), !overwrite) << label;
    }
    EXPECT_TRUE(boxes.shown().empty()) << "a run by the scheduler never shows a message box";
}

namespace {

// Writes slowly (1 MiB a call, 20 ms each), so that a copy is still under way when the program
// closes; says when the copy has begun.
class SlowWriter : public CopyWriter {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override {
        began.set();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return ::write(fd, data, size);
    }
    WEventSemaphore began;
    SeamScope<CopyWriter> scope{this};
};

} // namespace

// The scheduler runs a due job on its own thread; closing the program meanwhile cancels the copy
// between two chunks, keeps the previous copy and logs the run as failed.
TEST_F(BackupRunTest, ClosingDuringAScheduledCopyCancelsItAndKeepsThePreviousCopy) {
    TempWorkDir::writeBytes("quelle/gross.bin", std::string(128u << 20, 'n'));
    TempWorkDir::writeBytes("ziel/gross.bin", "vorige Sicherung");
    job("von_0=quelle/gross.bin\r\nnach=ziel\r\nwann=Montag\r\nzeit=10:00\r\naktiv=ja\r\n", "1");
    VirtualClock clock(2026, 12, 7, 9, 59, 59); // a Monday, a second before the job is due
    clock.RunInRealTime();
    SlowWriter slow;
    auto form = start();
    ASSERT_TRUE(slow.began.wait(30'000)) << "the scheduler started the run";
    ThreadSlot& slot = form->threadSlots()[WorkerSlots::kScheduler];
    WEventData close{WEventId::CloseEvent};
    form->form().raiseEvent(close);
    EXPECT_TRUE(slot.finishedEvent.isSet()) << "the cancelled copy ended between two chunks, the thread by itself";
    EXPECT_EQ(TempWorkDir::readBytes("ziel/gross.bin"), "vorige Sicherung");
    EXPECT_EQ(TempWorkDir::entriesOf("ziel"), Strings{"gross.bin"}) << "no temporary file is left behind";
    EXPECT_EQ(logEntries(), Strings{"gestartet/J/error"});
    EXPECT_TRUE(boxes.shown().empty());
}

// While a run by hand copies, the window keeps handling its messages: changes of the catalogue,
// the log and the settings and a second run are refused with a message; exit cancels the copy and
// closes the window once the run has returned.
TEST_F(BackupRunTest, DuringARunByHandCommandsAreRefusedAndExitWaitsForTheCancelledRun) {
    TempWorkDir::writeBytes("quelle/gross.bin", std::string(32u << 20, 'n'));
    TempWorkDir::writeBytes("ziel/gross.bin", "vorige Sicherung");
    TempWorkDir::writeBytes("save.log", "[01.12.2026 10:00:00]\r\nSicherung=neu\r\nName=J\r\nVerlauf=ok\r\n");
    job("von_0=quelle/gross.bin\r\nnach=ziel\r\n", "1");
    const std::string names = TempWorkDir::readBytes("savename.ini");
    const std::string jobs = TempWorkDir::readBytes("save.ini");
    const std::string log = TempWorkDir::readBytes("save.log");
    GateWriter gate;
    auto form = start();
    Form1& window = form->form();
    bool checked = false;
    // Lets the copy go on once the close has been queued, so the run sees its cancellation.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (form->busy().IsClosePending()) {
            EXPECT_FALSE(window.isClosed()) << "the window stays until the run has returned";
            gate.released.set();
            poll.stop();
        }
    });
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(gate.entered.wait(30'000));
        EXPECT_TRUE(form->busy().IsBusy());
        window.cb_starten->click();
        EXPECT_FALSE(form->DeleteJob("J").ok);
        form->data().editingNewJob = true;
        EXPECT_FALSE(form->SaveJob("Neu").ok);
        window.cb_log_loeschen->click();
        form->OpenSettings();
        EXPECT_EQ(form->settingsForm(), nullptr);
        EXPECT_EQ(boxTexts(), Strings(5, "Bitte warten Sie, bis die laufende Sicherung beendet ist."));
        EXPECT_EQ(TempWorkDir::readBytes("savename.ini"), names);
        EXPECT_EQ(TempWorkDir::readBytes("save.ini"), jobs);
        EXPECT_EQ(TempWorkDir::readBytes("save.log"), log);
        window.cb_beenden->click(); // a posted close: it reaches the window in the run's own loop
        poll.start(5);
        checked = true;
    });
    form->StartSelectedBackup();
    EXPECT_TRUE(checked);
    EXPECT_EQ(boxes.shown().size(), 5u) << "a cancelled run announces nothing";
    EXPECT_EQ(TempWorkDir::readBytes("ziel/gross.bin"), "vorige Sicherung");
    EXPECT_EQ(logEntries().back(), "gestartet/J/error");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isClosed(); }, 10'000)) << "the queued close came through";
    EXPECT_FALSE(form->threadSlots().AnyAlive()) << "and ran ShutDown";
}
