// Where a copy lands: paths, destinations, overwriting and the names of further copies.
#include "FileCopyTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace copytest;
using Names = std::vector<std::string>;

namespace {

Names namesIn(const fs::path& folder) {
    Names out;
    for (const auto& e : fs::directory_iterator(folder))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

TEST(WFilePathTest, NormalizedFileNameAndJoin) {
    struct Case {
        const char* path;
        const char* normalized;
        const char* fileName;
    };
    const Case cases[] = {
        {"/home/a/Brief.doc", "/home/a/Brief.doc", "Brief.doc"},
        {"/home/a/Projekt/", "/home/a/Projekt", "Projekt"},
        {"//home///a//Projekt//", "/home/a/Projekt", "Projekt"},
        {"Sicherung//neu/", "Sicherung/neu", "neu"},
        {"Brief.doc", "Brief.doc", "Brief.doc"},
        {"/", "/", ""},
        {"///", "/", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const WFilePath p{WString(c.path)};
        EXPECT_EQ(p.normalized().text(), c.normalized);
        EXPECT_EQ(p.fileName(), c.fileName);
    }

    struct Join {
        const char* base;
        const char* name;
        const char* joined;
    };
    const Join joins[] = {
        {"/mnt/Sicherung", "Brief.doc", "/mnt/Sicherung/Brief.doc"},
        {"/mnt/Sicherung/", "Brief.doc", "/mnt/Sicherung/Brief.doc"},
        {"/", "Brief.doc", "/Brief.doc"},
        {"Sicherung", "Projekt", "Sicherung/Projekt"},
    };
    for (const Join& j : joins) {
        SCOPED_TRACE(std::string(j.base) + " + " + j.name);
        EXPECT_EQ(WFilePath(WString(j.base)).join(j.name).text(), j.joined);
    }
}

TEST(WFilePathTest, WindowsBytesReachTheFileSystemAsUtf8) {
    const WFilePath p("/mnt/Übersicht für März.txt"_w);
    EXPECT_EQ(p.toUtf8(), "/mnt/Übersicht für März.txt");
    EXPECT_EQ(p.fileName(), "Übersicht für März.txt"_w);
}

class FileCopyTargetTest : public InTempDir {};

// A file and a folder land as destination/<name>, however source and destination are spelled, and
// nothing lands beside or above the destination. Names inside the tree are taken as the file
// system has them, also where Windows-1252 has no such characters or the bytes are no UTF-8.
TEST_F(FileCopyTargetTest, TargetIsDestinationSlashNameForEverySpelling) {
    writeFile("quelle/Brief.doc", bytesOf(70000, 1));
    writeFile("quelle/Projekt/a.txt", "a");
    writeFile("quelle/Projekt/unter/b.txt", bytesOf(3000, 2));
    writeFile("quelle/Projekt/日本語.txt", "kein Windows-1252");
    writeFile("quelle/Projekt/\xe4rger.txt", "kein UTF-8");
    fs::create_directory("quelle/Projekt/leer");
    fs::create_directory("ziel");
    fs::create_directory_symlink("ziel", "verweis");
    const Contents projekt = contentsOf("quelle/Projekt");

    struct Case {
        std::string source;
        std::string destination;
        const char* name;
    };
    const std::string abs = dir.path().string();
    const Case cases[] = {
        {abs + "/quelle/Brief.doc", abs + "/ziel", "Brief.doc"},
        {abs + "/quelle/Brief.doc", abs + "/ziel/", "Brief.doc"},
        {abs + "/quelle/Brief.doc", abs + "//ziel//", "Brief.doc"},
        {abs + "/quelle/Brief.doc", abs + "/verweis", "Brief.doc"},
        {abs + "/quelle/Brief.doc", abs + "/verweis/", "Brief.doc"},
        {"quelle/Brief.doc", "ziel", "Brief.doc"},
        {abs + "/quelle/Projekt", abs + "/ziel", "Projekt"},
        {abs + "/quelle/Projekt/", abs + "/ziel/", "Projekt"},
        {abs + "/quelle//Projekt//", abs + "/verweis", "Projekt"},
        {"quelle/Projekt", "verweis/", "Projekt"},
        {"quelle/Projekt/.", "ziel", "Projekt"},
        {abs + "/quelle/Projekt/unter/..", abs + "/ziel/", "Projekt"},
    };
    for (const unsigned flags : {CopyFlags::KeepCopies, CopyFlags::Overwrite}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.source + " -> " + c.destination + ", flags " + std::to_string(flags));
            fs::remove_all("ziel");
            fs::create_directory("ziel");
            const CopyResult r = copy(c.source, c.destination, flags);
            ASSERT_TRUE(r.ok) << messageOf(r);
            EXPECT_EQ(namesIn("ziel"), Names{c.name});
            if (std::string(c.name) == "Brief.doc")
                EXPECT_EQ(readFile("ziel/Brief.doc"), bytesOf(70000, 1));
            else
                EXPECT_EQ(contentsOf("ziel/Projekt"), projekt);
            EXPECT_EQ(namesIn("."), (Names{"quelle", "verweis", "ziel"}));
            EXPECT_TRUE(fs::is_symlink("verweis"));
        }
    }
}

// A source the user named as a link (a folder moved elsewhere, say) is backed up as what it points
// to, under the link's name; a link that points nowhere fails and creates nothing.
TEST_F(FileCopyTargetTest, SourceNamedAsALinkIsCopiedAsWhatItPointsTo) {
    writeFile("daten/Brief.doc", "brief");
    writeFile("daten/Projekt/a.txt", "a");
    writeFile("daten/Projekt/unter/b.txt", bytesOf(3000, 2));
    fs::create_directory("quelle");
    fs::create_directory_symlink("../daten/Projekt", "quelle/Projekt");
    fs::create_symlink("../daten/Brief.doc", "quelle/Brief.doc");
    fs::create_symlink("weg", "quelle/tot");
    for (const unsigned flags : {CopyFlags::Overwrite, CopyFlags::KeepCopies}) {
        SCOPED_TRACE(flags);
        fs::remove_all("ziel");
        fs::create_directory("ziel");
        ASSERT_TRUE(copy("quelle/Brief.doc", "ziel", flags).ok);
        ASSERT_TRUE(copy("quelle/Projekt/", "ziel", flags).ok);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("ziel/Brief.doc")));
        EXPECT_EQ(readFile("ziel/Brief.doc"), "brief");
        EXPECT_TRUE(fs::is_directory(fs::symlink_status("ziel/Projekt")));
        EXPECT_EQ(contentsOf("ziel/Projekt"), contentsOf("daten/Projekt"));

