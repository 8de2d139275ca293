// A copy killed at any moment leaves each target absent, as it was, or complete and new; never a
// truncated or mixed file; and what it leaves under hidden names the next run removes. A child
// process copies and is killed with SIGKILL after a random delay.
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>

using namespace coretest;
using Clock = std::chrono::steady_clock;

namespace {

// Sanitizers slow every run several times over; fewer kills keep the test well inside its time.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MORLANZ_SANITIZED
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define MORLANZ_SANITIZED
#endif
#endif
#ifdef MORLANZ_SANITIZED
constexpr int kKillsPerMode = 40;
#else
constexpr int kKillsPerMode = 100; // 200 kills in all
#endif
constexpr int kMaxRunsPerMode = 6 * kKillsPerMode;

// Temporary entries of killed runs, and what lies in them.
bool isHidden(const std::string& rel) {
    return rel.starts_with(".") || rel.find("/.") != std::string::npos;
}

struct Leftovers {
    int entries = 0;
    std::uintmax_t bytes = 0;
};

Leftovers leftoversIn(const fs::path& root) {
    Leftovers out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!isHidden(e.path().lexically_relative(root).string()))
            continue;
        out.entries += e.path().filename().string().starts_with(".") ? 1 : 0;
        out.bytes += e.symlink_status().type() == fs::file_type::regular ? e.file_size() : 0;
    }
    return out;
}

struct Tally {
    int kills = 0;
    int oldFiles = 0;
    int newFiles = 0;
    int absentFiles = 0;
};

// Every entry below root but the hidden ones is the previous or the complete new version, and
// (previousMustStay) no previous one is gone.
::testing::AssertionResult checkFolder(const fs::path& root, const Contents& previous, const Contents& next,
                                       bool previousMustStay, Tally& tally) {
    const Contents now = contentsOf(root);
    for (const auto& [rel, value] : now) {
        if (isHidden(rel))
            continue;
        const bool isOld = previous.contains(rel) && previous.at(rel) == value;
        const bool isNew = next.contains(rel) && next.at(rel) == value;
        if (!isOld && !isNew)
            return ::testing::AssertionFailure() << rel << ": " << value.size() << " bytes, neither version";
        if (value != "d")
            ++(isOld ? tally.oldFiles : tally.newFiles);
    }
    for (const auto& [rel, value] : previous) {
        if (previousMustStay && !now.contains(rel))
            return ::testing::AssertionFailure() << rel << ": the previous version is gone";
    }
    for (const auto& [rel, value] : next)
        tally.absentFiles += now.contains(rel) ? 0 : 1;
    return ::testing::AssertionSuccess();
}

// Starts a child copying quelle/Daten into ziel and kills it after `delay` (none: waits for it).
int runChild(unsigned flags, std::optional<Clock::duration> delay) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(FileCopy(pathOf("quelle/Daten"), pathOf("ziel"), flags).ok ? 0 : 1);
    if (delay) {
        std::this_thread::sleep_for(*delay);
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

} // namespace

class FileCopyCrashTest : public InTempDir {
protected:
    // Several multi-MiB files and a folder of small ones; the previous version differs in every
    // file, in length too, has a file the source lacks and lacks one the source has.
    void SetUp() override {
        const std::size_t MiB = 1024 * 1024;
        const std::size_t big[] = {2 * MiB + 5, MiB, 2 * MiB + 4095, MiB + 1, 2 * MiB};
        for (std::size_t i = 0; i < std::size(big); ++i) {
            writeFile("quelle/Daten/gross" + std::to_string(i) + ".bin", bytesOf(big[i], 100 + i));
            writeFile("alt/Daten/gross" + std::to_string(i) + ".bin", bytesOf(big[(i + 1) % std::size(big)], 200 + i));
        }
        for (std::size_t i = 0; i < 24; ++i) {
            writeFile("quelle/Daten/unter/klein" + std::to_string(i) + ".txt", bytesOf(4096 + 8 * i, 300 + i));
            writeFile("alt/Daten/unter/klein" + std::to_string(i) + ".txt", bytesOf(4096 - 8 * i, 400 + i));
        }
        writeFile("quelle/Daten/neu.bin", bytesOf(MiB + 8, 500));
        writeFile("alt/Daten/nur-alt.txt", bytesOf(800, 600));
        next = contentsOf("quelle/Daten");
        for (const auto& [rel, value] : next)
            sourceBytes += value == "d" ? 0 : value.size() - 2;
        previous = contentsOf("alt/Daten");
        for (const auto& [rel, value] : previous) // older, so that no file passes for unchanged
            setTimes(fs::path("alt/Daten") / rel, 1000000000, 0);
        fs::create_directory("ziel");
    }

