#include "IniDocument.h"
#include "IniFile.h"
#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class IniDocumentTest : public InTempDir {};

// Random texts built from the pieces that matter: heads, "=", empty lines, long values, CR.
std::string randomText(std::mt19937& rng, std::size_t maxLen) {
    static const std::vector<std::string> pieces = {"[A]", "[B]", "[", "]", "=", "k", "x=", "v", "", "\r", " ", "ä"};
    std::string s;
    const std::size_t parts = rng() % 6;
    for (std::size_t i = 0; i < parts; ++i)
        s += pieces[rng() % pieces.size()];
    if (rng() % 8 == 0)
        s += std::string(200 + rng() % 120, 'L'); // passes the read limit now and then
    return s.substr(0, maxLen);
}

std::string randomFile(std::mt19937& rng) {
    std::string content;
    const int lines = static_cast<int>(rng() % 8);
    for (int i = 0; i < lines; ++i)
        content += randomText(rng, 400) + (rng() % 4 ? "\r\n" : "\n");
    if (rng() % 3 == 0)
        content += randomText(rng, 50); // no line end at the end
    return content;
}

} // namespace

// The whole point of IniDocument: the same operations give the same bytes as IniFile, one
// file write instead of one per operation.
TEST_F(IniDocumentTest, SameBytesAsTheOperationsDoneOneByOne) {
    std::mt19937 rng(20261206);
    const WString sections[] = {"[A]", "[B]", "[C]", "[]"};
    for (int round = 0; round < 400; ++round) {
        const std::string start = randomFile(rng);
        TempWorkDir::writeBytes("single.ini", start);
        TempWorkDir::writeBytes("batch.ini", start);
        IniFile single;
        IniDocument batch("batch.ini");
        std::string trace;
        const int steps = 1 + static_cast<int>(rng() % 10);
        for (int step = 0; step < steps; ++step) {
            const WString& section = sections[rng() % 4];
            const WString text = WString::fromBytes(randomText(rng, 300));
            const int op = static_cast<int>(rng() % 5);
            trace += std::to_string(op) + " ";
            switch (op) {
            case 0:
                ASSERT_EQ(batch.ReadKey(section, text), single.ReadKey("single.ini", section, text)) << trace;
                break;
            case 1:
                batch.WriteKey(section, text);
                single.WriteKey("single.ini", section, text);
                break;
            case 2:
                ASSERT_EQ(batch.DeleteKey(section, text), single.DeleteKey("single.ini", section, text)) << trace;
                break;
            case 3:
                ASSERT_EQ(batch.DeleteSectionHead(section), single.DeleteSectionHead("single.ini", section)) << trace;
                break;
            default:
                batch.RenameSection(section, text);
                single.RenameSection("single.ini", section, text);
                break;
            }
        }
        EXPECT_EQ(TempWorkDir::readBytes("batch.ini"), start) << "nothing is written before Commit";
        ASSERT_TRUE(batch.Commit());
        ASSERT_EQ(TempWorkDir::readBytes("batch.ini"), TempWorkDir::readBytes("single.ini"))
            << "round " << round << ", steps " << trace << ", start " << testing::PrintToString(start);
    }
}

TEST_F(IniDocumentTest, OnlyReadingWritesNothingAndAMissingFileStaysMissing) {
    IniDocument doc("fehlt.ini");
    EXPECT_EQ(doc.ReadKey("[A]", "x="), "");
    EXPECT_TRUE(doc.Commit());
    EXPECT_TRUE(dir.entries().empty());

    // A delete that finds nothing still writes the file, as IniFile does.
    IniDocument second("fehlt.ini");
    EXPECT_TRUE(second.DeleteKey("[A]", "x="));
    EXPECT_TRUE(second.Commit());
    EXPECT_EQ(TempWorkDir::readBytes("fehlt.ini"), "");
}
