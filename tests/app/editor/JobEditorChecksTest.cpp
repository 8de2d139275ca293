// The job editor's rules without widgets: complete jobs, valid times, storable names and paths,
// and when two paths are one folder.
#include "app/editor/JobEditorChecks.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(JobEditorChecksTest, IsValidTimeTable) {
    const std::pair<const char*, bool> cases[] = {
        {"0000", true}, {"2359", true}, {"1230", true}, {"2400", false}, {"1260", false},  {"9999", false},
        {"123", false}, {"1", false},   {"", false},    {"12:3", false}, {"12300", false}, {"-123", false},
    };
    for (const auto& [digits, valid] : cases)
        EXPECT_EQ(JobEditorChecks::IsValidTime(digits), valid) << digits;
}

// Each condition failing alone keeps the job incomplete; an unticked active box needs no time.
TEST(JobEditorChecksTest, IsJobCompleteTable) {
    JobEditorChecks::Fields complete{1, "Fotos", "/backup", true, "2000"};
    EXPECT_TRUE(JobEditorChecks::IsJobComplete(complete));
    auto noSources = complete;
    noSources.sourceCount = 0;
    auto noName = complete;
    noName.name = "";
    auto noDestination = complete;
    noDestination.destination = "";
    auto badTime = complete;
    badTime.timeDigits = "2460";
    auto halfTime = complete;
    halfTime.timeDigits = "20";
    for (const auto& f : {noSources, noName, noDestination, badTime, halfTime})
        EXPECT_FALSE(JobEditorChecks::IsJobComplete(f)) << f.name.toUtf8() << "|" << f.timeDigits.toUtf8();
    auto inactiveNoTime = complete;
    inactiveNoTime.active = false;
    inactiveNoTime.timeDigits = "";
    EXPECT_TRUE(JobEditorChecks::IsJobComplete(inactiveNoTime));
}

// A key line holds at most 254 characters; line breaks and other control characters would split it.
TEST(JobEditorChecksTest, PathsAndNamesThatTheFilesCannotHoldAreRefused) {
    const auto fill = [](std::size_t n) { return WString::fromBytes("/" + std::string(n - 1, 'x')); };
    EXPECT_TRUE(JobEditorChecks::DestinationRefusal(fill(254 - 5)).isEmpty());
    EXPECT_FALSE(JobEditorChecks::DestinationRefusal(fill(254 - 4)).isEmpty());
    EXPECT_TRUE(JobEditorChecks::SourceRefusal(fill(254 - 6), 9).isEmpty());
    EXPECT_FALSE(JobEditorChecks::SourceRefusal(fill(254 - 6), 10).isEmpty()) << "von_10= is one longer";
    for (const char* bad : {"/a\nb", "/a\rb", "/a\tb", "/a\x7f", "/a\x81"})
        EXPECT_NE(JobEditorChecks::SourceRefusal(WString::fromBytes(bad), 0).toUtf8().find("Steuerzeichen"),
                  std::string::npos)
            << bad;
    EXPECT_TRUE(JobEditorChecks::SourceRefusal("/home/anna/Bilder [2024] = alt", 0).isEmpty());

    // "name_12=" + name must fit, and "[" + name + "]" too.
    EXPECT_TRUE(JobEditorChecks::NameRefusal(WString::fromBytes(std::string(254 - 8, 'n')), 12).isEmpty());
    EXPECT_FALSE(JobEditorChecks::NameRefusal(WString::fromBytes(std::string(254 - 7, 'n')), 12).isEmpty());
    EXPECT_FALSE(JobEditorChecks::NameRefusal(WString::fromBytes("Zwei\nZeilen"), 1).isEmpty());
    for (const char* ok : {"[", "]", "=", " Fotos ", "a=b]", "[x]"})
        EXPECT_TRUE(JobEditorChecks::NameRefusal(ok, 1).isEmpty()) << ok;
    EXPECT_TRUE(JobEditorChecks::NameRefusal("Büro"_w, 1).isEmpty());
}

// Exact texts: folders that differ in case are different; the same folder through a link is one.
TEST(JobEditorChecksTest, SameFolderByTextOrByDisk) {
    TempWorkDir dir;
    fs::create_directory(dir.file("Daten"));
    fs::create_directory(dir.file("daten"));
    fs::create_directory_symlink(dir.file("Daten"), dir.file("link"));
    const auto W = [](const fs::path& p) { return *WString::fromUtf8(p.string()); };
    EXPECT_TRUE(JobEditorChecks::IsSameFolder(W(dir.file("Daten")), W(dir.file("Daten"))));
    EXPECT_TRUE(JobEditorChecks::IsSameFolder(W(dir.file("Daten")), W(dir.file("link"))));
    EXPECT_FALSE(JobEditorChecks::IsSameFolder(W(dir.file("Daten")), W(dir.file("daten"))));
    EXPECT_FALSE(JobEditorChecks::IsSameFolder(W(dir.file("Daten")), W(dir.file("Daten") / "Sicherung")));
    EXPECT_TRUE(JobEditorChecks::IsSameFolder("/nicht/da", "/nicht/da"));
    EXPECT_FALSE(JobEditorChecks::IsSameFolder("/nicht/da", "/nicht/DA"));
}
