#pragma once

#include "toolkit/gui/WControlSteps.h"

struct ControllerData;
class WWindow;

// Sound and animation: the setting that switches both, the sounds of the picture buttons and the
// views, and the step-wise placing and sizing the view transitions use.
class Effects {
public:
    explicit Effects(ControllerData& data);

    // "status=" of "[SOUNDANI]" exactly "1": effects on, with a size delay of 0.5 ms; otherwise off,
    // every change at once. The move delay is always 0.
    void LoadEffectSetting();
    // Plays the named sound (asynchronously) while effects are on.
    void PlayEffectSound(const char* name);
    // "MOVE", once until the pointer has crossed the bare form again.
    void PlayHoverSound();

    // MoveControl with the move delay, SizeControl with the size delay.
    WStepCount Place(WWindow& control, int x, int y);
    WStepCount Resize(WWindow& control, int width, int height);

    int effectsOn() const { return effectsOn_; }
    double moveDelay() const { return moveDelay_; }
    double sizeDelay() const { return sizeDelay_; }

private:
    ControllerData& data_;
    int effectsOn_ = 0;
    double moveDelay_ = 0.0;
    double sizeDelay_ = 0.0;
};
