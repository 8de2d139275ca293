// A copy killed at any moment leaves each target absent, as it was, or complete and new; never a
// truncated or mixed file. A child process copies and is killed with SIGKILL after a random delay.
#include "FileCopy.h"
#include "TempWorkDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Files = std::map<std::string, std::string>; // path below the copied folder -> bytes

namespace {

constexpr int killsPerMode = 100; // 200 kills in all
constexpr int maxRunsPerMode = 600;

std::string bytesOf(std::size_t size, std::uint64_t seed) {
    std::string out(size, '\0');
    std::mt19937_64 gen(seed);
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        const std::uint64_t v = gen();
        std::copy_n(reinterpret_cast<const char*>(&v), 8, out.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return out;
}

void writeTree(const fs::path& root, const Files& files) {
    for (const auto& [rel, bytes] : files) {
        fs::create_directories((root / rel).parent_path());
        TempWorkDir::writeBytes(root / rel, bytes);
    }
}

// Several multi-MiB files and a folder of small ones; the previous version differs in every file,
// in length too, has a file the source lacks and lacks one the source has.
void makeVersions(Files& previous, Files& next) {
    const std::size_t MiB = 1024 * 1024;
    const std::size_t big[] = {2 * MiB + 5, 1 * MiB, 2 * MiB + 4095, 1 * MiB + 1, 2 * MiB};
    for (std::size_t i = 0; i < std::size(big); ++i) {
        const std::string name = "gross" + std::to_string(i) + ".bin";
        next[name] = bytesOf(big[i], 100 + i);
        previous[name] = bytesOf(big[(i + 1) % std::size(big)], 200 + i);
    }
    for (int i = 0; i < 24; ++i) {
        const std::string name = "unter/klein" + std::to_string(i) + ".txt";
        next[name] = bytesOf(4096 + 8 * i, 300 + i);
        previous[name] = bytesOf(4096 - 8 * i, 400 + i);
    }
    next["neu.bin"] = bytesOf(MiB + 8, 500);
    previous["nur-alt.txt"] = bytesOf(800, 600);
}

WFilePath pathOf(const fs::path& p) {
    return WFilePath(*WString::fromUtf8(p.string()));
}

struct Tally {
    int kills = 0;
    int finished = 0;  // the child was done before the kill came
    int leftovers = 0; // hidden temporary entries found after kills
    int oldFiles = 0;  // previous versions found after kills
    int newFiles = 0;  // complete new versions found after kills
    int absentFiles = 0;
};

// Checks one copied folder: every file is one of `allowed` versions, or absent where that is
// allowed; hidden entries are counted, not judged.
::testing::AssertionResult checkFolder(const fs::path& root, const Files& previous, const Files& next,
                                       bool previousMustStay, Tally& tally, std::set<std::string>& leftovers) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string rel = it->path().lexically_relative(root).string();
        if (it->path().filename().string().starts_with(".")) {
            if (leftovers.insert(it->path().string()).second)
                ++tally.leftovers;
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_directory())
            continue;
        if (!previous.contains(rel) && !next.contains(rel))
            return ::testing::AssertionFailure() << rel << " comes from nowhere";
    }
    for (const auto& rel : [&] {
             std::set<std::string> all;
             for (const auto& [r, b] : previous)
                 all.insert(r);
             for (const auto& [r, b] : next)
                 all.insert(r);
             return all;
         }()) {
        const fs::path file = root / rel;
        const bool hasOld = previous.contains(rel);
        const bool hasNew = next.contains(rel);
        if (!fs::exists(fs::symlink_status(file))) {
            if (hasOld && previousMustStay)
                return ::testing::AssertionFailure() << rel << ": the previous version is gone";
            ++tally.absentFiles;
            continue;
        }
        const std::string bytes = TempWorkDir::readBytes(file);
        if (hasOld && bytes == previous.at(rel)) {
            ++tally.oldFiles;
        } else if (hasNew && bytes == next.at(rel)) {
            ++tally.newFiles;
        } else {
            return ::testing::AssertionFailure()
                   << rel << ": " << bytes.size() << " bytes, neither the previous nor the complete new version";
        }
    }
    return ::testing::AssertionSuccess();
}

