#include "app/effects/Effects.h"

#include "app/ControllerData.h"
#include "storage/ProgramSettings.h"
#include "toolkit/gui/WSound.h"

Effects::Effects(ControllerData& data) : data_(data) {}

void Effects::LoadEffectSetting() {
    const bool on = ProgramSettings::EffectsOn();
    moveDelay_ = 0.0;
    sizeDelay_ = on ? 0.5 : 0.0;
    effectsOn_ = on ? 1 : 0;
}

void Effects::PlayEffectSound(const char* name) {
    if (effectsOn_ == 1)
        PlaySoundResource(name, SND::RESOURCE | SND::ASYNC); // no device or a refusal: silence, nothing else
}

void Effects::PlayHoverSound() {
    if (effectsOn_ == 1 && data_.moveSoundPlayed == 0) {
        PlaySoundResource("MOVE", SND::RESOURCE | SND::ASYNC);
        ++data_.moveSoundPlayed;
    }
}

WStepCount Effects::Place(WWindow& control, int x, int y) {
    return MoveControl(control, x, y, moveDelay_);
}

WStepCount Effects::Resize(WWindow& control, int width, int height) {
    return SizeControl(control, width, height, sizeDelay_);
}
