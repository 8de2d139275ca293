// The folder tree's file-system side: listing order, folder test, path texts and root folders.
#include "app/editor/FolderRoots.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

WString W(const std::string& utf8) {
    return *WString::fromUtf8(utf8);
}

std::vector<std::string> listed(const fs::path& folder) {
    std::vector<std::string> out;
    for (const FolderRoots::Entry& e : FolderRoots::List(W(folder.string())))
        out.push_back((e.folder ? "D " : "F ") + e.name.toUtf8() + (e.holdable ? "" : " !"));
    return out;
}

void touch(const fs::path& file) {
    std::ofstream(file) << "x";
}

} // namespace

// Folders and files sorted by name without regard to case, hidden entries included; links to
// folders count as folders, dangling links and links to files as files; a name that is not valid
// UTF-8, or that Windows-1252 cannot hold, is shown with '?' and marked.
TEST(FolderRootsTest, ListingSortsAndClassifiesEveryEntry) {
    TempWorkDir dir;
    for (const char* d : {"Gamma", "alpha", "Beta", ".versteckt"})
        fs::create_directory(dir.file(d));
    for (const char* f : {"b.txt", "A.txt", ".profile"})
        touch(dir.file(f));
    fs::create_directory_symlink(dir.file("Beta"), dir.file("zu-beta"));
    fs::create_symlink(dir.file("fehlt"), dir.file("kaputt"));
    fs::create_symlink(dir.file("b.txt"), dir.file("zu-datei"));
    touch(dir.file(std::string("roh\xff")));
    touch(dir.file("\xd0\x96urnal")); // Cyrillic Zhe
    touch(dir.file("\xc3\xbc"
                   "ber")); // "über": Windows-1252 holds it
    EXPECT_EQ(listed(dir.path()), (std::vector<std::string>{"F .profile", "D .versteckt", "F A.txt", "D alpha",
                                                            "F b.txt", "D Beta", "D Gamma", "F kaputt", "F roh? !",
                                                            "D zu-beta", "F zu-datei", "F über", "F ?urnal !"}));
}

// Odd corners of real file systems: names of 255 bytes, a link that loops back to its folder, /proc.
TEST(FolderRootsTest, LongNamesLoopsAndProcList) {
    TempWorkDir dir;
    const std::string longName(255, 'n');
    fs::create_directory(dir.file(longName));
    fs::create_directory_symlink(dir.path(), dir.file(longName) / "zurueck");
    const auto top = FolderRoots::List(W(dir.path().string()));
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top.front().name.length(), 255u);
    // The loop is a folder like any other: listed one level at a time, it never runs away.
    const auto inner = FolderRoots::List(W((dir.file(longName) / "zurueck").string()));
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_TRUE(inner.front().folder);
    EXPECT_FALSE(FolderRoots::List("/proc").empty());
}

TEST(FolderRootsTest, WhatCannotBeListedGivesNothing) {
    TempWorkDir dir;
    touch(dir.file("datei"));
    EXPECT_TRUE(FolderRoots::List(W(dir.file("datei").string())).empty());
    EXPECT_TRUE(FolderRoots::List(W(dir.file("fehlt").string())).empty());
    EXPECT_TRUE(FolderRoots::List({}).empty());
    fs::create_directory(dir.file("leer"));
    EXPECT_TRUE(FolderRoots::List(W(dir.file("leer").string())).empty());
    EXPECT_FALSE(FolderRoots::ListsAnything(W(dir.file("leer").string())));
    EXPECT_TRUE(FolderRoots::ListsAnything(W(dir.path().string())));
}

TEST(FolderRootsTest, NormalizePathTable) {
    const std::pair<const char*, const char*> cases[] = {
        {"//", "/"},
        {"/", "/"},
        {"///home//", "/home"},
        {"//home/u/Daten", "/home/u/Daten"},
        {"/a//b///c/", "/a/b/c"},
        {"", ""},
        {"//mnt/usb//Fotos/", "/mnt/usb/Fotos"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(FolderRoots::NormalizePath(in).toUtf8(), out) << in;
}

TEST(FolderRootsTest, IsFolderTable) {
    TempWorkDir dir;
    touch(dir.file("datei"));
    fs::create_directory(dir.file("ordner"));
    fs::create_directory_symlink(dir.file("ordner"), dir.file("link-ordner"));
    fs::create_symlink(dir.file("fehlt"), dir.file("kaputt"));
    fs::create_directory(dir.file("gesperrt"));
    fs::permissions(dir.file("gesperrt"), fs::perms::none);
    const std::pair<std::string, bool> cases[] = {
        {dir.file("datei").string(), false},
        {dir.file("ordner").string(), true},
        {"/", true},
        {dir.file("link-ordner").string(), true},
        {dir.file("kaputt").string(), false},
        {dir.file("gesperrt").string(), true}, // a folder all the same
        {"", false},
        {dir.file("fehlt").string(), false},
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(FolderRoots::IsFolder(W(path)), folder) << path;
    fs::permissions(dir.file("gesperrt"), fs::perms::owner_all);
}

// "/" and the home folder always; mounted volumes under /media, /run/media and /mnt (mount points
// with escaped blanks too) when they list something; sorted and each once.
TEST(FolderRootsTest, RootsAreSlashHomeAndMountedVolumes) {
    const std::string table = "/dev/sda1 / ext4 rw 0 0\n"
                              "proc /proc proc rw 0 0\n"
                              "/dev/sdb1 /media/anna/USB\\040Stick vfat rw 0 0\n"
                              "/dev/sdc1 /run/media/anna/Platte ext4 rw 0 0\n"
                              "/dev/sdd1 /mnt ext4 rw 0 0\n"
                              "/dev/sde1 /mnt/leer ext4 rw 0 0\n"
                              "/dev/sdf1 /media ext4 rw 0 0\n"
                              "/dev/sdg1 /mediathek ext4 rw 0 0\n"
                              "/dev/sdb1 /media/anna/USB\\040Stick vfat rw 0 0\n"
                              "kaputte zeile\n";
    std::vector<std::string> asked;
    const auto roots = FolderRoots::RootsFrom(table, "/home/anna", [&](const WString& p) {
        asked.push_back(p.toUtf8());
        return p != "/mnt/leer";
    });
    std::vector<std::string> texts;
    for (const WString& r : roots)
        texts.push_back(r.toUtf8());
    EXPECT_EQ(texts,
              (std::vector<std::string>{"/", "/home/anna", "/media/anna/USB Stick", "/mnt", "/run/media/anna/Platte"}));
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "/mediathek"), 0);
    // The machine's own roots begin with "/".
    const auto real = FolderRoots::Roots();
    ASSERT_FALSE(real.empty());
    EXPECT_EQ(real.front(), "/");
}
