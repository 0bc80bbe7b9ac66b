// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "SectorTable.h"
#include "TempDir.h"

namespace mw {
namespace {

SectorRecord NamedRecord(const std::string& name, uint8_t fill = 0) {
  SectorRecord r;
  auto b = r.bytes();
  std::fill(b.begin(), b.end(), fill);
  std::fill(b.begin() + 1, b.begin() + 40, 0);
  std::copy(name.begin(), name.end(), b.begin() + 1);
  b[0] = static_cast<uint8_t>(name.size());
  return r;
}

std::vector<uint8_t> TableBytes(const std::vector<SectorRecord>& records) {
  std::vector<uint8_t> out;
  for (const auto& r : records) out.insert(out.end(), r.bytes().begin(), r.bytes().end());
  return out;
}

TEST(SectorRecord, namesEveryFieldAtItsOffset) {
  SectorRecord r;
  auto b = r.bytes();
  for (size_t i = 40; i < SectorRecord::kSize; ++i) b[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(r.initialOwner(), 41);
  EXPECT_EQ(r.ipcValue(), 42);
  EXPECT_EQ(r.labelX(), 0x2F2E2D2C);
  EXPECT_EQ(r.labelY(), 0x33323130);
  EXPECT_EQ(r.sectorFlags(), 52);
  EXPECT_EQ(r.convoyFlag(), 53);
  EXPECT_EQ(r.dependencySector(), 54);
  EXPECT_EQ(r.ownerDependency(1), 56);
  EXPECT_EQ(r.ownerDependency(8), 63);
  EXPECT_EQ(r.requiredPiece(), 68);
  EXPECT_EQ(r.value(1), 0x2B2A2928u);
  EXPECT_EQ(r.value(9), 0x4B4A4948u);
}

TEST(SectorRecord, readsCountryValuesAsNibblesLowNibbleForOddOwners) {
  SectorRecord r;
  r.setValue(7, 0x87654321);
  for (int owner = 1; owner <= 8; ++owner) EXPECT_EQ(r.countryValues(owner), owner) << owner;
  EXPECT_EQ(r.countryValues(0), 0);
  EXPECT_EQ(r.countryValues(9), 0);
  EXPECT_EQ(r.ownerDependency(9), 0);
}

TEST(SectorRecord, setsTheLabelPointAndNothingElse) {
  SectorRecord r = NamedRecord("Vell", 0xAB);
  SectorRecord before = r;
  r.setLabelX(-5);
  r.setLabelY(1200);
  EXPECT_EQ(r.labelX(), -5);
  EXPECT_EQ(r.labelY(), 1200);
  for (size_t i = 0; i < SectorRecord::kSize; ++i)
    if (i < 44 || i >= 52) {
      EXPECT_EQ(r.bytes()[i], before.bytes()[i]) << i;
    }
}

TEST(SectorRecord, cutsANameWithoutZeroByteAtItsField) {
  SectorRecord r;
  auto b = r.bytes();
  std::fill(b.begin() + 1, b.begin() + 40, 'x');
  b[40] = 'y';
  EXPECT_EQ(r.name(), std::string(39, 'x'));
}

TEST(SectorTable, givesRecordKOfTheFileToSectorKPlusOne) {
  auto table =
      SectorTable::Parse(TableBytes({NamedRecord("A"), NamedRecord("B"), NamedRecord("C")}));
  EXPECT_EQ(table[1].name(), "A");
  EXPECT_EQ(table[3].name(), "C");
  EXPECT_EQ(table[0], SectorRecord());
  for (int n = 4; n < 512; ++n) ASSERT_EQ(table[n], SectorRecord()) << n;
}

TEST(SectorTable, ignoresAShortTrailingPieceAndRecordsAfterThe511th) {
  std::vector<SectorRecord> records(520, NamedRecord("S"));
  records[510] = NamedRecord("Last");
  records[511] = NamedRecord("Beyond");
  auto bytes = TableBytes(records);
  auto table = SectorTable::Parse(bytes);
  EXPECT_EQ(table[511].name(), "Last");

  auto shortBytes = TableBytes({NamedRecord("One")});
  shortBytes.resize(shortBytes.size() + 75, 7);
  auto shortTable = SectorTable::Parse(shortBytes);
  EXPECT_EQ(shortTable[1].name(), "One");
  EXPECT_EQ(shortTable[2], SectorRecord());
}

TEST(SectorTable, writesNamedRecordsUpToTheFirstEmptyNameKeepingEveryByte) {
  auto bytes = TableBytes(
      {NamedRecord("A", 0x11), NamedRecord("B", 0x22), SectorRecord(), NamedRecord("D", 0x44)});
  auto table = SectorTable::Parse(bytes);
  table[2].setLabelX(77);
  auto out = table.SerializeNamed();
  ASSERT_EQ(out.size(), 2 * SectorRecord::kSize);
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 76, bytes.begin()));
  EXPECT_EQ(SectorTable::Parse(out)[2].labelX(), 77);
  EXPECT_EQ(out[76 + 70], 0x22) << "an unused byte is written as read";
}

TEST(SectorTable, exportsAFullTableOf511Records) {
  std::vector<SectorRecord> records(511, NamedRecord("S"));
  EXPECT_EQ(SectorTable::Parse(TableBytes(records)).SerializeNamed().size(), 38836u);
}

TEST(SectorTable, readsAFileAndFailsOnlyWhenItCannotBeOpened) {
  test::TempDir dir;
  auto path = dir.Write("SektorInfo.sek", TableBytes({NamedRecord("North")}));
  auto table = ReadSectorTable(path);
  ASSERT_TRUE(table);
  EXPECT_EQ((*table)[1].name(), "North");
  auto missing = ReadSectorTable(dir / "none.sek");
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.error().find("none.sek"), std::string::npos);
}

}  // namespace
}  // namespace mw
