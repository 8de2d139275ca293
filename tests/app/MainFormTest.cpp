#include "AppTest.h"
#include "app/form1/Form1.h"
#include "support/LogFileParts.h"
#include "support/VirtualClock.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WLabel.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WRichTextBox.h"
#include "toolkit/gui/WTextBox.h"
#include "toolkit/gui/WTreeView.h"

#include <QAccessible>
#include <QMenuBar>
#include <QTest>

#include <array>
#include <filesystem>

namespace {

const char* const kSettings = "Einstellung.ini";

class MainFormTest : public AppTest {
protected:
    // Creates the form on a work area of the given size (start-up runs as part of it).
    static std::unique_ptr<MainForm> startForm(int width, int height) {
        FixedWorkArea other(width, height);
        return start();
    }
};

} // namespace

TEST_F(MainFormTest, WindowIsPlacedByTheWidthOfTheWorkArea) {
    // Started hidden, so the test platform's own screen does not move the window; the placement
    // on a real display is checked with the program itself.
    TempWorkDir::writeBytes(dir.file(kSettings), "[EINSTELLUNG]\r\nstatus=1\r\n");
    // Above 850 pixels wide: 800 x 580, centred, rounding toward zero; 790 to 850: the whole work area.
    const std::pair<std::array<int, 2>, std::array<int, 4>> cases[] = {{{1024, 738}, {112, 79, 800, 580}},
                                                                       {{851, 600}, {25, 10, 800, 580}},
                                                                       {{850, 600}, {0, 0, 850, 600}},
                                                                       {{800, 600}, {0, 0, 800, 600}},
                                                                       {{790, 560}, {0, 0, 790, 560}},
                                                                       // 1920 x 1080 at scale factor 2: never
                                                                       // above the work area's top
                                                                       {{960, 540}, {80, 0, 800, 580}}};
    for (const auto& [work, rect] : cases) {
        auto form = startForm(work[0], work[1]);
        EXPECT_EQ(form->startUpExitCode(), 0) << work[0];
        const WRect r = form->form().rect();
        EXPECT_EQ((std::array{r.x, r.y, r.width, r.height}), rect) << work[0];
    }
}

TEST_F(MainFormTest, NarrowWorkAreaEndsWithCodeOneBeforeAnyFileIsTouched) {
    for (int width : {789, 640}) {
        auto form = startForm(width, 480);
        EXPECT_EQ(form->startUpExitCode(), 1) << width;
        EXPECT_FALSE(form->form().isVisible());
        EXPECT_TRUE(dir.entries().empty()) << "no file may be created";
        EXPECT_FALSE(form->threadSlots().AnyAlive());
    }
}

TEST_F(MainFormTest, StartModeShowsTheWindowUnlessStatusIsNonZero) {
    const std::pair<const char*, bool> cases[] = {
        {nullptr, true}, // no settings file
        {"[EINSTELLUNG]\r\nstatus=0\r\n", true},
        {"[EINSTELLUNG]\r\nstatus=1\r\n", false},
        {"[EINSTELLUNG]\r\nstatus=2\r\n", false},
        {"[SOUNDANI]\r\nstatus=1\r\n", true}, // another section's key does not count
    };
    for (const auto& [file, visible] : cases) {
        std::filesystem::remove(dir.file(kSettings));
        if (file)
            TempWorkDir::writeBytes(dir.file(kSettings), file);
        EXPECT_EQ(start()->form().isVisible(), visible) << (file ? file : "(no file)");
        if (file)
            EXPECT_EQ(TempWorkDir::readBytes(dir.file(kSettings)), file) << "start-up only reads the settings";
        else
            EXPECT_TRUE(dir.entries().empty());
    }
}

