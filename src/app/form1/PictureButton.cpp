#include "app/form1/PictureButton.h"

#include "app/effects/Effects.h"
#include "toolkit/gui/WPictureBox.h"

PictureButton::PictureButton(WPictureBox& box, const char* caption, Effects& effects, Pictures pictures,
                             Behaviour behaviour, std::function<void()> command, std::function<void()> afterRelease)
    : box_(box), effects_(effects), pictures_(pictures), behaviour_(behaviour), command_(std::move(command)),
      afterRelease_(std::move(afterRelease)) {
    box_.setButtonRole(WString::fromUtf8(caption).value_or(WString()));
    box_.connect(WEventId::LeftButtonDownEvent, this, &PictureButton::onLeftButtonDown);
    box_.connect(WEventId::LeftButtonUpEvent, this, &PictureButton::onLeftButtonUp);
    box_.connect(WEventId::MouseMoveEvent, this, &PictureButton::onMouseMove);
    box_.connect(WEventId::ClickEvent, this, &PictureButton::onClick);
}

bool PictureButton::press(bool captureMouse) {
    if (behaviour_.silentWhileInactive && isInactive())
        return false;
    effects_.PlayEffectSound("KLICK");
    if (isInactive())
        return false;
    box_.setBitmap(pictures_.pressed);
    if (captureMouse)
        box_.setCapture();
    return true;
}

void PictureButton::release(bool inside) {
    if (isInactive())
        return;
    if (behaviour_.releaseBeforeCommand) {
        box_.setBitmap(pictures_.normal);
        box_.releaseCapture();
        if (inside && command_)
            command_();
    } else {
        box_.releaseCapture();
        // The command runs with the pressed picture still shown: a view change animates with it.
        if (inside && command_)
            command_();
        box_.setBitmap(pictures_.normal);
    }
    if (afterRelease_)
        afterRelease_();
}

bool PictureButton::onLeftButtonDown(WEventData&) {
    press(true);
    return true;
}

bool PictureButton::onLeftButtonUp(WEventData& event) {
    const WRect r = box_.rect();
    release(event.x >= 0 && event.x <= r.width && event.y >= 0 && event.y <= r.height);
    return true;
}

bool PictureButton::onMouseMove(WEventData&) {
    if (!isInactive())
        effects_.PlayHoverSound();
    return true;
}

bool PictureButton::onClick(WEventData&) {
    if (press(false))
        release(true);
    return true;
}
