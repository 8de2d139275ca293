// The three views and the six transitions between them, as tables: which view controls are shown,
// where, and how large; with effects off (at once, silent) and on (step-wise, with sounds).
#include "app/form1/Views.h"
#include "AppTest.h"
#include "app/effects/Effects.h"
#include "support/RecordedSounds.h"
#include "toolkit/gui/WCheckBox.h"
#include "toolkit/gui/WComboBox.h"
#include "toolkit/gui/WLabel.h"
#include "toolkit/gui/WMaskedTextBox.h"
#include "toolkit/gui/WPictureBox.h"
#include "toolkit/gui/WRichTextBox.h"
#include "toolkit/gui/WTextBox.h"
#include "toolkit/gui/WTreeView.h"

#include <QEvent>
#include <QTest>
#include <QWidget>

#include <map>
#include <set>
#include <string>

namespace {

struct Place {
    int x, y, width, height;
};
using Table = std::map<std::string, Place>;

const Table kOverview = {
    {"label_sicherung", {150, 10, 150, 13}},
    {"lb_anzeige", {150, 30, 500, 170}},
    {"label_inhalt", {150, 210, 150, 13}},
    {"rtb_anzeige", {150, 230, 500, 285}},
    {"pictb_anlegen", {663, 30, 119, 35}},
    {"pictb_bearbeiten", {663, 80, 119, 35}},
    {"pictb_loeschen", {663, 130, 119, 35}},
    {"pictb_starten", {663, 180, 119, 35}},
    {"pictb_log_anzeigen", {663, 370, 119, 35}},
    {"pictb_beenden", {663, 420, 119, 35}},
    {"pictb_logo", {15, 30, 0, 0}}, // placed and shown, never grown
};

const Table kEditor = {
    {"label_pfad_waehlen", {17, 10, 150, 13}},
    {"tv_dir", {17, 30, 250, 445}},
    {"pictb_tv_aktuell", {17, 485, 119, 35}},
    {"pictb_quelle", {276, 80, 77, 35}},
    {"pictb_quelle_loeschen", {276, 130, 77, 35}},
    {"pictb_quelle_aloeschen", {276, 180, 77, 35}},
    {"pictb_ziel", {276, 435, 77, 35}},
    {"label_name_der_sicherung", {360, 10, 150, 13}},
    {"textb_name_der_sicherung", {360, 30, 290, 20}},
    {"label_von", {360, 60, 150, 13}},
    {"lb_von", {360, 80, 290, 335}},
    {"label_nach", {360, 425, 150, 13}},
    {"textb_nach", {360, 445, 290, 20}},
    {"label_wann", {360, 475, 150, 13}},
    {"combo_tag", {360, 495, 150, 20}},
    {"label_zeit", {540, 475, 50, 13}},
    {"mtextb_uhr", {540, 495, 50, 20}},
    {"label_aktiv", {620, 475, 50, 13}},
    {"checkbox_aktiv", {620, 495, 50, 20}},
    {"pictb_sicherung_speichern", {663, 30, 119, 35}},
    {"pictb_sicherung_verwerfen", {663, 80, 119, 35}},
};

const Table kLog = {
    {"label_log", {150, 10, 150, 13}},
    {"rtb_anzeige", {150, 30, 500, 484}},
    {"pictb_log_loeschen", {663, 30, 119, 35}},
    {"pictb_log_schliessen", {663, 80, 119, 35}},
};

// Every control a view shows, and textb_dummy, which the editor hides.
std::map<std::string, WWindow*> viewControls(Form1& f) {
    std::map<std::string, WWindow*> all;
    for (WWindow* w : std::initializer_list<WWindow*>{f.tv_dir.get(),
                                                      f.lb_von.get(),
                                                      f.combo_tag.get(),
                                                      f.mtextb_uhr.get(),
                                                      f.label_wann.get(),
                                                      f.label_nach.get(),
                                                      f.label_von.get(),
                                                      f.label_name_der_sicherung.get(),
                                                      f.label_pfad_waehlen.get(),
                                                      f.textb_name_der_sicherung.get(),
                                                      f.textb_nach.get(),
                                                      f.rtb_anzeige.get(),
                                                      f.lb_anzeige.get(),
                                                      f.label_inhalt.get(),
                                                      f.label_sicherung.get(),
                                                      f.label_zeit.get(),
                                                      f.label_log.get(),
                                                      f.textb_dummy.get(),
                                                      f.checkbox_aktiv.get(),
                                                      f.label_aktiv.get(),
                                                      f.pictb_anlegen.get(),
                                                      f.pictb_bearbeiten.get(),
                                                      f.pictb_loeschen.get(),
                                                      f.pictb_starten.get(),
                                                      f.pictb_log_anzeigen.get(),
                                                      f.pictb_beenden.get(),
                                                      f.pictb_quelle.get(),
                                                      f.pictb_quelle_loeschen.get(),
                                                      f.pictb_quelle_aloeschen.get(),
                                                      f.pictb_ziel.get(),
                                                      f.pictb_tv_aktuell.get(),
                                                      f.pictb_sicherung_speichern.get(),
                                                      f.pictb_sicherung_verwerfen.get(),
                                                      f.pictb_log_loeschen.get(),
                                                      f.pictb_log_schliessen.get(),
                                                      f.pictb_logo.get()})
        all[w->widget()->objectName().toStdString()] = w;
    return all;
}

// Paint events of the whole window (the form and every control).
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* top) {
        top->installEventFilter(this);
        for (QWidget* child : top->findChildren<QWidget*>())
            child->installEventFilter(this);
    }
    std::map<std::string, int> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints[watched->objectName().toStdString()];
        return false;
    }
};

