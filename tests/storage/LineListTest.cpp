#include "LineList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Readable failure messages: the bytes, not the object.
static void PrintTo(const WString& s, std::ostream* os) {
    *os << testing::PrintToString(s.bytes());
}

namespace {

using Lines = std::vector<std::string>;

LineList make(const Lines& lines) {
    LineList list;
    for (const auto& l : lines)
        list.Append(l.c_str());
    return list;
}

Lines contents(const LineList& list) {
    Lines out;
    for (int n = 1; n <= list.Count(); ++n)
        out.push_back(list.LineAt(n).bytes());
    return out;
}

} // namespace

TEST(LineList, EmptyList) {
    LineList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.LineAt(1).isEmpty());
    list.RemoveLast();
    list.RemoveLine(1);
    list.SetLine(1, "x");
    EXPECT_TRUE(list.IsEmpty());
    list.InsertAfter(0, "erste");
    EXPECT_EQ(contents(list), Lines{"erste"});
}

TEST(LineList, AppendNumbersFromOne) {
    LineList list = make({"a", "b", "c"});
    EXPECT_FALSE(list.IsEmpty());
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.LineAt(1), "a");
    EXPECT_EQ(list.LineAt(3), "c");
    EXPECT_TRUE(list.LineAt(0).isEmpty());
    EXPECT_TRUE(list.LineAt(4).isEmpty());
    EXPECT_TRUE(list.LineAt(-1).isEmpty());
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.Count(), 0);
}

// Each row starts from {"a", "b", "c"}.
TEST(LineList, ChangesTable) {
    struct Case {
        const char* name;
        std::function<void(LineList&)> change;
        Lines expected;
    };
    const Case cases[] = {
        {"SetLine middle", [](LineList& l) { l.SetLine(2, "B"); }, {"a", "B", "c"}},
        {"SetLine 0", [](LineList& l) { l.SetLine(0, "X"); }, {"a", "b", "c"}},
        {"SetLine beyond", [](LineList& l) { l.SetLine(4, "X"); }, {"a", "b", "c"}},
        {"InsertAfter 0", [](LineList& l) { l.InsertAfter(0, "X"); }, {"X", "a", "b", "c"}},
        {"InsertAfter 1", [](LineList& l) { l.InsertAfter(1, "X"); }, {"a", "X", "b", "c"}},
        {"InsertAfter 2", [](LineList& l) { l.InsertAfter(2, "X"); }, {"a", "b", "X", "c"}},
        {"InsertAfter last", [](LineList& l) { l.InsertAfter(3, "X"); }, {"a", "b", "c", "X"}},
        {"InsertAfter beyond", [](LineList& l) { l.InsertAfter(9, "X"); }, {"a", "b", "c", "X"}},
        {"InsertAfter negative", [](LineList& l) { l.InsertAfter(-2, "X"); }, {"X", "a", "b", "c"}},
        {"InsertAfter twice",
         [](LineList& l) {
             l.InsertAfter(1, "X");
             l.InsertAfter(1, "Y");
         },
         {"a", "Y", "X", "b", "c"}},
        {"RemoveLine first", [](LineList& l) { l.RemoveLine(1); }, {"b", "c"}},
        {"RemoveLine middle", [](LineList& l) { l.RemoveLine(2); }, {"a", "c"}},
        {"RemoveLine last", [](LineList& l) { l.RemoveLine(3); }, {"a", "b"}},
        // A number that names no line removes nothing (rather than the first or last line).
        {"RemoveLine 0", [](LineList& l) { l.RemoveLine(0); }, {"a", "b", "c"}},
        {"RemoveLine beyond", [](LineList& l) { l.RemoveLine(4); }, {"a", "b", "c"}},
        {"RemoveLast", [](LineList& l) { l.RemoveLast(); }, {"a", "b"}},
        {"Append after remove",
         [](LineList& l) {
             l.RemoveLine(1);
             l.Append("d");
         },
         {"b", "c", "d"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LineList list = make({"a", "b", "c"});
        c.change(list);
        EXPECT_EQ(contents(list), c.expected);
        EXPECT_EQ(list.Count(), static_cast<int>(c.expected.size()));
    }
}
