#include "SafeSave.h"
#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Sets the process umask for one test.
class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : previous_(::umask(mask)) {}
    ~UmaskScope() { ::umask(previous_); }

private:
    mode_t previous_;
};

// Installs a writer for its lifetime.
class WriterScope {
public:
    explicit WriterScope(FileWriter* writer) { SafeSave::setWriter(writer); }
    ~WriterScope() { SafeSave::setWriter(nullptr); }
};

// Writes through to the file until `budget` bytes are used up, then fails with `err` (a full
// disk by default), like a device that runs out of space part-way.
class FailingWriter : public FileWriter {
public:
    FailingWriter(std::size_t budget, int err = ENOSPC) : budget_(budget), err_(err) {}
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (budget_ == 0) {
            errno = err_;
            return -1;
        }
        const std::size_t n = std::min(size, budget_);
        budget_ -= n;
        return ::write(fd, data, n);
    }

private:
    std::size_t budget_;
    int err_;
};

// Hands over at most three bytes per call and is interrupted by a signal every other call; also
// records what the temporary file looks like while it is being written.
class ChoppyWriter : public FileWriter {
public:
    ssize_t write(int fd, const void* data, std::size_t size) override {
        if (++calls % 2 == 0) {
            errno = EINTR;
            return -1;
        }
        struct stat st {};
        ::fstat(fd, &st);
        modesWhileWriting.push_back(st.st_mode & 07777);
        for (const auto& entry : fs::directory_iterator("."))
            namesWhileWriting.push_back(entry.path().filename().string());
        return ::write(fd, data, std::min<std::size_t>(size, 3));
    }
    int calls = 0;
    std::vector<mode_t> modesWhileWriting;
    Names namesWhileWriting;
};

class StalledWriter : public FileWriter {
public:
    ssize_t write(int, const void*, std::size_t) override { return 0; }
};

} // namespace

class SafeSaveTest : public InTempDir {};

TEST_F(SafeSaveTest, NewFileGetsContentsAndDefaultMode) {
    for (mode_t mask : {mode_t{022}, mode_t{027}, mode_t{077}}) {
        SCOPED_TRACE(mask);
        UmaskScope umask(mask);
        const std::string name = "neu" + std::to_string(mask) + ".ini";
        const SaveResult r = SafeSave::write(name, "[A]\r\nx=1");
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_TRUE(r.error.empty());
        EXPECT_EQ(TempWorkDir::readBytes(name), "[A]\r\nx=1");
        EXPECT_EQ(modeOf(name), 0666 & ~mask);
    }
}

TEST_F(SafeSaveTest, ReplacesContentsAndKeepsTheModeBits) {
    for (mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0755}, mode_t{0444}}) {
        SCOPED_TRACE(mode);
        TempWorkDir::writeBytes("save.ini", std::string(10000, 'o'));
        ::chmod("save.ini", mode);
        ASSERT_TRUE(SafeSave::write("save.ini", "kurz").ok);
        EXPECT_EQ(TempWorkDir::readBytes("save.ini"), "kurz");
        EXPECT_EQ(modeOf("save.ini"), mode);
    }
    ASSERT_TRUE(SafeSave::write("save.ini", "").ok);
    EXPECT_EQ(TempWorkDir::readBytes("save.ini"), "");
    EXPECT_EQ(dir.entries(), Names{"save.ini"});
}

TEST_F(SafeSaveTest, ShortWritesAndInterruptionsStillWriteEveryByte) {
    ChoppyWriter writer;
    WriterScope scope(&writer);
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>(i * 7);
    ASSERT_TRUE(SafeSave::write("save.ini", bytes).ok);
    EXPECT_EQ(TempWorkDir::readBytes("save.ini"), bytes);
    EXPECT_EQ(dir.entries(), Names{"save.ini"});

    // While being written the data sits in a private, hidden file beside the target.
    ASSERT_FALSE(writer.modesWhileWriting.empty());
    for (mode_t m : writer.modesWhileWriting)
        EXPECT_EQ(m, 0600u);
    ASSERT_FALSE(writer.namesWhileWriting.empty());
    for (const auto& n : writer.namesWhileWriting)
        EXPECT_TRUE(n == "save.ini" || n.starts_with(".save.ini.")) << n;
}

// A write that fails part-way, whatever the point, leaves the old file byte for byte and no
// temporary file.
TEST_F(SafeSaveTest, FailedWriteLeavesTheOldFile) {
    const std::string old = "[EINSTELLUNG]\r\nmethode=1\r\n";
    const std::string next(5000, 'n');
    for (std::size_t budget : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, next.size() - 1}) {
        SCOPED_TRACE(budget);
        TempWorkDir::writeBytes("Einstellung.ini", old);
        FailingWriter writer(budget);
        WriterScope scope(&writer);
        const SaveResult r = SafeSave::write("Einstellung.ini", next);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("Einstellung.ini"), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("No space left on device"), std::string::npos) << r.error;
        EXPECT_EQ(TempWorkDir::readBytes("Einstellung.ini"), old);
        EXPECT_EQ(dir.entries(), Names{"Einstellung.ini"});
    }
}