class ViewsTest : public AppTest {
protected:
    void startWithEffects(bool on) {
        TempWorkDir::writeBytes("Einstellung.ini",
                                std::string("[EINSTELLUNG]\r\nstatus=0\r\n\r\n[SOUNDANI]\r\nstatus=") +
                                    (on ? "1" : "0") + "\r\n");
        form = start();
        // Painting needs a window on the (offscreen) screen.
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form->form().widget()));
        sounds.take();
    }

    // Shown controls with their places; the hidden ones of the table's views must be hidden.
    void expectView(const Table& table, const std::set<std::string>& alsoShown, const std::string& step) {
        for (const auto& [name, control] : viewControls(form->form())) {
            const auto it = table.find(name);
            if (it == table.end()) {
                EXPECT_EQ(control->isShown(), alsoShown.count(name) == 1) << step << ": " << name;
                continue;
            }
            EXPECT_TRUE(control->isShown()) << step << ": " << name;
            const Place& p = it->second;
            EXPECT_EQ(control->rect(), (WRect{p.x, p.y, p.width, p.height})) << step << ": " << name;
        }
    }

    RecordedSounds sounds;
    std::unique_ptr<MainForm> form;
};

TEST_F(ViewsTest, EachTransitionLeavesTheControlsOfItsTable) {
    for (bool effects : {false, true}) {
        SCOPED_TRACE(effects ? "effects on" : "effects off");
        startWithEffects(effects);
        Views& v = form->views();
        Form1& f = form->form();
        expectView(kOverview, {"textb_dummy"}, "start-up");
        EXPECT_TRUE(f.textb_dummy->isShown()) << "outside the views, shown at start";

        v.HideOverview();
        expectView({}, {"textb_dummy", "pictb_logo"}, "HideOverview");
        for (const char* parked : {"label_sicherung", "lb_anzeige", "label_inhalt", "rtb_anzeige"})
            EXPECT_EQ(viewControls(f)[parked]->rect(), (WRect{20, 10, 0, 0})) << parked;
        EXPECT_EQ(f.pictb_beenden->rect(), (WRect{663, 30, 0, 0}));

        v.ShowEditor();
        expectView(kEditor, {}, "ShowEditor");
        EXPECT_EQ(f.pictb_sicherung_speichern->bitmapId(), 110) << "the save picture opens inactive";
        EXPECT_TRUE(form->data().saveButtonInactive);

        v.HideEditor();
        expectView({}, {"pictb_logo"}, "HideEditor");
        EXPECT_EQ(f.mtextb_uhr->rect(), (WRect{540, 495, 50, 20})) << "hidden, it keeps its size";
        EXPECT_EQ(f.tv_dir->rect(), (WRect{20, 10, 0, 0}));
        EXPECT_EQ(f.pictb_sicherung_verwerfen->rect(), (WRect{663, 30, 0, 0}));

        v.ShowOverview();
        expectView(kOverview, {}, "ShowOverview after the editor");
        v.HideOverview();
        v.ShowLogPanel();
        expectView(kLog, {"pictb_logo"}, "ShowLogPanel");
        v.HideLogPanel();
        expectView({}, {"pictb_logo"}, "HideLogPanel");
        EXPECT_EQ(f.rtb_anzeige->rect(), (WRect{20, 10, 0, 0}));
        EXPECT_EQ(f.pictb_log_schliessen->rect(), (WRect{663, 30, 0, 0}));
        v.ShowOverview();
        expectView(kOverview, {}, "ShowOverview after the log");
        form.reset();
    }
}

