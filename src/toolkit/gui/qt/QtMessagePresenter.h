#pragma once

#include "toolkit/gui/WMessageBox.h"

// Shows a message box with Qt: icon and buttons from the platform's flags, modal for the whole
// application when task-modal or without owner (toolkit internal).
class QtMessagePresenter : public WMessagePresenter {
public:
    int present(const WMessageRequest& request) override;
};