TEST_F(MainFormTest, ActivationTakesTheHandedOverPathOnceAndEmptiesIt) {
    auto form = start();
    TempWorkDir::writeBytes(dir.file(kSettings), "[EINSTELLUNG]\r\nstatus=0\r\npfad=/home/anna/Sicherung\r\n");
    form->data().pathPickUpPending = true;
    WEventData activate{WEventId::ActivateEvent};
    EXPECT_FALSE(form->form().raiseEvent(activate)) << "activation is not handled, default processing goes on";
    EXPECT_EQ(form->form().textb_nach->text(), "/home/anna/Sicherung");
    EXPECT_EQ(TempWorkDir::readBytes(dir.file(kSettings)), "[EINSTELLUNG]\r\nstatus=0\r\npfad=\r\n");

    // A later activation leaves the destination alone, even when the file holds a path again.
    form->form().textb_nach->setText("/mnt/usb");
    const std::string again = "[EINSTELLUNG]\r\nstatus=0\r\npfad=/tmp/anders\r\n";
    TempWorkDir::writeBytes(dir.file(kSettings), again);
    form->form().raiseEvent(activate);
    EXPECT_EQ(form->form().textb_nach->text(), "/mnt/usb");
    EXPECT_EQ(TempWorkDir::readBytes(dir.file(kSettings)), again);
}

// Start-up runs the clock and the scheduler; the hidden buttons pause and resume the scheduler, and
// closing resumes a paused one, stops every worker and waits for it.
TEST_F(MainFormTest, ClosingResumesAPausedSchedulerStopsAndWaitsForIt) {
    auto form = start();
    Form1& window = form->form();
    ThreadSlot& scheduler = form->threadSlots()[WorkerSlots::kScheduler];
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window.text() == "Morlanz 1.1 - Es wurde keine Sicherung angelegt !"; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.label_datum_zeit->text().isEmpty(); }, 5000)) << "the clock runs";
    // A second pause must not need a second resume.
    for (const auto& [button, state] : {std::pair{window.cb_1.get(), ThreadSlot::Paused},
                                        {window.cb_1.get(), ThreadSlot::Paused},
                                        {window.cb_2.get(), ThreadSlot::Running},
                                        {window.cb_1.get(), ThreadSlot::Paused}}) {
        button->click();
        EXPECT_EQ(scheduler.state(), state);
        EXPECT_EQ(scheduler.thread.isSuspended(), state == ThreadSlot::Paused);
    }

    WEventData close{WEventId::CloseEvent};
    EXPECT_FALSE(window.raiseEvent(close)) << "ShutDown lets the close complete";
    for (int slot = 0; slot < WorkerSlots::kCount; ++slot) {
        EXPECT_EQ(form->threadSlots()[slot].state(), ThreadSlot::Stopped);
        EXPECT_FALSE(form->threadSlots()[slot].isAlive());
    }
    // A worker that had to be given up would be gone too, but would never have signalled its end.
    EXPECT_TRUE(scheduler.finishedEvent.isSet()) << "the paused scheduler was resumed and saw its stop event";
    EXPECT_TRUE(form->threadSlots()[WorkerSlots::kClock].finishedEvent.isSet());
}