TEST_F(ViewsTest, EffectsOffChangesAtOnceAndSilentlyButStillRepaintsTheWholeForm) {
    startWithEffects(false);
    PaintCounter counter(form->form().widget());
    form->views().HideOverview();
    form->views().ShowEditor();
    EXPECT_TRUE(sounds.played.empty());
    // One paint each: the whole-form repaint at the end of ShowEditor, nothing step by step.
    EXPECT_EQ(counter.paints["tv_dir"], 1);
    EXPECT_EQ(counter.paints["pictb_quelle"], 1);
    EXPECT_GE(counter.paints[""], 1) << "the form itself";
}

TEST_F(ViewsTest, EffectsOnPlayTheViewSoundsAndRepaintWhileGrowing) {
    startWithEffects(true);
    EXPECT_EQ(form->effects().sizeDelay(), 0.5);
    PaintCounter counter(form->form().widget());
    Views& v = form->views();
    v.HideOverview();
    v.ShowEditor();
    v.HideEditor();
    v.ShowOverview();
    v.HideOverview();
    v.ShowLogPanel();
    v.HideLogPanel();
    EXPECT_EQ(sounds.take(), (std::vector<std::string>{"MENUE_ZU", "MENUE_AUF", "MENUE_ZU", "MENUE_AUF", "MENUE_ZU",
                                                       "MENUE_AUF", "MENUE_ZU"}));
    // A picture grown from 0 x 0 to 77 x 35 in 118 steps is repainted on steps 1, 11 ... 111; those
    // after its width is reached (81 on) show, then the whole-form repaint; shrinking shows again.
    EXPECT_GE(counter.paints["pictb_quelle"], 5);
}

TEST_F(ViewsTest, TheSettingIsReadAgainAtEveryActivation) {
    startWithEffects(false);
    TempWorkDir::writeBytes("Einstellung.ini", "[SOUNDANI]\r\nstatus=1\r\n");
    EXPECT_EQ(form->effects().effectsOn(), 0);
    form->PickUpPath();
    EXPECT_EQ(form->effects().effectsOn(), 1);
    EXPECT_EQ(form->effects().sizeDelay(), 0.5);
    EXPECT_EQ(form->effects().moveDelay(), 0.0);
    for (const char* value : {"2", "", " 1", "1 "}) {
        TempWorkDir::writeBytes("Einstellung.ini", std::string("[SOUNDANI]\r\nstatus=") + value + "\r\n");
        form->PickUpPath();
        EXPECT_EQ(form->effects().effectsOn(), 0) << "'" << value << "'";
        EXPECT_EQ(form->effects().sizeDelay(), 0.0);
    }
}

TEST_F(ViewsTest, WithoutAnOutputDeviceNothingIsPlayedAndNothingElseChanges) {
    RecordedSounds silent(false);
    TempWorkDir::writeBytes("Einstellung.ini", "[EINSTELLUNG]\r\nstatus=0\r\n\r\n[SOUNDANI]\r\nstatus=1\r\n");
    form = start();
    form->views().HideOverview();
    form->views().ShowLogPanel();
    EXPECT_TRUE(silent.played.empty());
    expectView(kLog, {"pictb_logo", "textb_dummy"}, "ShowLogPanel without sound");
}

} // namespace
