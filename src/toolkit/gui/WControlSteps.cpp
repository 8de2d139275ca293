#include "toolkit/gui/WControlSteps.h"

#include "toolkit/core/Clock.h"
#include "toolkit/gui/WWindow.h"

#include <thread>

namespace {

constexpr int kRepaintEvery = 10;

void pause(double delay) {
    const int ms = static_cast<int>(delay);
    if (ms > 0)
        Clock::current().sleep(ms);
    else
        std::this_thread::yield();
}

// Runs the four passes on one pair of values (x and y, or width and height): a, b start at the
// control's values and end at the targets. apply(a, b) sets the control; counted steps only.
template <class Apply> WStepCount runPasses(int a, int b, int targetA, int targetB, double delay, Apply apply) {
    WStepCount count;
    int shownA = a, shownB = b;
    auto step = [&] {
        apply(shownA, shownB, count);
        ++count.steps;
        pause(delay);
    };
    for (; a <= targetA; ++a) {
        shownA = a;
        step();
    }
    for (; b <= targetB; ++b) {
        shownB = b;
        step();
    }
    for (; b >= targetB; --b) {
        shownB = b;
        step();
    }
    for (; a >= targetA; --a) {
        shownA = a;
        step();
    }
    return count;
}

} // namespace

WStepCount MoveControl(WWindow& control, int x, int y, double delay) {
    WRect r = control.rect();
    if (delay <= 0) {
        r.y = y;
        control.setRect(r);
        r.x = x;
        control.setRect(r);
        return {};
    }
    return runPasses(r.x, r.y, x, y, delay, [&](int px, int py, WStepCount&) {
        r.x = px;
        r.y = py;
        control.setRect(r);
    });
}

WStepCount SizeControl(WWindow& control, int width, int height, double delay) {
    WRect r = control.rect();
    if (delay <= 0) {
        r.width = width;
        control.setRect(r);
        r.height = height;
        control.setRect(r);
        return {};
    }
    int counter = 0;
    return runPasses(r.width, r.height, width, height, delay, [&](int w, int h, WStepCount& count) {
        r.width = w;
        r.height = h;
        control.setRect(r);
        if (counter == kRepaintEvery)
            counter = 0;
        if (counter == 0) {
            control.repaint(true);
            ++count.repaints;
        }
        ++counter;
    });
}
