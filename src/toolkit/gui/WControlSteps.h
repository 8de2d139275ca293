#pragma once

class WWindow;

// How many steps a step-wise move or size change took, and how often it repainted the control.
struct WStepCount {
    int steps = 0;
    int repaints = 0;
};

// Step-wise placing and sizing of a control, in pixels of its parent's client area. With a delay
// of 0 or less the control jumps to its target (y before x, width before height) and no step is
// counted. Otherwise four one-pixel passes run: widen (or right), heighten (down), lower (up),
// narrow (left); each step sets the value and pauses for the delay cut to whole milliseconds (a
// pause of 0 ms gives up the rest of the time slice). Each pass passes one pixel beyond a target
// it grows toward and then comes back. SizeControl repaints the control at once on the 1st, 11th,
// 21st ... step, so the animation shows without a return to the event loop; MoveControl never
// repaints beyond what each move uncovers.
WStepCount MoveControl(WWindow& control, int x, int y, double delay);
WStepCount SizeControl(WWindow& control, int width, int height, double delay);