// Empties leftovers found so far (files, and the files in folders) so they cost no space, but
// keeps their names: the next run must cope with whatever a killed run left behind.
void emptyLeftovers(const std::set<std::string>& leftovers) {
    for (const auto& p : leftovers) {
        if (fs::is_regular_file(fs::symlink_status(p)))
            ::truncate(p.c_str(), 0);
        std::error_code ec;
        if (fs::is_directory(fs::symlink_status(p))) {
            for (auto it = fs::recursive_directory_iterator(p, ec); !ec && it != fs::recursive_directory_iterator();
                 it.increment(ec)) {
                if (it->is_regular_file(ec) && !it->is_symlink(ec))
                    ::truncate(it->path().c_str(), 0);
            }
        }
    }
}

// Starts a child copying quelle/Daten into ziel and kills it after `delay`; true when the kill
// hit it while it was still running.
bool killedCopy(unsigned flags, Clock::duration delay, bool& childFailed) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const CopyResult r = FileCopy(pathOf("quelle/Daten"), pathOf("ziel"), flags);
        ::_exit(r.ok ? 0 : 1);
    }
    std::this_thread::sleep_for(delay);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    childFailed = WIFEXITED(status) && WEXITSTATUS(status) != 0;
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// How long an undisturbed copy takes here, so that the kills spread over the whole of one.
Clock::duration undisturbedDuration(unsigned flags, const std::function<void()>& reset) {
    std::vector<Clock::duration> times;
    for (int i = 0; i < 5; ++i) {
        reset();
        const auto start = Clock::now();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const CopyResult r = FileCopy(pathOf("quelle/Daten"), pathOf("ziel"), flags);
            ::_exit(r.ok ? 0 : 1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        times.push_back(Clock::now() - start);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "an undisturbed copy failed";
    }
    return *std::min_element(times.begin(), times.end()); // the first runs are slower, on a cold cache
}

std::uint64_t seed() {
    if (const char* s = std::getenv("MORLANZ_CRASH_SEED"))
        return std::strtoull(s, nullptr, 10);
    return std::random_device{}();
}

} // namespace

class FileCopyCrashTest : public InTempDir {
protected:
    void SetUp() override {
        makeVersions(previous, next);
        writeTree("quelle/Daten", next);
        writeTree("alt/Daten", previous);
        fs::create_directory("ziel");
    }

    // Puts the previous version in place again: hard links to the pristine files, cheap to make
    // and never written through by a copy that replaces files by renaming.
    void restorePrevious() {
        for (const auto& [rel, bytes] : next) {
            if (!previous.contains(rel))
                fs::remove(fs::path("ziel/Daten") / rel);
        }
        for (const auto& [rel, bytes] : previous) {
            const fs::path target = fs::path("ziel/Daten") / rel;
            fs::create_directories(target.parent_path());
            fs::remove(target);
            fs::create_hard_link(fs::path("alt/Daten") / rel, target);
        }
    }

    void report(const char* mode, const Tally& t, std::uint64_t usedSeed, Clock::duration d) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
        std::printf("%s: %d kills (%d runs had finished first), undisturbed copy %lld ms; after kills %d files "
                    "previous, %d new, %d absent; %d temporary leftovers; seed %llu\n",
                    mode, t.kills, t.finished, static_cast<long long>(ms), t.oldFiles, t.newFiles, t.absentFiles,
                    t.leftovers, static_cast<unsigned long long>(usedSeed));
        RecordProperty(std::string(mode) + "_kills", t.kills);
        RecordProperty(std::string(mode) + "_leftovers", t.leftovers);
    }

    Files previous;
    Files next;
};

