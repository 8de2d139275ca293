// How files are read: line ends, the 254-character read limit, NUL bytes and damaged files.
#include "IniFile.h"
#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;
using Names = std::vector<std::string>;

// Readable failure messages: the bytes, not the object.
static void PrintTo(const WString& s, std::ostream* os) {
    *os << testing::PrintToString(s.bytes());
}

namespace {

// A line of n characters with a repeating pattern, so that a cut at the wrong place shows.
std::string pattern(std::size_t n, char first = 'a') {
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<char>(first + i % 26);
    return s;
}

class IniFileLoadTest : public InTempDir {
protected:
    // Loads the bytes and writes them straight back: a delete of a missing section changes
    // nothing but still rewrites the whole file.
    std::string rewrite(const std::string& content) {
        TempWorkDir::writeBytes("t.ini", content);
        EXPECT_TRUE(ini.DeleteSectionHead("t.ini", "[fehlt]"));
        EXPECT_EQ(dir.entries(), Names{"t.ini"});
        return TempWorkDir::readBytes("t.ini");
    }
    IniFile ini;
};

} // namespace

TEST_F(IniFileLoadTest, LineEndsTable) {
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"empty file", "", ""},
        {"no final line end", "[A]\r\nx=1", "[A]\r\nx=1\r\n"},
        {"one final line end", "[A]\r\nx=1\r\n", "[A]\r\nx=1\r\n"},
        {"LF only", "[A]\nx=1\n", "[A]\r\nx=1\r\n"},
        {"mixed", "[A]\nx=1\r\ny=2", "[A]\r\nx=1\r\ny=2\r\n"},
        {"blank lines kept", "[A]\r\n\r\nx=1\r\n\r\n", "[A]\r\n\r\nx=1\r\n\r\n"},
        {"empty first line dropped", "\r\n[A]\r\n", "[A]\r\n"},
        {"only a line end", "\r\n", ""},
        {"lone CR kept", "a\rb\r\n", "a\rb\r\n"},
        {"CR before CR LF kept", "a\r\r\n", "a\r\r\n"},
        {"CR at the very end kept", "a\r", "a\r\r\n"},
        {"LF CR", "a\n\rb", "a\r\n\rb\r\n"},
        {"Windows-1252 bytes untouched", "[\xC4\xD6\xDC]\r\n\x80=\x9F\xFF\r\n", "[\xC4\xD6\xDC]\r\n\x80=\x9F\xFF\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rewrite(c.before), c.after);
        EXPECT_EQ(rewrite(c.after), c.after); // stable under further cycles
    }
    // Only the first line is dropped when empty; each rewrite takes one more.
    EXPECT_EQ(rewrite("\n\n[A]\n"), "\r\n[A]\r\n");
    EXPECT_EQ(rewrite("\r\n[A]\r\n"), "[A]\r\n");
}

// One read takes at most 254 characters; the CR of a CR LF does not count. A line of exactly 254
// characters keeps its line end, so rewriting it again and again never adds empty lines.
TEST_F(IniFileLoadTest, LineLengthBoundaries) {
    struct Case {
        std::size_t length;
        std::vector<std::string> lines; // as written back, before the line "z"
    };
    const std::string p = pattern(600);
    const Case cases[] = {
        {253, {p.substr(0, 253)}},
        {254, {p.substr(0, 254)}},
        {255, {p.substr(0, 254), p.substr(254, 1)}},
        {508, {p.substr(0, 254), p.substr(254, 254)}},
        {509, {p.substr(0, 254), p.substr(254, 254), p.substr(508, 1)}},
    };
    for (const char* end : {"\r\n", "\n"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(c.length) + (end[0] == '\r' ? " CR LF" : " LF"));
            std::string expected;
            for (const auto& line : c.lines)
                expected += line + "\r\n";
            const std::string once = rewrite(p.substr(0, c.length) + end + "z");
            EXPECT_EQ(once, expected + "z\r\n");
            EXPECT_EQ(rewrite(once), once) << "a rewrite must be stable";
        }
    }
    // At the end of the file there is no line end to turn into an empty line.
    EXPECT_EQ(rewrite(p.substr(0, 254)), p.substr(0, 254) + "\r\n");
    // A lone CR is an ordinary character and counts.
    EXPECT_EQ(rewrite(p.substr(0, 253) + "\r\r\nz"), p.substr(0, 253) + "\r\r\nz\r\n");
}