        const CopyResult r = copy("quelle/tot", "ziel", flags);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.path.find("quelle/tot"), std::string::npos) << messageOf(r);
        EXPECT_EQ(namesIn("ziel"), (Names{"Brief.doc", "Projekt"}));
    }
}

// A destination that is not an existing folder fails, and nothing is created anywhere; so does a
// source that is gone.
TEST_F(FileCopyTargetTest, MissingDestinationOrSourceFailsAndCreatesNothing) {
    writeFile("quelle/Brief.doc", "brief");
    writeFile("quelle/Projekt/a.txt", "a");
    writeFile("datei", "keine Ablage");
    fs::create_directory("ziel");
    fs::create_symlink("weg", "toter-verweis");
    const Contents before = contentsOf(".");

    struct Case {
        const char* source;
        const char* destination;
        const char* reportedPath; // a part of the path the error names; "" when there is none
    };
    const Case cases[] = {
        {"quelle/Brief.doc", "fehlt", "fehlt"},
        {"quelle/Brief.doc", "fehlt/", "fehlt"},
        {"quelle/Projekt", "fehlt/tiefer", "fehlt"},
        {"quelle/Brief.doc", "", ""},
        {"quelle/Projekt", "", ""},
        {"quelle/Brief.doc", "datei", "datei"},
        {"quelle/Projekt", "toter-verweis", "toter-verweis"},
        {"quelle/Weg.doc", "ziel", "Weg.doc"},
        {"quelle/WegOrdner/", "ziel", "WegOrdner"},
        {"", "ziel", ""},
    };
    for (const unsigned flags : {CopyFlags::Overwrite, CopyFlags::KeepCopies}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.source) + " -> " + c.destination + " flags " + std::to_string(flags));
            const CopyResult r = copy(c.source, c.destination, flags);
            EXPECT_FALSE(r.ok);
            EXPECT_FALSE(r.message.empty());
            EXPECT_NE(r.path.find(c.reportedPath), std::string::npos) << messageOf(r);
            EXPECT_EQ(contentsOf("."), before);
        }
    }
}