TEST_F(SafeSaveTest, FailedWriteOfANewFileCreatesNothing) {
    FailingWriter writer(10, EIO);
    WriterScope scope(&writer);
    const SaveResult r = SafeSave::write("save.log", std::string(100, 'x'));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("Input/output error"), std::string::npos) << r.error;
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(SafeSaveTest, WriterThatMakesNoProgressFailsInsteadOfLooping) {
    StalledWriter writer;
    WriterScope scope(&writer);
    TempWorkDir::writeBytes("save.ini", "alt");
    EXPECT_FALSE(SafeSave::write("save.ini", "neu").ok);
    EXPECT_EQ(TempWorkDir::readBytes("save.ini"), "alt");
    EXPECT_EQ(dir.entries(), Names{"save.ini"});
}

TEST_F(SafeSaveTest, MissingFolderIsReportedWithThePath) {
    const SaveResult r = SafeSave::write("fehlt/save.ini", "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "fehlt/save.ini: No such file or directory");
    EXPECT_TRUE(dir.entries().empty());
    EXPECT_FALSE(SafeSave::write("", "x").ok);
}

TEST_F(SafeSaveTest, RefusesTargetsThatAreNoRegularFiles) {
    fs::create_directory("ordner");
    ASSERT_EQ(::mkfifo("fifo", 0644), 0);
    EXPECT_FALSE(SafeSave::write("ordner", "x").ok);
    EXPECT_FALSE(SafeSave::write("ordner/", "x").ok);
    EXPECT_FALSE(SafeSave::write("fifo", "x").ok); // must neither block nor replace the FIFO
    EXPECT_TRUE(fs::is_directory("ordner"));
    EXPECT_TRUE(fs::is_empty("ordner"));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status("fifo")));
    EXPECT_EQ(dir.entries(), (Names{"fifo", "ordner"}));
}

TEST_F(SafeSaveTest, WritesThroughSymbolicLinks) {
    fs::create_directory("daten");
    TempWorkDir::writeBytes("daten/echt.ini", "alt");
    ::chmod("daten/echt.ini", 0640);
    fs::create_symlink("echt.ini", "daten/verweis.ini"); // relative to the link's own folder
    fs::create_symlink("daten/verweis.ini", "save.ini");
    fs::create_symlink(dir.file("save.ini"), "kette.ini"); // absolute

    ASSERT_TRUE(SafeSave::write("kette.ini", "neu").ok);
    EXPECT_TRUE(fs::is_symlink("save.ini"));
    EXPECT_TRUE(fs::is_symlink("kette.ini"));
    EXPECT_TRUE(fs::is_symlink("daten/verweis.ini"));
    EXPECT_EQ(TempWorkDir::readBytes("daten/echt.ini"), "neu");
    EXPECT_EQ(modeOf("daten/echt.ini"), 0640u);
    EXPECT_EQ(dir.entries(), (Names{"daten", "kette.ini", "save.ini"}));

    // The temporary file goes beside the real file, and nothing else appears.
    Names inData;
    for (const auto& e : fs::directory_iterator("daten"))
        inData.push_back(e.path().filename().string());
    std::sort(inData.begin(), inData.end());
    EXPECT_EQ(inData, (Names{"echt.ini", "verweis.ini"}));
}

TEST_F(SafeSaveTest, DanglingLinkCreatesItsTarget) {
    fs::create_directory("daten");
    fs::create_symlink("daten/neu.ini", "save.ini");
    ASSERT_TRUE(SafeSave::write("save.ini", "x=1").ok);
    EXPECT_TRUE(fs::is_symlink("save.ini"));
    EXPECT_EQ(TempWorkDir::readBytes("daten/neu.ini"), "x=1");
}

TEST_F(SafeSaveTest, LinkLoopFails) {
    fs::create_symlink("b.ini", "a.ini");
    fs::create_symlink("a.ini", "b.ini");
    const SaveResult r = SafeSave::write("a.ini", "x");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("a.ini: "), std::string::npos) << r.error;
    EXPECT_EQ(dir.entries(), (Names{"a.ini", "b.ini"}));
}

TEST_F(SafeSaveTest, LongestFileNameStillGetsATemporaryFile) {
    const std::string name(255, 'l');
    ASSERT_TRUE(SafeSave::write(name, "x").ok);
    ASSERT_TRUE(SafeSave::write(name, "y").ok);
    EXPECT_EQ(TempWorkDir::readBytes(name), "y");
    EXPECT_EQ(dir.entries(), Names{name});
}
