#pragma once

#include "FixedWorkArea.h"
#include "MainForm.h"
#include "MorlanzResources.h"
#include "ScriptedMessageBoxes.h"
#include "TempWorkDir.h"
#include "WListBox.h"

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

    static std::vector<std::string> items(const WListBox& list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list.count(); ++i)
            texts.push_back(list.itemText(i).toUtf8());
        return texts;
    }

    FixedWorkArea area{1024, 738};
    ScriptedMessageBoxes boxes;
};