// Overwrite: a file is replaced; a folder is merged into, so files only in the old copy stay.
TEST_F(FileCopyTargetTest, OverwriteReplacesFilesAndMergesFolders) {
    writeFile("quelle/Brief.doc", "neuer Brief");
    writeFile("quelle/Projekt/gleich.txt", bytesOf(5000, 3));
    writeFile("quelle/Projekt/neu.txt", "neu");
    writeFile("quelle/Projekt/unter/tief.txt", "tief neu");
    writeFile("ziel/Brief.doc", bytesOf(200000, 4)); // longer than the new one: no tail may stay
    writeFile("ziel/Projekt/gleich.txt", "alt");
    writeFile("ziel/Projekt/nur-alt.txt", "bleibt");
    writeFile("ziel/Projekt/unter/tief.txt", "tief alt, und laenger als neu");
    writeFile("ziel/Projekt/unter/nur-alt-tief.txt", "bleibt auch");

    for (const char* source : {"quelle/Brief.doc", "quelle/Projekt"}) {
        const CopyResult r = copy(source, "ziel", CopyFlags::Overwrite);
        ASSERT_TRUE(r.ok) << messageOf(r);
    }
    EXPECT_EQ(namesIn("ziel"), (Names{"Brief.doc", "Projekt"}));
    EXPECT_EQ(readFile("ziel/Brief.doc"), "neuer Brief");
    const Contents expected = {
        {"gleich.txt", "f:" + bytesOf(5000, 3)},
        {"neu.txt", "f:neu"},
        {"nur-alt.txt", "f:bleibt"},
        {"unter", "d"},
        {"unter/nur-alt-tief.txt", "f:bleibt auch"},
        {"unter/tief.txt", "f:tief neu"},
    };
    EXPECT_EQ(contentsOf("ziel/Projekt"), expected);
}

// Keep-copies: the existing target stays as it is, and the new copy gets the next free name.
TEST_F(FileCopyTargetTest, KeepCopiesNamesTheNewCopy) {
    struct Case {
        std::string source; // below quelle/; a trailing "/" makes it a folder
        Names existing;     // already in the destination (as files)
        std::string expected;
    };
    const std::string longStem(200, 'x');
    const Case cases[] = {
        {"Brief.doc", {}, "Brief.doc"},
        {"Brief.doc", {"Brief.doc"}, "Brief - Kopie.doc"},
        {"Brief.doc", {"Brief.doc", "Brief - Kopie.doc"}, "Brief - Kopie (2).doc"},
        {"Brief.doc", {"Brief.doc", "Brief - Kopie.doc", "Brief - Kopie (2).doc"}, "Brief - Kopie (3).doc"},
        {"Brief.doc", {"Brief.doc", "Brief - Kopie (2).doc"}, "Brief - Kopie.doc"},
        {"Brief.doc", {"Brief.DOC"}, "Brief.doc"}, // names differ in case: no collision on Linux
        {"Makefile", {"Makefile"}, "Makefile - Kopie"},
        {".bashrc", {".bashrc"}, ".bashrc - Kopie"},
        {"archiv.tar.gz", {"archiv.tar.gz"}, "archiv.tar - Kopie.gz"},
        {"Übersicht für März.txt", {"Übersicht für März.txt"}, "Übersicht für März - Kopie.txt"},
        {longStem + ".txt", {longStem + ".txt"}, longStem + " - Kopie.txt"},
        {"Projekt/", {"Projekt"}, "Projekt - Kopie"},
        {"Projekt/", {"Projekt", "Projekt - Kopie"}, "Projekt - Kopie (2)"},
        {"Fotos 2023.06/", {"Fotos 2023.06"}, "Fotos 2023.06 - Kopie"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source + " with " + std::to_string(c.existing.size()) + " existing");
        fs::remove_all("quelle");
        fs::remove_all("ziel");
        fs::create_directory("ziel");
        const bool folder = c.source.ends_with("/");
        const std::string name = folder ? c.source.substr(0, c.source.size() - 1) : c.source;
        if (folder)
            writeFile("quelle/" + name + "/inhalt.txt", "neu");
        else
            writeFile("quelle/" + name, "neu");
        for (const std::string& e : c.existing)
            writeFile("ziel/" + e, "alt " + e);
        const Contents before = contentsOf("ziel");

        const CopyResult r = copy("quelle/" + c.source, "ziel", CopyFlags::KeepCopies);
        ASSERT_TRUE(r.ok) << messageOf(r);
        Contents expected = before;
        if (folder) {
            expected[c.expected] = "d";
            expected[c.expected + "/inhalt.txt"] = "f:neu";
        } else {
            expected[c.expected] = "f:neu";
        }
        EXPECT_EQ(contentsOf("ziel"), expected);
    }
}