    // Puts the previous version in place again, leftovers of killed runs untouched: hard links to
    // the pristine files, cheap to make and never written through by a copy that renames.
    void restorePrevious() {
        fs::create_directories("ziel/Daten");
        for (const auto& [rel, value] : next) {
            if (value != "d")
                fs::remove(fs::path("ziel/Daten") / rel);
        }
        for (const auto& [rel, value] : previous) {
            const fs::path target = fs::path("ziel/Daten") / rel;
            if (value == "d") {
                fs::create_directories(target);
            } else {
                fs::remove(target);
                fs::create_hard_link(fs::path("alt/Daten") / rel, target);
            }
        }
    }

    // Kills copies at random points of an undisturbed copy's duration until kKillsPerMode kills
    // hit a running one; `reset` prepares each run and `check` judges what it left. Each run must
    // cope with what earlier ones left and remove it, so that leftovers never add up to more than
    // one copy.
    Tally killRepeatedly(unsigned flags, const std::function<void()>& reset,
                         const std::function<::testing::AssertionResult(Tally&)>& check) {
        const char* fixedSeed = std::getenv("MORLANZ_CRASH_SEED");
        const std::uint64_t seed = fixedSeed ? std::strtoull(fixedSeed, nullptr, 10) : std::random_device{}();
        std::mt19937_64 random(seed);
        Clock::duration full = Clock::duration::max();
        for (int i = 0; i < 5; ++i) { // the first runs are slower, on a cold cache
            reset();
            const auto start = Clock::now();
            EXPECT_EQ(runChild(flags, std::nullopt), 0) << "an undisturbed copy failed";
            full = std::min(full, Clock::now() - start);
        }
        std::uniform_int_distribution<Clock::rep> delay(0, full.count() + full.count() / 10);
        Tally tally;
        for (int run = 0; run < kMaxRunsPerMode && tally.kills < kKillsPerMode && !HasFailure(); ++run) {
            reset();
            const int status = runChild(flags, Clock::duration(delay(random)));
            const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
            tally.kills += killed ? 1 : 0;
            EXPECT_TRUE(killed || status == 0) << "run " << run << ": the copy failed without being killed";
            EXPECT_TRUE(check(tally)) << "run " << run << ", seed " << seed;
            const Leftovers left = leftoversIn("ziel");
            EXPECT_LE(left.bytes, sourceBytes)
                << "run " << run << ": " << left.entries << " hidden entries, " << left.bytes / 1024 << " KiB";
        }
        EXPECT_GE(tally.kills, kKillsPerMode);
        return tally;
    }

    Contents previous;
    Contents next;
    std::uintmax_t sourceBytes = 0;
};

TEST_F(FileCopyCrashTest, OverwriteKilledAnywhereLeavesPreviousOrComplete) {
    const Tally tally = killRepeatedly(
        CopyFlags::Overwrite, [&] { restorePrevious(); },
        [&](Tally& t) { return checkFolder("ziel/Daten", previous, next, true, t); });
    EXPECT_GT(tally.oldFiles, 0);
    EXPECT_GT(tally.newFiles, 0);

    // After the killed runs an undisturbed run completes and leaves nothing hidden.
    restorePrevious();
    ASSERT_EQ(runChild(CopyFlags::Overwrite, std::nullopt), 0);
    Tally final;
    EXPECT_TRUE(checkFolder("ziel/Daten", previous, next, true, final));
    EXPECT_EQ(final.oldFiles, 1) << "only the file the source lacks keeps its previous version";
    EXPECT_EQ(leftoversIn("ziel").entries, 0);
}

TEST_F(FileCopyCrashTest, KeepCopiesKilledAnywhereLeavesPreviousUntouched) {
    restorePrevious();
    const Tally tally = killRepeatedly(
        CopyFlags::KeepCopies, [] { fs::remove_all("ziel/Daten - Kopie"); },
        [&](Tally& t) {
            if (!sameTree(contentsOf("ziel/Daten"), previous))
                return ::testing::AssertionFailure() << "the previous copy changed";
            if (fs::exists("ziel/Daten - Kopie (2)"))
                return ::testing::AssertionFailure() << "a second copy appeared";
            return checkFolder("ziel/Daten - Kopie", {}, next, false, t);
        });
    EXPECT_GT(tally.absentFiles, 0);
    EXPECT_GT(tally.newFiles, 0);

    fs::remove_all("ziel/Daten - Kopie");
    ASSERT_EQ(runChild(CopyFlags::KeepCopies, std::nullopt), 0);
    EXPECT_TRUE(sameTree(contentsOf("ziel/Daten - Kopie"), next));
    EXPECT_EQ(leftoversIn("ziel").entries, 0);
}
