#include "MainForm.h"
#include "FixedWorkArea.h"
#include "MorlanzResources.h"
#include "ScriptedMessageBoxes.h"
#include "TempWorkDir.h"
#include "WCommandButton.h"
#include "WLabel.h"
#include "WMenu.h"
#include "WTextBox.h"

#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

const char* const kSettings = "Einstellung.ini";

class MainFormTest : public InTempDir {
protected:
    MainFormTest() { WResources::install(&MorlanzResources::instance()); }

    // Creates the form on a work area of the given size (start-up runs as part of it).
    std::unique_ptr<MainForm> startForm(int width, int height) {
        FixedWorkArea area(width, height);
        auto form = std::make_unique<MainForm>();
        EXPECT_TRUE(form->create());
        return form;
    }

    ScriptedMessageBoxes boxes;
};

struct Placement {
    int areaWidth, areaHeight;
    WRect expected;
};

} // namespace

TEST_F(MainFormTest, WindowIsPlacedByTheWidthOfTheWorkArea) {
    // Started hidden, so the test platform's own screen does not move the window; the placement
    // on a real display is checked with the program itself.
    TempWorkDir::writeBytes(dir.file(kSettings), "[EINSTELLUNG]\r\nstatus=1\r\n");
    const Placement cases[] = {
        {1024, 738, {112, 79, 800, 580}},                                   // centred, rounding toward zero
        {1280, 1024, {240, 222, 800, 580}}, {851, 600, {25, 10, 800, 580}}, // just above the limit: the fixed size
        {850, 600, {0, 0, 850, 600}},                                       // 790..850: the whole work area
        {800, 600, {0, 0, 800, 600}},       {790, 560, {0, 0, 790, 560}},
    };
    for (const auto& c : cases) {
        auto form = startForm(c.areaWidth, c.areaHeight);
        EXPECT_EQ(form->startUpExitCode(), 0) << c.areaWidth;
        const WRect r = form->rect();
        EXPECT_EQ(r.x, c.expected.x) << c.areaWidth;
        EXPECT_EQ(r.y, c.expected.y) << c.areaWidth;
        EXPECT_EQ(r.width, c.expected.width) << c.areaWidth;
        EXPECT_EQ(r.height, c.expected.height) << c.areaWidth;
    }
}

TEST_F(MainFormTest, NarrowWorkAreaEndsWithCodeOneBeforeAnyFileIsTouched) {
    for (int width : {789, 640}) {
        auto form = startForm(width, 480);
        EXPECT_EQ(form->startUpExitCode(), 1) << width;
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(dir.entries().empty()) << "no file may be created";
        for (const auto& slot : form->threadSlots)
            EXPECT_FALSE(slot.isAlive());
    }
}

TEST_F(MainFormTest, StartModeShowsTheWindowUnlessStatusIsNonZero) {
    struct Case {
        const char* file; // nullptr: no settings file
        bool visible;
    };
    const Case cases[] = {
        {nullptr, true},
        {"[EINSTELLUNG]\r\nmethode=1\r\n", true},
        {"[EINSTELLUNG]\r\nstatus=0\r\n", true},
        {"[EINSTELLUNG]\r\nstatus=\r\n", true},
        {"[EINSTELLUNG]\r\nstatus=1\r\n", false},
        {"[EINSTELLUNG]\r\nstatus=2\r\n", false},
        {"[SOUNDANI]\r\nstatus=1\r\n", true}, // another section's key does not count
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir.file(kSettings));
        if (c.file)
            TempWorkDir::writeBytes(dir.file(kSettings), c.file);
        auto form = startForm(1024, 738);
        EXPECT_EQ(form->isVisible(), c.visible) << (c.file ? c.file : "(no file)");
        if (c.file)
            EXPECT_EQ(TempWorkDir::readBytes(dir.file(kSettings)), c.file) << "start-up only reads the settings";
        else
            EXPECT_FALSE(std::filesystem::exists(dir.file(kSettings)));
    }
}

