// The picture buttons as the mouse, the keyboard and a screen reader use them.
#include "AppTest.h"
#include "app/effects/Effects.h"
#include "app/form1/Views.h"
#include "support/RecordedSounds.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WTextBox.h"

#include <QTest>

namespace {

class PictureButtonTest : public AppTest {
protected:
    void startWith(const std::string& names, bool effects = true) {
        TempWorkDir::writeBytes("Einstellung.ini",
                                std::string("[EINSTELLUNG]\r\nstatus=0\r\n\r\n[SOUNDANI]\r\nstatus=") +
                                    (effects ? "1" : "0") + "\r\n");
        if (!names.empty())
            TempWorkDir::writeBytes("savename.ini", names);
        form = start();
        sounds.take();
    }
    static bool mouse(WWindow& w, WEventId id, int x = 5, int y = 5) {
        WEventData data;
        data.id = id;
        data.x = x;
        data.y = y;
        return w.raiseEvent(data);
    }
    static void click(WPictureBox& p, int x = 5, int y = 5) {
        mouse(p, WEventId::LeftButtonDownEvent);
        mouse(p, WEventId::LeftButtonUpEvent, x, y);
    }
    bool logViewShown() const { return form->form().pictb_log_schliessen->isShown(); }

    RecordedSounds sounds;
    std::unique_ptr<MainForm> form;
};

const std::string kOneJob = "[SICHERUNG]\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=1\r\n";

TEST_F(PictureButtonTest, AReleaseInsideOrOnTheBorderRunsTheCommandAndOneOutsideDoesNot) {
    startWith(kOneJob);
    Form1& f = form->form();
    WPictureBox& show = *f.pictb_log_anzeigen;
    ASSERT_EQ(show.rect().width, 119);
    // Outside by one pixel on each side: nothing runs, the normal picture returns, no sound on release.
    for (auto [x, y] : {std::pair{120, 10}, {10, 36}, {-1, 10}, {10, -1}}) {
        mouse(show, WEventId::LeftButtonDownEvent);
        EXPECT_EQ(show.bitmapId(), 128) << "pressed";
        mouse(show, WEventId::LeftButtonUpEvent, x, y);
        EXPECT_EQ(show.bitmapId(), 127) << x << "," << y;
        EXPECT_FALSE(logViewShown()) << x << "," << y;
    }
    EXPECT_EQ(sounds.take(), std::vector<std::string>(4, "KLICK"));
    // Both borders count as inside.
    for (auto [x, y] : {std::pair{119, 35}, {0, 0}}) {
        click(show, x, y);
        EXPECT_TRUE(logViewShown()) << x << "," << y;
        EXPECT_EQ(show.bitmapId(), 127);
        click(*f.pictb_log_schliessen, x, y);
        EXPECT_FALSE(logViewShown()) << "back to the overview";
        EXPECT_TRUE(f.lb_anzeige->hasFocus());
    }
    EXPECT_EQ(sounds.take(),
              (std::vector<std::string>{"KLICK", "MENUE_ZU", "MENUE_AUF", "KLICK", "MENUE_ZU", "MENUE_AUF", "KLICK",
                                        "MENUE_ZU", "MENUE_AUF", "KLICK", "MENUE_ZU", "MENUE_AUF"}));
}

TEST_F(PictureButtonTest, InactiveButtonsClickButShowNothingPressedAndRunNothing) {
    startWith(""); // no jobs: edit, delete and start are inactive
    Form1& f = form->form();
    ASSERT_TRUE(form->data().jobButtonsInactive);
    for (WPictureBox* p : {f.pictb_bearbeiten.get(), f.pictb_loeschen.get(), f.pictb_starten.get()}) {
        const int inactive = p->bitmapId();
        mouse(*p, WEventId::LeftButtonDownEvent);
        EXPECT_EQ(p->bitmapId(), inactive);
        mouse(*p, WEventId::MouseMoveEvent);
        mouse(*p, WEventId::LeftButtonUpEvent);
        EXPECT_EQ(p->bitmapId(), inactive);
        // The keyboard gets no more than the mouse.
        QTest::keyClick(p->widget(), Qt::Key_Space);
    }
    EXPECT_EQ(sounds.take(), std::vector<std::string>(6, "KLICK")) << "a click on each press, no hover sound";
    EXPECT_FALSE(f.pictb_sicherung_speichern->isShown()) << "no command ran";
    EXPECT_TRUE(boxes.shown().empty());

    // New job: the editor opens, and the follow-up steps make source and target inactive.
    click(*f.pictb_anlegen);
    ASSERT_TRUE(f.pictb_sicherung_speichern->isShown());
    EXPECT_TRUE(form->data().sourceButtonInactive);
    EXPECT_TRUE(form->data().targetButtonInactive);
    EXPECT_EQ(f.pictb_quelle->bitmapId(), 136);
    EXPECT_EQ(f.pictb_ziel->bitmapId(), 135);
    sounds.take();
    mouse(*f.pictb_quelle, WEventId::LeftButtonDownEvent);
    EXPECT_EQ(f.pictb_quelle->bitmapId(), 136);
    mouse(*f.pictb_sicherung_speichern, WEventId::LeftButtonDownEvent);
    mouse(*f.pictb_sicherung_speichern, WEventId::LeftButtonUpEvent);
    EXPECT_EQ(f.pictb_sicherung_speichern->bitmapId(), 110);
    EXPECT_EQ(sounds.take(), std::vector<std::string>{"KLICK"}) << "the inactive save button makes no sound at all";

    // Discard: back to the overview; the follow-up of new job runs after a release outside too.
    click(*f.pictb_sicherung_verwerfen);
    EXPECT_TRUE(f.pictb_anlegen->isShown());
    form->views().EnableSourceButton(true);
    click(*f.pictb_anlegen, 500, 5);
    EXPECT_TRUE(f.pictb_anlegen->isShown()) << "no command outside";
    EXPECT_TRUE(form->data().sourceButtonInactive) << "the follow-up ran all the same";
}

TEST_F(PictureButtonTest, TheHoverSoundPlaysOnceUntilThePointerCrossesTheBareForm) {
    startWith(kOneJob);
    Form1& f = form->form();
    mouse(*f.pictb_anlegen, WEventId::MouseMoveEvent);
    mouse(*f.pictb_anlegen, WEventId::MouseMoveEvent);
    mouse(*f.pictb_beenden, WEventId::MouseMoveEvent);
    EXPECT_EQ(sounds.take(), std::vector<std::string>{"MOVE"});
    mouse(f, WEventId::MouseMoveEvent);
    mouse(*f.pictb_beenden, WEventId::MouseMoveEvent);
    EXPECT_EQ(sounds.take(), std::vector<std::string>{"MOVE"});
    for (int i = 0; i < 3; ++i)
        mouse(*f.pictb_anlegen, WEventId::LeftButtonDownEvent);
    EXPECT_EQ(sounds.take(), std::vector<std::string>(3, "KLICK")) << "every press clicks";
    mouse(*f.pictb_anlegen, WEventId::LeftButtonUpEvent, -5, -5);

    // Effects off: silence, the buttons work the same.
    form.reset();
    startWith(kOneJob, false);
    mouse(form->form(), WEventId::MouseMoveEvent);
    mouse(*form->form().pictb_anlegen, WEventId::MouseMoveEvent);
    click(*form->form().pictb_log_anzeigen);
    EXPECT_TRUE(logViewShown());
    EXPECT_TRUE(sounds.played.empty());
}

// Records what the delete button showed when the question came.
class PictureAtQuestion : public WMessagePresenter {
public:
    explicit PictureAtQuestion(WPictureBox& p) : picture(p) {}
    int present(const WMessageRequest& request) override {
        texts.push_back(request.text.toUtf8());
        bitmapAtQuestion = picture.bitmapId();
        return ID::CANCEL;
    }
    WPictureBox& picture;
    std::vector<std::string> texts;
    int bitmapAtQuestion = 0;
    SeamScope<WMessagePresenter> scope{this};
};

TEST_F(PictureButtonTest, DeleteShowsItsNormalPictureBeforeItAsksAndTheKeyboardFiresIt) {
    startWith(kOneJob);
    Form1& f = form->form();
    PictureAtQuestion question(*f.pictb_loeschen);
    click(*f.pictb_loeschen);
    ASSERT_EQ(question.texts.size(), 1u);
    EXPECT_EQ(question.bitmapAtQuestion, 121) << "normal picture, mouse released, then the question";
    EXPECT_EQ(question.texts[0], "Möchten Sie die Sicherung \nmit dem Namen\n\nFotos\n\nwirklich löschen?");

    f.pictb_loeschen->widget()->setFocus();
    QTest::keyClick(f.pictb_loeschen->widget(), Qt::Key_Return);
    EXPECT_EQ(question.texts.size(), 2u) << "Return does what a click inside does";
    EXPECT_EQ(f.pictb_loeschen->bitmapId(), 121);
    EXPECT_EQ(TempWorkDir::readBytes("savename.ini"), kOneJob) << "Cancel changed nothing";
}

} // namespace

