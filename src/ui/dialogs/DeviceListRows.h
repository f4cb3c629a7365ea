#pragma once

#include <QList>
#include <QString>

class QListWidget;

namespace arvestra {

class DeviceTable;

// One row of a device list: the text "%d - %s" (address, device name) and the address.
struct DeviceRow {
    int address = 0;
    QString text;
};

// The rows of every device that exists, addresses 0 to 126 in ascending order. Whether a device
// exists is the location model's answer: online the devices found on the bus, offline the
// file's address table.
QList<DeviceRow> BuildDeviceRows(const DeviceTable& devices);

// Refills a list widget with the rows (the address as each item's data) and selects the row of
// `selectAddress`, or row `fallbackRow` (clamped; none when negative) when that address has no
// row. Returns the selected row, -1 when none is selected.
int FillDeviceList(QListWidget* list, const DeviceTable& devices, int selectAddress,
                   int fallbackRow);

// The address stored in a row of a filled list, 0 when the row does not exist.
int AddressOfRow(const QListWidget* list, int row);

}  // namespace arvestra
