#pragma once

#include "app/MainForm.h"
#include "resources/MorlanzResources.h"
#include "support/FixedWorkArea.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempWorkDir.h"
#include "support/TestPrinting.h"
#include "toolkit/gui/WListBox.h"
#include "toolkit/gui/WResources.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// What a main-form test runs in: its own folder, the program's resources, a 1024 x 738 work area
// and message boxes answered from a script.
class AppTest : public InTempDir {
protected:
    AppTest() { WResources::install(&MorlanzResources::instance()); }

    // A main form after start-up on the current work area.
    static std::unique_ptr<MainForm> start() {
        auto form = std::make_unique<MainForm>();
        EXPECT_TRUE(form->create());
        return form;
    }

    FixedWorkArea area{1024, 738};
    ScriptedMessageBoxes boxes;
};
