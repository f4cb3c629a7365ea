// The device table on its own: lookups over the address table, presence online and offline,
// entering, removing and moving devices, and the record of the device being edited.
#include "document/DeviceTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace arvestra {
namespace {

// A table holding devices at addresses 1 (slot 0) and 126 (slot 1).
struct TableBench {
    AppState app;
    DeviceTable table{app};
    TableBench() {
        table.Enter(1, 0);
        table.Enter(126, 1);
    }
};

struct LookupCase {
    const char* what;
    int (*lookup)(const DeviceTable&);
    int expected;
};

class TableLookups : public ::testing::TestWithParam<LookupCase> {};

TEST_P(TableLookups, EdgesOfTheAddressTable) {
    TableBench t;
    EXPECT_EQ(GetParam().lookup(t.table), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TableLookups,
    ::testing::Values(
        LookupCase{"slot of 126", [](const DeviceTable& d) { return d.SlotOfAddress(126); }, 1},
        LookupCase{"slot of -1 is that of 1",
                   [](const DeviceTable& d) { return d.SlotOfAddress(-1); }, 0},
        LookupCase{"slot of an empty address is that of 1",
                   [](const DeviceTable& d) { return d.SlotOfAddress(50); }, 0},
        LookupCase{"slot of 127", [](const DeviceTable& d) { return d.SlotOfAddress(127); }, 0},
        LookupCase{"address of slot 1", [](const DeviceTable& d) { return d.AddressOfSlot(1); },
                   126},
        LookupCase{"address of an unused slot is 1",
                   [](const DeviceTable& d) { return d.AddressOfSlot(77); }, 1},
        LookupCase{"first free address", [](const DeviceTable& d) { return d.FirstFreeAddress(); },
                   2},
        LookupCase{"first free slot", [](const DeviceTable& d) { return d.FirstFreeSlot(); }, 2},
        LookupCase{"nothing marked present yet",
                   [](const DeviceTable& d) { return d.CountPresentDevices(); }, 0}));

TEST(DeviceTable, OfflinePresenceIsTheTableOnlineItIsTheScan) {
    TableBench t;
    for (int address : {1, 126}) EXPECT_TRUE(t.table.IsDevicePresent(address)) << address;
    for (int address : {0, 2, 125, 127, -3}) EXPECT_FALSE(t.table.IsDevicePresent(address));

    t.app.SetOnline(1);  // no scan yet: nothing on the bus
    EXPECT_FALSE(t.table.IsDevicePresent(1));
    t.table.SetPresent(126, true);
    t.table.SetPresent(127, true);  // outside the table: ignored
    EXPECT_FALSE(t.table.IsDevicePresent(1));
    EXPECT_TRUE(t.table.IsDevicePresent(126));
    EXPECT_EQ(t.table.CountPresentDevices(), 1);
    EXPECT_EQ(t.table.FirstPresentAddress(), 126);
}

TEST(DeviceTable, RebuildMarksEveryListedAddressAndGivesTheLowest) {
    TableBench t;
    t.table.SetPresent(7, true);  // a device the table does not list
    EXPECT_EQ(t.table.RebuildPresentTable(), 1);
    EXPECT_EQ(t.table.CountPresentDevices(), 2);
    EXPECT_FALSE(t.table.IsMarkedPresent(7));

    AppState app;
    DeviceTable empty(app);
    EXPECT_EQ(empty.RebuildPresentTable(), 0);
    EXPECT_EQ(empty.FirstFreeAddress(), 1);
    EXPECT_EQ(empty.FirstFreeSlot(), 0);
}

TEST(DeviceTable, RemovedSlotIsHandedOutAgainAndEnteredClean) {
    TableBench t;
    std::fill_n(t.table.Location().Record(1), 10, std::uint8_t{0x5A});
    t.table.SetPresent(126, true);
    t.table.Remove(126);
    EXPECT_EQ(t.table.Location().SlotOf(126), kNoDevice);
    EXPECT_FALSE(t.table.IsMarkedPresent(126));
    EXPECT_EQ(t.table.Location().Record(1)[0], 0x5A) << "the bytes stay until the slot is reused";

    ASSERT_EQ(t.table.FirstFreeSlot(), 1);
    t.table.Enter(5, t.table.FirstFreeSlot());
    EXPECT_EQ(t.table.SlotOfAddress(5), 1);
    const std::uint8_t* record = t.table.Location().Record(1);
    EXPECT_TRUE(
        std::all_of(record, record + kDeviceRecordSize, [](std::uint8_t b) { return b == 0; }));
}

TEST(DeviceTable, MovedDeviceKeepsItsRecord) {
    TableBench t;
    t.table.SetPresent(126, true);
    t.table.Move(126, 9);
    EXPECT_EQ(t.table.SlotOfAddress(9), 1);
    EXPECT_EQ(t.table.Location().SlotOf(126), kNoDevice);
    EXPECT_FALSE(t.table.IsMarkedPresent(126));
    EXPECT_EQ(t.table.FirstFreeAddress(), 2);
}

TEST(DeviceTable, CurrentRecordFieldsAreLimitedAndSafeWithoutADevice) {
    AppState app;
    DeviceTable table(app);
    EXPECT_EQ(table.MakeCurrent(1), kNoDevice);
    table.SetCurrentPreset(5);  // nothing to write to
    EXPECT_EQ(table.CurrentPreset(), 1);
    EXPECT_FALSE(table.PresetModified());
    EXPECT_EQ(table.GetPresetName(1), "");
    EXPECT_EQ(table.GetDeviceName(1), "");

    table.Enter(3, 0);
    EXPECT_EQ(table.MakeCurrent(3), 0);
    EXPECT_EQ(table.CurrentAddress(), 3);
    const std::pair<int, int> presets[] = {{0, 1}, {9, 8}, {4, 4}};  // set, then read back
    for (const auto& [set, kept] : presets) {
        table.SetCurrentPreset(set);
        EXPECT_EQ(table.CurrentPreset(), kept) << set;
    }
    table.SetBypassFlag(kRecBypassB, true);
    EXPECT_FALSE(table.BypassA());
    EXPECT_TRUE(table.BypassB());

    table.Detach();  // the table's own bytes, emptied
    EXPECT_EQ(table.CurrentSlot(), kNoDevice);
    EXPECT_EQ(table.Location().SlotOf(3), kNoDevice);
}

}  // namespace
}  // namespace arvestra