TEST_F(FileCopyCrashTest, OverwriteKilledAnywhereLeavesPreviousOrComplete) {
    const std::uint64_t usedSeed = seed();
    SCOPED_TRACE("seed " + std::to_string(usedSeed));
    std::mt19937_64 random(usedSeed);
    const auto reset = [&] { restorePrevious(); };
    const Clock::duration full = undisturbedDuration(CopyFlags::Overwrite, reset);
    std::uniform_int_distribution<Clock::rep> delay(0, full.count() + full.count() / 10);

    Tally tally;
    std::set<std::string> leftovers;
    for (int run = 0; run < maxRunsPerMode && tally.kills < killsPerMode; ++run) {
        restorePrevious();
        bool failed = false;
        if (killedCopy(CopyFlags::Overwrite, Clock::duration(delay(random)), failed))
            ++tally.kills;
        else
            ++tally.finished;
        ASSERT_FALSE(failed) << "run " << run << ": the copy failed without being killed";
        ASSERT_TRUE(checkFolder("ziel/Daten", previous, next, true, tally, leftovers)) << "run " << run;
        emptyLeftovers(leftovers);
    }
    EXPECT_GE(tally.kills, killsPerMode);
    EXPECT_GT(tally.oldFiles, 0);
    EXPECT_GT(tally.newFiles, 0);

    // With the leftovers of every killed run still there, an undisturbed run completes.
    restorePrevious();
    ASSERT_TRUE(FileCopy(pathOf("quelle/Daten"), pathOf("ziel"), CopyFlags::Overwrite).ok);
    Tally final;
    std::set<std::string> ignored = leftovers;
    EXPECT_TRUE(checkFolder("ziel/Daten", previous, next, true, final, ignored));
    EXPECT_EQ(final.oldFiles, 1) << "only the file the source lacks keeps its previous version";
    report("overwrite", tally, usedSeed, full);
}

TEST_F(FileCopyCrashTest, KeepCopiesKilledAnywhereLeavesPreviousUntouched) {
    const std::uint64_t usedSeed = seed();
    SCOPED_TRACE("seed " + std::to_string(usedSeed));
    std::mt19937_64 random(usedSeed);
    restorePrevious();
    const Files none;
    const auto reset = [&] { fs::remove_all("ziel/Daten - Kopie"); };
    const Clock::duration full = undisturbedDuration(CopyFlags::KeepCopies, reset);
    std::uniform_int_distribution<Clock::rep> delay(0, full.count() + full.count() / 10);

    Tally tally;
    Tally untouched;
    std::set<std::string> leftovers;
    for (int run = 0; run < maxRunsPerMode && tally.kills < killsPerMode; ++run) {
        fs::remove_all("ziel/Daten - Kopie");
        bool failed = false;
        if (killedCopy(CopyFlags::KeepCopies, Clock::duration(delay(random)), failed))
            ++tally.kills;
        else
            ++tally.finished;
        ASSERT_FALSE(failed) << "run " << run << ": the copy failed without being killed";
        ASSERT_TRUE(checkFolder("ziel/Daten", previous, none, true, untouched, leftovers)) << "run " << run;
        ASSERT_EQ(untouched.oldFiles, static_cast<int>(previous.size()) * (run + 1)) << "run " << run;
        ASSERT_TRUE(checkFolder("ziel/Daten - Kopie", none, next, false, tally, leftovers)) << "run " << run;
        ASSERT_FALSE(fs::exists("ziel/Daten - Kopie (2)")) << "run " << run;
        // Hidden entries beside the copies count too.
        for (const auto& e : fs::directory_iterator("ziel")) {
            if (e.path().filename().string().starts_with(".") && leftovers.insert(e.path().string()).second)
                ++tally.leftovers;
        }
        emptyLeftovers(leftovers);
    }
    EXPECT_GE(tally.kills, killsPerMode);
    EXPECT_GT(tally.absentFiles, 0);
    EXPECT_GT(tally.newFiles, 0);
    report("keep-copies", tally, usedSeed, full);
}
