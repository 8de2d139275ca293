// Step-wise placing and sizing of a control: the passes, the steps and the repaints they show.
#include "TestForm.h"
#include "support/TestPrinting.h"
#include "toolkit/gui/WControlSteps.h"

#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <tuple>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

class ControlSteps : public ::testing::Test {
protected:
    ControlSteps() { form.showAndWait(); }
    InstalledTestCatalog catalog;
    TestForm form;
};

TEST_F(ControlSteps, SizeStepsPassTheTargetByOnePixelAndRepaintEveryTenthStep) {
    WPictureBox& picture = *form.picture;
    struct Case {
        WRect from;
        int width, height;
        int steps, repaints;
    };
    const Case cases[] = {
        {{5, 6, 0, 0}, 119, 35, 160, 16},             // W + H + 6 steps, repainted on the 1st, 11th ... 151st
        {{5, 6, 119, 35}, 0, 0, 156, 16},             // rolls up (H + 1), then narrows (W + 1)
        {{5, 6, 119, 35}, 119, 35, 6, 1},             // already there: three steps per axis
        {{5, 6, 10, 40}, 30, 20, 21 + 0 + 21 + 2, 5}, // widen 10..30, lower 40..20, narrow 31, 30
    };
    for (const Case& c : cases) {
        picture.setRect(c.from);
        PaintCounter counter(picture.widget());
        const WStepCount count = SizeControl(picture, c.width, c.height, 0.5);
        EXPECT_EQ(count.steps, c.steps) << c.width << "x" << c.height;
        EXPECT_EQ(count.repaints, c.repaints) << c.width << "x" << c.height;
        EXPECT_EQ(picture.rect(), (WRect{5, 6, c.width, c.height})) << "ends on its target, in place";
        EXPECT_GE(counter.paints, 1) << "painted while it changes, without a return to the event loop";
    }
}

TEST_F(ControlSteps, WithoutDelayBothPrimitivesJumpAndCountNothing) {
    WPictureBox& picture = *form.picture;
    picture.setRect({1, 2, 3, 4});
    for (double delay : {0.0, -1.0}) {
        EXPECT_EQ(SizeControl(picture, 119, 35, delay).steps, 0);
        EXPECT_EQ(MoveControl(picture, 663, 30, delay).steps, 0);
        EXPECT_EQ(picture.rect(), (WRect{663, 30, 119, 35}));
        SizeControl(picture, 0, 0, delay);
        MoveControl(picture, 20, 10, delay);
        EXPECT_EQ(picture.rect(), (WRect{20, 10, 0, 0}));
    }
}

TEST_F(ControlSteps, MoveStepsRunTheFourPassesWithoutRepainting) {
    WPictureBox& picture = *form.picture;
    picture.setRect({10, 20, 30, 30});
    PaintCounter counter(picture.widget());
    const WStepCount count = MoveControl(picture, 15, 12, 0.9);
    // right 10..15 (6), down: 20 > 12 (0), up 20..12 (9), left 16, 15 (2)
    EXPECT_EQ(count.steps, 6 + 9 + 2);
    EXPECT_EQ(count.repaints, 0);
    EXPECT_EQ(picture.rect(), (WRect{15, 12, 30, 30}));
}

} // namespace