// A scheduled copy that stays stuck in a write through the whole shutdown is given up; the form is
// destroyed; when the write returns, the worker finds its copy cancelled, its slot, schedule and
// log still there and the window gone. Built with AddressSanitizer this shows any touch of freed
// memory.
TEST_F(MainFormTest, AWorkerGivenUpAtShutdownWakesSafelyAfterTheFormIsGone) {
    std::filesystem::create_directories("quelle");
    std::filesystem::create_directories("ziel");
    TempWorkDir::writeBytes("quelle/daten.bin", std::string(20u << 20, 'd'));
    TempWorkDir::writeBytes("ziel/daten.bin", "vorige Sicherung");
    TempWorkDir::writeBytes("savename.ini", "[SICHERUNG]\r\nname_1=J\r\n\r\n[NUMMER]\r\nwert=1\r\n");
    TempWorkDir::writeBytes("save.ini",
                            "[J]\r\nvon_0=quelle/daten.bin\r\nnach=ziel\r\nwann=Montag\r\nzeit=10:00\r\naktiv=ja\r\n");
    TempWorkDir::writeBytes("Einstellung.ini", "[EINSTELLUNG]\r\nmethode=1\r\n");
    VirtualClock clock(2026, 12, 7, 9, 59, 59); // a Monday, a second before the job is due
    clock.RunInRealTime();
    GateWriter gate;
    auto form = start();
    ASSERT_TRUE(gate.entered.wait(30'000)) << "the scheduler started the run";
    // Watched without keeping it alive: only the worker itself may hold its slot from now on.
    std::weak_ptr<ThreadSlot> scheduler = form->threadSlots().share(WorkerSlots::kScheduler);

    WEventData close{WEventId::CloseEvent};
    form->form().raiseEvent(close);
    EXPECT_FALSE(scheduler.lock()->isAlive()) << "given up";
    EXPECT_FALSE(scheduler.lock()->finishedEvent.isSet()) << "still inside its write";
    form.reset();
    ASSERT_FALSE(scheduler.expired()) << "the worker holds its slot";

    gate.released.set();
    const auto logged = [] { return logparts::sections(TempWorkDir::readBytes("save.log")).size() == 1; };
    EXPECT_TRUE(QTest::qWaitFor(logged, 60'000)) << "the run came to its end";
    EXPECT_TRUE(QTest::qWaitFor([&] { return scheduler.expired(); }, 60'000)) << "and the thread let go of it all";
    EXPECT_EQ(TempWorkDir::readBytes("ziel/daten.bin"), "vorige Sicherung");
    EXPECT_EQ(TempWorkDir::entriesOf("ziel"), std::vector<std::string>{"daten.bin"});
    const auto entries = logparts::sections(TempWorkDir::readBytes("save.log"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].lines, (std::vector<std::string>{"Sicherung=gestartet", "Name=J", "Verlauf=error"}));
}

// A shutdown request (SIGINT, SIGTERM) while start-up reads a large catalogue ends the reading
// there: asked before it, while the names are read or listed, or while the schedule is built,
// start-up starts no worker and writes nothing, and the message loop can then end the program at
// once. The count claims 100,000 jobs, of which 20,000 have names.
TEST_F(MainFormTest, AStopRequestEndsStartUpEarlyWithoutWriting) {
    constexpr int kCounted = 100'000;
    constexpr int kNamed = 20'000;
    std::string names = "[SICHERUNG]\r\n";
    std::string jobs;
    for (int n = 1; n <= kNamed; ++n) {
        names += "name_" + std::to_string(n) + "=J" + std::to_string(n) + "\r\n";
        jobs += "[J" + std::to_string(n) + "]\r\nwann=Montag\r\nzeit=10:00\r\naktiv=ja\r\n\r\n";
    }
    TempWorkDir::writeBytes("savename.ini", names + "\r\n[NUMMER]\r\nwert=100000\r\n");
    TempWorkDir::writeBytes("save.ini", jobs);
    const auto before = folderState();
    // The stop is requested from the given ask on (0: never); start-up asks once per name read,
    // once per name listed and once per schedule entry.
    const struct {
        const char* what;
        int stopAt;
        bool allListed;
        bool allScheduled;
    } cases[] = {
        {"no request", 0, true, true},
        {"before start-up", 1, false, false},
        {"while the names are read", kNamed / 2, false, false},
        {"while the names are listed", kNamed * 3 / 2, false, false},
        {"while the schedule is built", kNamed * 3, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int asked = 0;
        auto form = std::make_unique<MainForm>([&] { return c.stopAt != 0 && ++asked >= c.stopAt; });
        ASSERT_TRUE(form->create());
        EXPECT_EQ(form->startUpExitCode(), 0);
        const int listed = form->form().lb_anzeige->count();
        const int scheduled = form->data().scheduleList->Count();
        EXPECT_EQ(listed == kNamed, c.allListed) << listed;
        EXPECT_EQ(scheduled == kCounted, c.allScheduled) << scheduled;
        EXPECT_EQ(form->threadSlots().AnyAlive(), c.stopAt == 0);
        if (c.stopAt != 0 && !c.allListed) {
            EXPECT_EQ(scheduled, 0);
        }
        if (c.stopAt == 1) {
            EXPECT_EQ(listed, 0);
        }
        form.reset();
        EXPECT_EQ(folderState(), before);
    }
}

// A keyboard or screen-reader user at start: the focus is on the job list (never on the stray text
// box), the menus open with Alt and their letter, and every field is named by its caption.
TEST_F(MainFormTest, TheKeyboardAndScreenReadersFindTheirWay) {
    auto form = start();
    Form1& f = form->form();
    EXPECT_TRUE(f.lb_anzeige->hasFocus());
    EXPECT_EQ(f.textb_dummy->widget()->focusPolicy(), Qt::NoFocus);
    auto* bar = f.widget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction* a : bar->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&Programm", "&Einstellung", "&Info"}));
    const std::pair<WWindow*, const char*> named[] = {
        {f.lb_anzeige.get(), "Sicherung"},
        {f.rtb_anzeige.get(), "Inhalt der Sicherung"},
        {f.textb_name_der_sicherung.get(), "Name der Sicherung"},
        {f.textb_nach.get(), "nach"},
        {f.lb_von.get(), "von"},
        {f.combo_tag.get(), "wann"},
        {f.mtextb_uhr.get(), "Zeit"},
        {f.checkbox_aktiv.get(), "aktiv"},
        {f.tv_dir.get(), "Pfad wählen"},
    };
    for (const auto& [control, name] : named) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control->widget());
        ASSERT_NE(iface, nullptr) << name;
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(name));
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f.widget())->role(), QAccessible::Window) << "a frame";
}

// In the open editor Tab goes through the tree, its buttons, every field and the save buttons, in
// reading order; the picture buttons are named by their captions for screen readers.
TEST_F(MainFormTest, TabWalksTheEditorInReadingOrder) {
    auto form = start();
    Form1& f = form->form();
    form->NewJob();
    const std::vector<std::pair<WWindow*, const char*>> expected = {
        {f.tv_dir.get(), "Pfad wählen"},
        {f.pictb_tv_aktuell.get(), "Aktualisieren"},
        {f.pictb_quelle.get(), "Quelle >>"},
        {f.pictb_quelle_loeschen.get(), "löschen"},
        {f.pictb_quelle_aloeschen.get(), "alles löschen"},
        {f.pictb_ziel.get(), "Ziel >>"},
        {f.textb_name_der_sicherung.get(), "Name der Sicherung"},
        {f.lb_von.get(), "von"},
        {f.textb_nach.get(), "nach"},
        {f.combo_tag.get(), "wann"},
        {f.mtextb_uhr.get(), "Zeit"},
        {f.checkbox_aktiv.get(), "aktiv"},
        {f.pictb_sicherung_speichern.get(), "Sicherung speichern"},
        {f.pictb_sicherung_verwerfen.get(), "Sicherung verwerfen"},
    };
    // What Tab would reach next from the tree: focusable, shown and enabled widgets in chain order.
    std::vector<QWidget*> reached;
    QWidget* w = f.tv_dir->widget();
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(f.widget()) && w->isEnabled())
            reached.push_back(w);
        w = w->nextInFocusChain();
    } while (w != f.tv_dir->widget() && reached.size() < 40);
    ASSERT_GE(reached.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reached[i], expected[i].first->widget()) << "stop " << i << ": " << expected[i].second;
        // A combo box reads out its chosen day; its label is its accessible name.
        EXPECT_EQ(expected[i].first->widget()->accessibleName(), QString::fromUtf8(expected[i].second));
    }
    form->DiscardJob();
}
