// The log as the main form shows and clears it.
#include "AppTest.h"
#include "toolkit/gui/WRichTextBox.h"

#include <algorithm>
#include <filesystem>

using LogViewTest = AppTest;

TEST_F(LogViewTest, ShowsTheFileAsStoredAndClearsItOnlyOnOk) {
    MainForm form;
    EXPECT_TRUE(form.create());

    const std::string log = "[05.12.2026 10:00:03]\r\nSicherung=gel\xF6scht\r\nName=" + std::string(300, 'x') + "\r\n";
    TempWorkDir::writeBytes("save.log", log);
    form.ShowLog();
    EXPECT_EQ(form.form().rtb_anzeige->text().toUtf8(), "[05.12.2026 10:00:03]\nSicherung=gelöscht\nName=" +
                                                            std::string(249, 'x') + "\n" + std::string(51, 'x') + "\n")
        << "a line of more than 254 characters shows as two";
    EXPECT_EQ(form.form().rtb_anzeige->firstVisibleLine(), 0) << "scrolled back to the top";

    boxes.answerNext(ID::CANCEL);
    form.ClearLog();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].flags, 0x1u | 0x30u | 0x2000u) << "OK and Cancel";
    EXPECT_EQ(TempWorkDir::readBytes("save.log"), log);
    EXPECT_FALSE(form.form().rtb_anzeige->text().isEmpty());

    boxes.answerNext(ID::OK);
    form.ClearLog();
    EXPECT_FALSE(std::filesystem::exists("save.log"));
    EXPECT_TRUE(form.form().rtb_anzeige->text().isEmpty());

    // The next entry starts a new file.
    form.data().logAction = "neu";
    form.data().logStatus = "ok";
    form.data().WriteLogEntry("Neu");
    const std::string after = TempWorkDir::readBytes("save.log");
    EXPECT_EQ(after.find(']'), 20u) << after; // the head "[dd.mm.yyyy hh:mm:ss]" comes first
    EXPECT_EQ(after.substr(20), "]\r\nSicherung=neu\r\nName=Neu\r\nVerlauf=ok\r\n");
    form.ShowLog();
    std::filesystem::remove("save.log");
    form.ShowLog();
    EXPECT_TRUE(form.form().rtb_anzeige->text().isEmpty()) << "no file: an empty box";
}

TEST_F(LogViewTest, AFourMegabyteLogOpensAndClosesWithTheView) {
    std::string log;
    for (int i = 0; log.size() < 4u * 1024 * 1024; ++i)
        log += "[05.12.2026 10:" + std::to_string(10 + i % 50) + ":03]\r\nSicherung=manuell\r\nName=Fotos " +
               std::to_string(i) + "\r\nVerlauf=ok\r\n";
    TempWorkDir::writeBytes("save.log", log);
    auto form = start();
    form->OpenLogView();
    EXPECT_TRUE(form->form().rtb_anzeige->isShown());
    const std::string shown = form->form().rtb_anzeige->text().toUtf8();
    EXPECT_EQ(shown.size(), log.size() - std::count(log.begin(), log.end(), '\r')) << "every line, CR LF as LF";
    form->CloseLogView();
    EXPECT_TRUE(form->form().lb_anzeige->isShown());
    EXPECT_EQ(TempWorkDir::readBytes("save.log"), log) << "opening the view writes nothing";
}
