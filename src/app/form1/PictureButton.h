#pragma once

#include <functional>

class Effects;
class WPictureBox;
struct WEventData;

// A picture box that works as a button: the left button pressed over it shows the pressed
// picture and clicks; released inside (both borders count), it runs its command; moved over, it
// ticks once until the pointer has crossed the bare form. While its inactive flag is set it only
// clicks on a press. Space, Enter and an assistive tool's press do what a click inside does.
class PictureButton {
public:
    struct Pictures {
        int normal = 0;
        int pressed = 0;
    };
    struct Behaviour {
        // The flag that makes the button ignore the mouse; null for a button that is always active.
        const bool* inactive = nullptr;
        // No click sound either while inactive (the save button).
        bool silentWhileInactive = false;
        // Shows the normal picture and lets the mouse go before the command, which opens a question.
        bool releaseBeforeCommand = false;
    };

    // command runs on a release inside; afterRelease after every release of an active button,
    // inside or not.
    PictureButton(WPictureBox& box, const char* caption, Effects& effects, Pictures pictures, Behaviour behaviour,
                  std::function<void()> command, std::function<void()> afterRelease = {});
    PictureButton(const PictureButton&) = delete;
    PictureButton& operator=(const PictureButton&) = delete;

    WPictureBox& box() const { return box_; }

private:
    bool isInactive() const { return behaviour_.inactive && *behaviour_.inactive; }
    // The press; false when the button is inactive and the press stops there.
    bool press(bool captureMouse);
    void release(bool inside);
    bool onLeftButtonDown(WEventData& event);
    bool onLeftButtonUp(WEventData& event);
    bool onMouseMove(WEventData& event);
    bool onClick(WEventData& event);

    WPictureBox& box_;
    Effects& effects_;
    Pictures pictures_;
    Behaviour behaviour_;
    std::function<void()> command_;
    std::function<void()> afterRelease_;
};
