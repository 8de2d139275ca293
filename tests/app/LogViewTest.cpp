// The log as the main form shows and clears it.
#include "FixedWorkArea.h"
#include "MainForm.h"
#include "MorlanzResources.h"
#include "ScriptedMessageBoxes.h"
#include "TempWorkDir.h"
#include "WRichTextBox.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class LogViewTest : public InTempDir {
protected:
    LogViewTest() {
        WResources::install(&MorlanzResources::instance());
        EXPECT_TRUE(form.create());
    }
    FixedWorkArea area{1024, 738};
    ScriptedMessageBoxes boxes;
    MainForm form;
};

const std::string kLog = "[05.12.2026 10:00:03]\r\nSicherung=gestartet\r\nName=Projekte\r\nVerlauf=ok\r\n\r\n"
                         "[05.12.2026 10:02:41]\r\nSicherung=gel\xF6scht\r\nName=Alt\r\nVerlauf=ok\r\n";

} // namespace

TEST_F(LogViewTest, ShowsTheFileAsStoredWithLongLinesSplit) {
    TempWorkDir::writeBytes("save.log", kLog + "Name=" + std::string(300, 'x') + "\r\n");
    form.ShowLog();
    const std::string shown = form.rtb_anzeige->text().toUtf8();
    const std::string start = "[05.12.2026 10:00:03]\nSicherung=gestartet\nName=Projekte\nVerlauf=ok\n\n"
                              "[05.12.2026 10:02:41]\n";
    EXPECT_EQ(shown.substr(0, start.size()), start);
    EXPECT_NE(shown.find("Sicherung=gelöscht\n"), std::string::npos);
    EXPECT_NE(shown.find("Name=" + std::string(249, 'x') + "\n" + std::string(51, 'x') + "\n"), std::string::npos)
        << "a line of more than 254 characters shows as two";
    EXPECT_EQ(form.rtb_anzeige->firstVisibleLine(), 0) << "scrolled back to the top";

    std::filesystem::remove("save.log");
    form.ShowLog();
    EXPECT_TRUE(form.rtb_anzeige->text().isEmpty()) << "no file: an empty box";
}

TEST_F(LogViewTest, ClearingAsksFirstAndDeletesOnlyOnOk) {
    TempWorkDir::writeBytes("save.log", kLog);
    form.ShowLog();
    boxes.answerNext(ID::CANCEL);
    form.ClearLog();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text.toUtf8(), "Möchten Sie die Log Datei\nwirklich löschen?");
    EXPECT_EQ(boxes.shown()[0].caption.toUtf8(), "Morlanz 1.1 - Log Datei löschen?");
    EXPECT_EQ(boxes.shown()[0].flags, 0x1u | 0x30u | 0x2000u);
    EXPECT_EQ(TempWorkDir::readBytes("save.log"), kLog);
    EXPECT_FALSE(form.rtb_anzeige->text().isEmpty());

    boxes.answerNext(ID::OK);
    form.ClearLog();
    EXPECT_FALSE(std::filesystem::exists("save.log"));
    EXPECT_TRUE(form.rtb_anzeige->text().isEmpty());
}
