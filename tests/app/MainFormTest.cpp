#include "AppTest.h"
#include "toolkit/gui/WCommandButton.h"
#include "toolkit/gui/WLabel.h"
#include "toolkit/gui/WTextBox.h"

#include <QTest>

#include <array>
#include <chrono>

using namespace std::chrono_literals;

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
                                                                       {{790, 560}, {0, 0, 790, 560}}};
    for (const auto& [work, rect] : cases) {
        auto form = startForm(work[0], work[1]);
        EXPECT_EQ(form->startUpExitCode(), 0) << work[0];
        const WRect r = form->rect();
        EXPECT_EQ((std::array{r.x, r.y, r.width, r.height}), rect) << work[0];
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
        EXPECT_EQ(start()->isVisible(), visible) << (file ? file : "(no file)");
        if (file)
            EXPECT_EQ(TempWorkDir::readBytes(dir.file(kSettings)), file) << "start-up only reads the settings";
        else
            EXPECT_TRUE(dir.entries().empty());
    }
}

TEST_F(MainFormTest, ActivationTakesTheHandedOverPathOnceAndEmptiesIt) {
    auto form = start();
    TempWorkDir::writeBytes(dir.file(kSettings), "[EINSTELLUNG]\r\nstatus=0\r\npfad=/home/anna/Sicherung\r\n");
    form->pathPickUpPending = true;
    WEventData activate{WEventId::ActivateEvent};
    EXPECT_FALSE(form->raiseEvent(activate)) << "activation is not handled, default processing goes on";
    EXPECT_EQ(form->textb_nach->text(), "/home/anna/Sicherung");
    EXPECT_EQ(TempWorkDir::readBytes(dir.file(kSettings)), "[EINSTELLUNG]\r\nstatus=0\r\npfad=\r\n");

    // A later activation leaves the destination alone, even when the file holds a path again.
    form->textb_nach->setText("/mnt/usb");
    const std::string again = "[EINSTELLUNG]\r\nstatus=0\r\npfad=/tmp/anders\r\n";
    TempWorkDir::writeBytes(dir.file(kSettings), again);
    form->raiseEvent(activate);
    EXPECT_EQ(form->textb_nach->text(), "/mnt/usb");
    EXPECT_EQ(TempWorkDir::readBytes(dir.file(kSettings)), again);
}

// Start-up runs the clock and the scheduler; the hidden buttons pause and resume the scheduler, and
// closing resumes a paused one, stops every worker and waits for it.
TEST_F(MainFormTest, ClosingResumesAPausedSchedulerStopsAndWaitsForIt) {
    auto form = start();
    auto& scheduler = form->threadSlots[MainForm::kSchedulerSlot];
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return form->text() == "Morlanz 1.1 - Es wurde keine Sicherung angelegt !"; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->label_datum_zeit->text().isEmpty(); }, 2000)) << "the clock runs";
    // A second pause must not need a second resume.
    for (const auto& [button, state] : {std::pair{form->cb_1.get(), ThreadSlot::Paused},
                                        {form->cb_1.get(), ThreadSlot::Paused},
                                        {form->cb_2.get(), ThreadSlot::Running},
                                        {form->cb_1.get(), ThreadSlot::Paused}}) {
        button->click();
        EXPECT_EQ(scheduler.state(), state);
        EXPECT_EQ(scheduler.thread.isSuspended(), state == ThreadSlot::Paused);
    }

    const auto began = std::chrono::steady_clock::now();
    WEventData close{WEventId::CloseEvent};
    EXPECT_FALSE(form->raiseEvent(close)) << "ShutDown lets the close complete";
    EXPECT_LT(std::chrono::steady_clock::now() - began, 1000ms) << "each worker ends within its 500 ms";
    for (auto& s : form->threadSlots) {
        EXPECT_EQ(s.state(), ThreadSlot::Stopped);
        EXPECT_FALSE(s.isAlive());
    }
    EXPECT_TRUE(scheduler.finishedEvent.isSet()) << "the scheduler saw its stop event";
}
