// SPDX-License-Identifier: GPL-3.0-or-later
// A save that is interrupted, by a kill or a full disk, never costs the last good file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "PositionFile.h"
#include "ProcessLimits.h"
#include "TempDir.h"
#include "TestMap.h"

namespace mw {
namespace {

std::vector<Unit> Stacks(size_t n, uint8_t country) {
  std::vector<Unit> units(n);
  for (size_t i = 0; i < n; ++i)
    units[i] =
        test::MakeUnit(static_cast<int>(i % 4000), static_cast<int>(i / 4000), 1, country, 3);
  return units;
}

TEST(CrashSafeSave, aKilledSaveLeavesTheOldOrTheNewFileWhole) {
  test::TempDir dir;
  const auto target = dir / "big.QPX";
  Position a, b;
  a.ReplaceUnits(Stacks(100000, 1));
  b.ReplaceUnits(Stacks(100000, 2));
  const auto bytesA = EncodePosition(a, false), bytesB = EncodePosition(b, false);
  ASSERT_TRUE(SavePosition(a, target));

  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int i = 0;; ++i) SavePosition(i % 2 ? a : b, target);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const auto found = test::ReadBytes(target);
    ASSERT_TRUE(found == bytesA || found == bytesB)
        << "round " << round << ": " << found.size() << " bytes";
  }
}

TEST(CrashSafeSave, aFullDiskFailsTheSaveKeepsTheOldFileAndDirty) {
  test::TempDir dir;
  const auto target = dir / "keep.QPX";
  Position small;
  small.ReplaceUnits(Stacks(10, 1));
  ASSERT_TRUE(SavePosition(small, target));
  const auto before = test::ReadBytes(target);

  const int result = test::RunWithFileSizeLimit(1 << 20, [&] {
    Position big;
    big.ReplaceUnits(Stacks(100000, 3));  // 2.4 MB: more than the disk takes
    big.PlacePiece(1, 1, 1, 1, kNoModifiers);
    const auto outcome = SavePosition(big, target);
    const std::string error = outcome.error();
    const bool saved = outcome.ok();
    if (saved) return 1;
    if (!big.dirty()) return 2;
    if (error.find("keep.QPX") == std::string::npos) return 3;
    return 0;
  });
  EXPECT_EQ(result, 0) << "1: reported success, 2: dirty cleared, 3: no reason given";
  EXPECT_EQ(test::ReadBytes(target), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "the partial temporary file is removed";
}

}  // namespace
}  // namespace mw