namespace {

TEST_F(PictureButtonTest, TheOverviewsCommandsEditStartAndExit) {
    TempWorkDir::writeBytes("save.ini", "[Fotos]\r\nvon_0=/gibt/es/nicht\r\nnach=/tmp\r\nwann=Montag\r\nzeit=08:00\r\n"
                                        "aktiv=ja\r\n");
    startWith(kOneJob);
    Form1& f = form->form();
    click(*f.pictb_bearbeiten);
    ASSERT_TRUE(f.pictb_sicherung_verwerfen->isShown()) << "edit opens the editor";
    EXPECT_EQ(f.textb_name_der_sicherung->text(), "Fotos") << "with the selected job loaded";
    EXPECT_TRUE(form->data().saveButtonInactive);
    EXPECT_TRUE(form->data().sourceButtonInactive) << "the follow-up steps of edit";
    click(*f.pictb_sicherung_verwerfen);
    ASSERT_TRUE(f.pictb_starten->isShown()) << "discard leads back";
    EXPECT_TRUE(f.lb_anzeige->hasFocus());

    click(*f.pictb_starten); // its only source is missing: the run fails
    EXPECT_NE(TempWorkDir::readBytes("save.log").find("Name=Fotos\r\nVerlauf=error"), std::string::npos)
        << "start runs the selected job";

    click(*f.pictb_beenden);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.isClosed(); }, 5000)) << "exit closes the window";
}

} // namespace