TEST_F(IniFileLoadTest, LongValueIsCutAtTheReadLimit) {
    const std::string value = pattern(5000);
    TempWorkDir::writeBytes("t.ini", "[A]\r\nk=" + value + "\r\nnach=/z\r\n");
    EXPECT_EQ(ini.ReadKey("t.ini", "[A]", "k=").bytes(), value.substr(0, 252));
    EXPECT_EQ(ini.ReadKey("t.ini", "[A]", "nach="), "/z");

    ini.WriteKey("t.ini", "[A]", "nach=/y");
    const std::string after = TempWorkDir::readBytes("t.ini");
    // 5002 characters make 19 full reads of 254 and one of 176; nothing is lost.
    std::string joined = after;
    joined.erase(std::remove(joined.begin(), joined.end(), '\r'), joined.end());
    joined.erase(std::remove(joined.begin(), joined.end(), '\n'), joined.end());
    EXPECT_EQ(joined, "[A]k=" + value + "nach=/y");
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 2 + 20);
}

// A NUL ends the text of the line it stands in; the rest of that line is skipped, not moved on.
TEST_F(IniFileLoadTest, NulBytes) {
    EXPECT_EQ(rewrite("[A]\r\nx=1\0abc\r\ny=2\r\n"s), "[A]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(rewrite("\0[A]\r\nx=1\r\n"s), "x=1\r\n"); // a first line that reads as empty goes
    EXPECT_EQ(rewrite("[A]\r\n\0\0\0\r\n"s), "[A]\r\n\r\n");
    // The NUL counts towards the 254 characters of its read.
    const std::string p = pattern(300);
    EXPECT_EQ(rewrite("x" + "\0"s + p + "\r\n"), "x\r\n" + p.substr(252) + "\r\n");

    TempWorkDir::writeBytes("t.ini", "[A]\r\nx=1\0\r\n[B]\r\ny=2\r\n"s);
    EXPECT_EQ(ini.ReadKey("t.ini", "[A]", "x="), "1");
    EXPECT_EQ(ini.ReadKey("t.ini", "[B]", "y="), "2");
}

TEST_F(IniFileLoadTest, FileWithoutSections) {
    TempWorkDir::writeBytes("t.ini", "a=1\r\nb=2\r\n");
    EXPECT_TRUE(ini.ReadKey("t.ini", "[X]", "a=").isEmpty());
    ini.WriteKey("t.ini", "[X]", "a=5");
    EXPECT_EQ(TempWorkDir::readBytes("t.ini"), "a=1\r\nb=2\r\n\r\n[X]\r\na=5");
    EXPECT_EQ(ini.ReadKey("t.ini", "[X]", "a="), "5");
}

TEST_F(IniFileLoadTest, BinaryGarbage) {
    std::mt19937 random(1252);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string garbage;
    for (int i = 0; i < 200000; ++i) {
        const int b = byte(random);
        garbage += static_cast<char>(b < 16 ? "\r\n[=\0"[b % 5] : b); // plenty of structure bytes
    }
    TempWorkDir::writeBytes("t.ini", garbage);
    EXPECT_TRUE(ini.ReadKey("t.ini", "[NEU]", "k=").isEmpty());
    ini.WriteKey("t.ini", "[NEU]", "k=v");

    const std::string after = TempWorkDir::readBytes("t.ini");
    EXPECT_TRUE(after.ends_with("\r\n[NEU]\r\nk=v"));
    EXPECT_EQ(after.find('\0'), std::string::npos);
    for (std::size_t i = after.find('\n'); i != std::string::npos; i = after.find('\n', i + 1))
        ASSERT_EQ(after[i - 1], '\r') << "LF without CR at " << i;
    EXPECT_EQ(ini.ReadKey("t.ini", "[NEU]", "k="), "v");
    EXPECT_EQ(TempWorkDir::readBytes("t.ini"), after);
    EXPECT_EQ(dir.entries(), Names{"t.ini"});
}
