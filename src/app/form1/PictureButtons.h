#pragma once

#include "app/form1/PictureButton.h"

#include <functional>
#include <memory>
#include <vector>

class Effects;
class Form1;
class Views;
struct ControllerData;

// The main window's fifteen picture buttons: pictures, captions, inactive flags and the follow-up
// steps of new, edit and delete. What each command does comes from the controller.
class PictureButtons {
public:
    struct Commands {
        std::function<void()> newJob, editJob, deleteJob, startJob, openLog, exit;
        std::function<void()> discardJob, clearLog, closeLog;
        std::function<void()> saveJob, addSource, removeSources, removeAllSources, setDestination, refreshTree;
        std::function<void()> updateJobButtons; // after every release of delete
    };

    PictureButtons(Form1& form, Effects& effects, ControllerData& data, Views& views, const Commands& commands);

private:
    std::vector<std::unique_ptr<PictureButton>> buttons_;
};
