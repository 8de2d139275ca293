#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Makes a fresh temporary folder the current directory for one test and removes it afterwards,
// so no test touches the user's real files.
class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

    // Whole-file helpers for byte-exact comparisons.
    static std::string readBytes(const std::filesystem::path& file);
    static void writeBytes(const std::filesystem::path& file, const std::string& bytes);
    // Names of the entries in the folder (or another one), sorted.
    std::vector<std::string> entries() const;
    static std::vector<std::string> entriesOf(const std::filesystem::path& folder);

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Fixture base: every test runs in its own temporary folder.
class InTempDir : public ::testing::Test {
protected:
    TempWorkDir dir;
};