TEST_F(MainFormTest, ActivationTakesTheHandedOverPathOnceAndEmptiesIt) {
    auto form = startForm(1024, 738);
    TempWorkDir::writeBytes(dir.file(kSettings), "[EINSTELLUNG]\r\nstatus=0\r\npfad=/home/anna/Sicherung\r\n");
    form->pathPickUpPending = true;
    WEventData activate{WEventId::ActivateEvent};
    EXPECT_FALSE(form->raiseEvent(activate)) << "activation is not handled, default processing goes on";
    EXPECT_EQ(form->textb_nach->text(), "/home/anna/Sicherung");
    EXPECT_FALSE(form->pathPickUpPending);
    EXPECT_EQ(TempWorkDir::readBytes(dir.file(kSettings)), "[EINSTELLUNG]\r\nstatus=0\r\npfad=\r\n");

    // A later activation leaves the destination alone, even when the file holds a path again.
    form->textb_nach->setText("/mnt/usb");
    const std::string again = "[EINSTELLUNG]\r\nstatus=0\r\npfad=/tmp/anders\r\n";
    TempWorkDir::writeBytes(dir.file(kSettings), again);
    form->raiseEvent(activate);
    EXPECT_EQ(form->textb_nach->text(), "/mnt/usb");
    EXPECT_EQ(TempWorkDir::readBytes(dir.file(kSettings)), again);
}

TEST_F(MainFormTest, StartUpRunsTheClockAndTheSchedulerWhichTheHiddenButtonsPause) {
    auto form = startForm(1024, 738);
    EXPECT_EQ(form->threadSlots[MainForm::kClockSlot].state(), ThreadSlot::Running);
    EXPECT_EQ(form->threadSlots[1].state(), ThreadSlot::Stopped);
    EXPECT_EQ(form->threadSlots[MainForm::kTreeSlot].state(), ThreadSlot::Stopped);
    auto& scheduler = form->threadSlots[MainForm::kSchedulerSlot];
    EXPECT_EQ(scheduler.state(), ThreadSlot::Running);
    EXPECT_EQ(form->threadSlots[MainForm::kClockSlot].thread.priority(), WThread::Lowest);

    // The clock label and the caption follow within a second.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->label_datum_zeit->text().isEmpty(); }, 2000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return form->text() == "Morlanz 1.1 - Es wurde keine Sicherung angelegt !"; }, 2000));

    form->cb_1->click();
    EXPECT_EQ(scheduler.state(), ThreadSlot::Paused);
    form->cb_1->click();
    EXPECT_EQ(scheduler.state(), ThreadSlot::Paused);
    form->cb_2->click();
    EXPECT_EQ(scheduler.state(), ThreadSlot::Running);
}

TEST_F(MainFormTest, ClosingResumesAPausedSchedulerStopsAndWaitsForItThenEnds) {
    auto form = startForm(1024, 738);
    form->PauseScheduler(MainForm::kSchedulerSlot);
    auto& slot = form->threadSlots[MainForm::kSchedulerSlot];
    EXPECT_EQ(slot.state(), ThreadSlot::Paused);

    const auto start = std::chrono::steady_clock::now();
    WEventData close{WEventId::CloseEvent};
    EXPECT_FALSE(form->raiseEvent(close)) << "ShutDown lets the close complete";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms) << "each worker ends within its 500 ms";
    for (auto& s : form->threadSlots) {
        EXPECT_EQ(s.state(), ThreadSlot::Stopped);
        EXPECT_FALSE(s.isAlive());
    }
    EXPECT_TRUE(slot.finishedEvent.isSet()) << "the scheduler saw its stop event";

    // The exit command goes the same way: a close request that ends in the window's destruction.
    auto second = startForm(1024, 738);
    bool secondDestroyed = false;
    second->events().connect(WEventId::DestroyEvent, this, [&](WEventData&) {
        secondDestroyed = true;
        return false;
    });
    second->cb_beenden->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return secondDestroyed; }, 2000));
    EXPECT_TRUE(second->isClosed());
    EXPECT_TRUE(second->threadSlots[MainForm::kClockSlot].finishedEvent.isSet());
}
