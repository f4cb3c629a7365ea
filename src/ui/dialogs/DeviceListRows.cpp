#include "ui/dialogs/DeviceListRows.h"

#include <QListWidget>

#include <algorithm>

#include "document/DeviceTable.h"
#include "ui/dialogs/NameText.h"

namespace arvestra {

QList<DeviceRow> BuildDeviceRows(const DeviceTable& devices) {
    QList<DeviceRow> rows;
    for (int address = 0; address <= kMaxAddress; ++address) {
        if (devices.IsDevicePresent(address) == 0) {
            continue;
        }
        rows.append({address, QStringLiteral("%1 - %2").arg(address).arg(
                                  NameToDisplay(devices.GetDeviceName(address)))});
    }
    return rows;
}

int FillDeviceList(QListWidget* list, const DeviceTable& devices, int selectAddress,
                   int fallbackRow) {
    const QList<DeviceRow> rows = BuildDeviceRows(devices);
    list->clear();
    int selected = -1;
    for (int i = 0; i < rows.size(); ++i) {
        auto* item = new QListWidgetItem(rows.at(i).text, list);
        item->setData(Qt::UserRole, rows.at(i).address);
        if (rows.at(i).address == selectAddress) {
            selected = i;
        }
    }
    if (selected < 0 && fallbackRow >= 0 && !rows.isEmpty()) {
        selected = std::clamp(fallbackRow, 0, static_cast<int>(rows.size()) - 1);
    }
    list->setCurrentRow(selected);
    return selected;
}

int AddressOfRow(const QListWidget* list, int row) {
    const QListWidgetItem* item = list->item(row);
    return item != nullptr ? item->data(Qt::UserRole).toInt() : 0;
}

}  // namespace arvestra