// Every keep-copies run leaves a further copy, and an existing folder is never merged into.
TEST_F(FileCopyTargetTest, RepeatedKeepRunsEachLeaveAFurtherCopy) {
    writeFile("quelle/Brief.doc", "v1");
    writeFile("quelle/Projekt/a.txt", "v1");
    fs::create_directory("ziel");
    for (int run = 1; run <= 4; ++run) {
        SCOPED_TRACE(run);
        writeFile("quelle/Brief.doc", "v" + std::to_string(run));
        writeFile("quelle/Projekt/a.txt", "v" + std::to_string(run));
        writeFile("quelle/Projekt/run" + std::to_string(run) + ".txt", "nur in Lauf " + std::to_string(run));
        ASSERT_TRUE(copy("quelle/Brief.doc", "ziel", CopyFlags::KeepCopies).ok);
        ASSERT_TRUE(copy("quelle/Projekt", "ziel", CopyFlags::KeepCopies).ok);
    }
    EXPECT_EQ(namesIn("ziel"),
              (Names{"Brief - Kopie (2).doc", "Brief - Kopie (3).doc", "Brief - Kopie.doc", "Brief.doc", "Projekt",
                     "Projekt - Kopie", "Projekt - Kopie (2)", "Projekt - Kopie (3)"}));
    EXPECT_EQ(readFile("ziel/Brief.doc"), "v1");
    EXPECT_EQ(readFile("ziel/Brief - Kopie (3).doc"), "v4");
    // The first copy holds exactly what the source held at its run.
    EXPECT_EQ(contentsOf("ziel/Projekt"), (Contents{{"a.txt", "f:v1"}, {"run1.txt", "f:nur in Lauf 1"}}));
    EXPECT_EQ(contentsOf("ziel/Projekt - Kopie (3)"), contentsOf("quelle/Projekt"));
}

// Copying something into the folder it already lies in: overwrite must not destroy it by
// reading what it is writing; keep-copies puts a copy beside it.
TEST_F(FileCopyTargetTest, SourceAlreadyInTheDestination) {
    const std::string big = bytesOf(3 * 1024 * 1024 + 11, 5);
    struct Case {
        unsigned flags;
        Names expected;
    };
    const Case cases[] = {
        {CopyFlags::Overwrite, {"Brief.doc", "Projekt"}},
        {CopyFlags::KeepCopies, {"Brief - Kopie.doc", "Brief.doc", "Projekt", "Projekt - Kopie"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        fs::remove_all("ziel");
        writeFile("ziel/Brief.doc", big);
        writeFile("ziel/Projekt/gross.bin", big);
        writeFile("ziel/Projekt/klein.txt", "klein");
        const Contents projekt = contentsOf("ziel/Projekt");
        for (const char* source : {"ziel/Brief.doc", "ziel/Projekt"}) {
            const CopyResult r = copy(source, "ziel", c.flags);
            ASSERT_TRUE(r.ok) << messageOf(r);
        }
        EXPECT_EQ(namesIn("ziel"), c.expected);
        for (const std::string& name : c.expected) {
            if (name.starts_with("Brief"))
                EXPECT_EQ(readFile("ziel/" + name), big) << name;
            else
                EXPECT_EQ(contentsOf("ziel/" + name), projekt) << name;
        }
    }
}
