// The device and preset dialogs over a real offline document: the list rows, the immediate
// recalls and the Cancel rule, the all-devices scope, renaming, the device list's buttons and
// messages, and the address rules.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <cstring>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "document/CQ7310Doc.h"
#include "support/FakeClock.h"
#include "support/ScriptedUi.h"
#include "ui/dialogs/DeviceListRows.h"
#include "ui/dialogs/EditDeviceListDialog.h"
#include "ui/dialogs/EditNameDialog.h"
#include "ui/dialogs/GoOnlineDialog.h"
#include "ui/dialogs/NewDeviceAddressDialog.h"
#include "ui/dialogs/PortDevicesDialog.h"
#include "ui/dialogs/SelectDeviceDialog.h"
#include "ui/dialogs/SelectPresetDialog.h"

namespace arvestra {
namespace {

using testing::ScriptedUi;

// An offline document holding devices at the given addresses.
struct DialogBench {
    AppState app;
    ScriptedUi ui;
    testing::FakeClock clock{1000, 1};
    ErrorReporter reporter{app, ui};
    CQ7310Doc doc{reporter, clock};

    explicit DialogBench(std::initializer_list<int> addresses) {
        doc.FormatEmptyLocation();
        for (int address : addresses) {
            doc.AddDevice(address);
            doc.SetDeviceName("Unit " + std::to_string(address), address);
        }
        doc.Devices().RebuildPresentTable();
        doc.SelectDevice(*addresses.begin());
        doc.SetEditingStarted(true);
        doc.SetModifiedFlag(false);
    }
    int PresetOf(int address) {
        return doc.Devices().Location().RecordInt(doc.Devices().Location().SlotOf(address),
                                                  kRecCurrentPreset);
    }
    std::vector<std::string> QuestionTexts() const {
        std::vector<std::string> texts;
        for (const UiQuestion& q : ui.Questions()) texts.push_back(q.text);
        return texts;
    }
};

QStringList ListTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts.append(list->item(i)->text());
    return texts;
}

int RowOf(const QListWidget* list, int address) {
    for (int i = 0; i < list->count(); ++i) {
        if (AddressOfRow(list, i) == address) return i;
    }
    return -1;
}

// ---- Rows ----------------------------------------------------------------------------------

TEST(DeviceRows, OneRowPerDeviceInAscendingAddressOrder) {
    DialogBench bench{126, 3, 17};
    const QList<DeviceRow> rows = BuildDeviceRows(bench.doc.Devices());
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].text, QStringLiteral("3 - Unit 3"));
    EXPECT_EQ(rows[1].text, QStringLiteral("17 - Unit 17"));
    EXPECT_EQ(rows[2].text, QStringLiteral("126 - Unit 126"));
    EXPECT_EQ(rows[0].address, 3);
    EXPECT_EQ(rows[2].address, 126);
}

TEST(DeviceRows, NamesAreShownAsLatin1) {
    DialogBench bench{5};
    bench.doc.SetDeviceName(std::string("Caf\xE9 B\xFChne"), 5);
    EXPECT_EQ(BuildDeviceRows(bench.doc.Devices()).value(0).text,
              QStringLiteral("5 - Caf\u00E9 B\u00FChne"));
}

// ---- Select Device ----------------------------------------------------------------------------

class RenamingSelectDevice : public CSelectDeviceDialog {
  public:
    using CSelectDeviceDialog::CSelectDeviceDialog;
    QString answer;
    bool accept = true;
    QString offered;

  protected:
    bool AskDeviceName(const QString& current, QString& result) override {
        offered = current;
        result = answer;
        return accept;
    }
};

TEST(SelectDevice, ListsTheDevicesAndSelectsTheCurrentOne) {
    DialogBench bench{3, 17, 126};
    bench.doc.SelectDevice(17);
    CSelectDeviceDialog dialog(bench.doc, bench.doc.Devices().CurrentAddress(), nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Device"));
    EXPECT_EQ(ListTexts(dialog.List()),
              (QStringList{"3 - Unit 3", "17 - Unit 17", "126 - Unit 126"}));
    EXPECT_EQ(dialog.List()->currentRow(), 1);
    EXPECT_EQ(dialog.SelectedAddress(), 17);
    dialog.List()->setCurrentRow(2);
    EXPECT_EQ(dialog.SelectedAddress(), 126);
}

TEST(SelectDevice, RenameKeepsTheSameDeviceSelectedAndStaysOnCancel) {
    DialogBench bench{3, 17, 126};
    RenamingSelectDevice dialog(bench.doc, 3, nullptr);
    dialog.List()->setCurrentRow(RowOf(dialog.List(), 126));
    dialog.answer = QStringLiteral("Balcony");
    dialog.OnEditDeviceName();
    EXPECT_EQ(dialog.offered, QStringLiteral("Unit 126"));
    EXPECT_EQ(bench.doc.Devices().GetDeviceName(126), "Balcony");
    EXPECT_EQ(dialog.List()->item(dialog.List()->currentRow())->text(),
              QStringLiteral("126 - Balcony"));
    EXPECT_EQ(dialog.SelectedAddress(), 126);
    EXPECT_FALSE(bench.ui.ViewUpdates().empty());
    dialog.reject();
    EXPECT_EQ(bench.doc.Devices().GetDeviceName(126),
              "Balcony");                                // Cancel does not undo the rename
    EXPECT_EQ(bench.doc.Devices().CurrentAddress(), 3);  // nor change the current device
}

TEST(SelectDevice, CancelledRenameChangesNothing) {
    DialogBench bench{3, 17};
    RenamingSelectDevice dialog(bench.doc, 3, nullptr);
    dialog.accept = false;
    dialog.answer = QStringLiteral("Ignored");
    dialog.OnEditDeviceName();
    EXPECT_EQ(bench.doc.Devices().GetDeviceName(3), "Unit 3");
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST(SelectDevice, OkMakesTheChosenDeviceCurrent) {
    DialogBench bench{3, 17, 126};
    CSelectDeviceDialog dialog(bench.doc, 3, nullptr);
    dialog.List()->setCurrentRow(RowOf(dialog.List(), 126));
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(bench.doc.EditDevice(dialog.SelectedAddress()), 1);
    EXPECT_EQ(bench.doc.Devices().CurrentAddress(), 126);
}

// ---- Select Preset ----------------------------------------------------------------------------

class RenamingSelectPreset : public CSelectPresetDialog {
  public:
    using CSelectPresetDialog::CSelectPresetDialog;
    QString answer;
    bool accept = true;

  protected:
    bool AskPresetName(const QString&, QString& result) override {
        result = answer;
        return accept;
    }
};

TEST(SelectPreset, RadiosCarryThePresetNamesAndTheCurrentOneIsChecked) {
    DialogBench bench{1};
    bench.doc.Devices().SetCurrentPreset(4);
    CSelectPresetDialog dialog(bench.doc, nullptr);
    for (int preset = 1; preset <= 8; ++preset) {
        EXPECT_EQ(dialog.PresetRadio(preset)->text(), QStringLiteral("Preset %1").arg(preset));
        EXPECT_EQ(dialog.PresetRadio(preset)->isChecked(), preset == 4);
    }
    EXPECT_TRUE(dialog.CurrentDeviceOnlyRadio()->isChecked());
    EXPECT_FALSE(dialog.AllDevicesRadio()->isChecked());
    EXPECT_FALSE(dialog.AllDevices());
}

TEST(SelectPreset, ClicksRecallAtOnceAndCancelBringsBackTheFirstPreset) {
    DialogBench bench{1};
    CSelectPresetDialog dialog(bench.doc, nullptr);
    ASSERT_EQ(dialog.OriginalPreset(), 1);
    dialog.PresetRadio(2)->click();
    EXPECT_EQ(bench.doc.Devices().CurrentPreset(), 2);
    dialog.PresetRadio(5)->click();
    EXPECT_EQ(bench.doc.Devices().CurrentPreset(), 5);
    EXPECT_TRUE(dialog.PresetRadio(5)->isChecked());
    dialog.reject();
    EXPECT_EQ(bench.doc.Devices().CurrentPreset(), 1);
}

TEST(SelectPreset, OkKeepsThePresetRecalledLast) {
    DialogBench bench{1};
    CSelectPresetDialog dialog(bench.doc, nullptr);
    dialog.PresetRadio(7)->click();
    dialog.accept();
    EXPECT_EQ(bench.doc.Devices().CurrentPreset(), 7);
}

TEST(SelectPreset, RecallCopiesThePresetIntoTheEditBuffer) {
    DialogBench bench{1};
    const int slot = bench.doc.Devices().CurrentSlot();
    bench.doc.Devices().Location().Image(slot, 6)[0] ^= 0x5A;  // make preset 6 differ from preset 1
    CSelectPresetDialog dialog(bench.doc, nullptr);
    dialog.PresetRadio(6)->click();
    EXPECT_EQ(0, std::memcmp(bench.doc.Devices().Location().Image(slot, 0),
                             bench.doc.Devices().Location().Image(slot, 6), 256));
}

TEST(SelectPreset, CancellingTheSaveQuestionLeavesThePresetAndTheCheck) {
    DialogBench bench{1};
    bench.doc.Devices().SetPresetModified(1);
    bench.ui.Push(UiAnswer::Cancel);
    CSelectPresetDialog dialog(bench.doc, nullptr);
    dialog.PresetRadio(3)->click();
    ASSERT_EQ(bench.ui.Questions().size(), 1u);
    EXPECT_EQ(bench.ui.Questions()[0].text,
              "The current preset has been modified, do you want to save it?");
    EXPECT_EQ(bench.ui.Questions()[0].buttons, ButtonSet::YesNoCancel);
    EXPECT_EQ(bench.doc.Devices().CurrentPreset(), 1);
    EXPECT_TRUE(dialog.PresetRadio(1)->isChecked());
    EXPECT_FALSE(dialog.PresetRadio(3)->isChecked());
}

TEST(SelectPreset, AllDevicesScopeRecallsOnEveryDeviceAndKeepsTheCurrentOne) {
    DialogBench bench{3, 17, 126};
    bench.doc.SelectDevice(17);
    CSelectPresetDialog dialog(bench.doc, nullptr);
    dialog.AllDevicesRadio()->click();
    EXPECT_TRUE(dialog.AllDevices());
    dialog.PresetRadio(4)->click();
    EXPECT_EQ(bench.PresetOf(3), 4);
    EXPECT_EQ(bench.PresetOf(17), 4);
    EXPECT_EQ(bench.PresetOf(126), 4);
    EXPECT_EQ(bench.doc.Devices().CurrentAddress(), 17);
    dialog.CurrentDeviceOnlyRadio()->click();
    dialog.PresetRadio(2)->click();
    EXPECT_EQ(bench.PresetOf(17), 2);
    EXPECT_EQ(bench.PresetOf(3), 4);
    // Cancel recalls the first preset on the current device only.
    dialog.reject();
    EXPECT_EQ(bench.PresetOf(17), 1);
    EXPECT_EQ(bench.PresetOf(3), 4);
}

TEST(SelectPreset, EditPresetNameRenamesTheCurrentPresetAndRelabels) {
    DialogBench bench{1};
    RenamingSelectPreset dialog(bench.doc, nullptr);
    dialog.PresetRadio(3)->click();
    dialog.answer = QStringLiteral("Stage & Left");
    dialog.OnEditPresetName();
    EXPECT_EQ(bench.doc.Devices().GetPresetName(3), "Stage & Left");
    EXPECT_EQ(dialog.PresetRadio(3)->text(), QStringLiteral("Stage && Left"));
    dialog.accept = false;
    dialog.answer = QStringLiteral("Not this");
    dialog.OnEditPresetName();
    EXPECT_EQ(bench.doc.Devices().GetPresetName(3), "Stage & Left");
}

// ---- Edit Device List ---------------------------------------------------------------------------

class ScriptedDeviceList : public CEditDeviceListDialog {
  public:
    using CEditDeviceListDialog::CEditDeviceListDialog;
    int newAddress = 0;
    bool acceptAddress = true;
    QString newName;

  protected:
    bool AskNewAddress(int, int& result) override {
        result = newAddress;
        return acceptAddress;
    }
    bool AskDeviceName(const QString&, QString& result) override {
        result = newName;
        return true;
    }
};

TEST(EditDeviceList, FirstRowSelectedAndButtonsFollowTheDeviceCount) {
    {
        DialogBench bench{9};
        CEditDeviceListDialog dialog(bench.doc, nullptr);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Device List"));
        EXPECT_EQ(dialog.List()->currentRow(), 0);
        EXPECT_TRUE(dialog.AddButton()->isEnabled());
        EXPECT_FALSE(dialog.DeleteButton()->isEnabled());  // the last device cannot go
    }
    {
        DialogBench bench{9, 10};
        CEditDeviceListDialog dialog(bench.doc, nullptr);
        EXPECT_TRUE(dialog.DeleteButton()->isEnabled());
    }
}

TEST(EditDeviceList, AddIsDisabledWith126Devices) {
    DialogBench bench{1};
    for (int i = 2; i <= 126; ++i) bench.doc.AddDevice(-1);
    ASSERT_EQ(bench.doc.Devices().CountPresentDevices(), 126);
    CEditDeviceListDialog dialog(bench.doc, nullptr);
    EXPECT_FALSE(dialog.AddButton()->isEnabled());
    EXPECT_TRUE(dialog.DeleteButton()->isEnabled());
    EXPECT_EQ(dialog.List()->count(), 126);
    dialog.OnAddDevice();  // even when called, nothing is added
    EXPECT_EQ(bench.doc.Devices().CountPresentDevices(), 126);
}

TEST(EditDeviceList, AddTakesTheFirstFreeAddressAndSelectsIt) {
    DialogBench bench{1, 2, 4};
    CEditDeviceListDialog dialog(bench.doc, nullptr);
    dialog.OnAddDevice();
    EXPECT_EQ(bench.doc.Devices().IsDevicePresent(3), 1);
    EXPECT_EQ(dialog.SelectedAddress(), 3);
    EXPECT_EQ(dialog.List()->currentItem()->text(), QStringLiteral("3 - No Device Name"));
    EXPECT_EQ(dialog.List()->count(), 4);
}

TEST(EditDeviceList, DeleteAsksAndDeletesOnlyOnYes) {
    DialogBench bench{3, 5};
    CEditDeviceListDialog dialog(bench.doc, nullptr);
    dialog.List()->setCurrentRow(0);
    bench.ui.Push(UiAnswer::No);
    dialog.OnDeleteDevice();
    EXPECT_EQ(bench.doc.Devices().IsDevicePresent(3), 1);
    bench.ui.Push(UiAnswer::Yes);
    dialog.OnDeleteDevice();
    EXPECT_EQ(bench.doc.Devices().IsDevicePresent(3), 0);
    EXPECT_EQ(
        bench.QuestionTexts(),
        (std::vector<std::string>{"Are you sure you want to delete the device at address 3?",
                                  "Are you sure you want to delete the device at address 3?"}));
    EXPECT_EQ(bench.ui.Questions()[0].buttons, ButtonSet::YesNo);
    EXPECT_EQ(ListTexts(dialog.List()), QStringList{"5 - Unit 5"});
    EXPECT_FALSE(dialog.DeleteButton()->isEnabled());
    EXPECT_EQ(bench.doc.Devices().CurrentAddress(),
              5);  // the deleted device is no longer the one edited
}

TEST(EditDeviceList, ChangeAddressMovesTheDevice) {
    DialogBench bench{3, 5};
    ScriptedDeviceList dialog(bench.doc, nullptr);
    dialog.newAddress = 90;
    dialog.OnChangeAddress();
    EXPECT_EQ(bench.doc.Devices().IsDevicePresent(3), 0);
    EXPECT_EQ(bench.doc.Devices().GetDeviceName(90), "Unit 3");
    EXPECT_EQ(ListTexts(dialog.List()), (QStringList{"5 - Unit 5", "90 - Unit 3"}));
    EXPECT_EQ(dialog.SelectedAddress(), 90);
}

TEST(EditDeviceList, MovingOntoATakenAddressAsksAndCancelKeepsBoth) {
    DialogBench bench{3, 5};
    ScriptedDeviceList dialog(bench.doc, nullptr);
    dialog.newAddress = 5;
    bench.ui.Push(UiAnswer::Cancel);
    dialog.OnChangeAddress();
    ASSERT_EQ(bench.ui.Questions().size(), 1u);
    EXPECT_EQ(bench.ui.Questions()[0].text,
              "There is already a device at address 5, do you want to overwrite it?");
    EXPECT_EQ(bench.ui.Questions()[0].buttons, ButtonSet::OkCancel);
    EXPECT_EQ(bench.doc.Devices().GetDeviceName(3), "Unit 3");
    EXPECT_EQ(bench.doc.Devices().GetDeviceName(5), "Unit 5");
}

TEST(EditDeviceList, MovingADeviceOntoItsOwnAddressIsRefused) {
    DialogBench bench{3, 5};
    ScriptedDeviceList dialog(bench.doc, nullptr);
    dialog.newAddress = 3;
    dialog.OnChangeAddress();
    EXPECT_EQ(bench.doc.Devices().IsDevicePresent(3), 1);
    EXPECT_EQ(bench.doc.Devices().GetDeviceName(3), "Unit 3");
    EXPECT_EQ(ListTexts(dialog.List()), (QStringList{"3 - Unit 3", "5 - Unit 5"}));
}

TEST(EditDeviceList, CancelledAddressChangesNothing) {
    DialogBench bench{3, 5};
    ScriptedDeviceList dialog(bench.doc, nullptr);
    dialog.acceptAddress = false;
    dialog.newAddress = 40;
    dialog.OnChangeAddress();
    EXPECT_EQ(bench.doc.Devices().IsDevicePresent(3), 1);
    EXPECT_EQ(bench.doc.Devices().IsDevicePresent(40), 0);
    EXPECT_FALSE(bench.doc.IsModified());
}

TEST(EditDeviceList, ChangeNameRenamesTheSelectedDevice) {
    DialogBench bench{3, 5};
    ScriptedDeviceList dialog(bench.doc, nullptr);
    dialog.List()->setCurrentRow(1);
    dialog.newName = QStringLiteral("Delay Tower");
    dialog.OnChangeName();
    EXPECT_EQ(bench.doc.Devices().GetDeviceName(5), "Delay Tower");
    EXPECT_EQ(dialog.List()->currentItem()->text(), QStringLiteral("5 - Delay Tower"));
}

// ---- New Device Address ------------------------------------------------------------------------

TEST(NewDeviceAddressDialog, ShowsTheAddressAndAcceptsAValidOne) {
    ScriptedUi ui;
    CNewDeviceAddressDialog dialog(17, ui, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Device Address"));
    EXPECT_EQ(dialog.Field()->text(), QStringLiteral("17"));
    int accepted = 0;
    QObject::connect(&dialog, &QDialog::accepted, [&] { ++accepted; });
    dialog.Field()->setText(QStringLiteral("42"));
    dialog.OnOk();
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(dialog.Address(), 42);
    EXPECT_TRUE(ui.Questions().empty());
}

TEST(NewDeviceAddressDialog, OutOfRangeShowsTheMessageOkReturnsCancelCloses) {
    for (const char* text : {"0", "127", "-5", "abc", ""}) {
        ScriptedUi ui{UiAnswer::Ok, UiAnswer::Cancel};
        CNewDeviceAddressDialog dialog(17, ui, nullptr);
        int accepted = 0;
        int rejected = 0;
        QObject::connect(&dialog, &QDialog::accepted, [&] { ++accepted; });
        QObject::connect(&dialog, &QDialog::rejected, [&] { ++rejected; });
        dialog.Field()->setText(QString::fromLatin1(text));
        dialog.OnOk();  // OK on the message: back to the field
        EXPECT_EQ(accepted + rejected, 0) << text;
        dialog.OnOk();  // Cancel on the message: the dialog ends as cancelled
        EXPECT_EQ(rejected, 1) << text;
        EXPECT_EQ(accepted, 0) << text;
        EXPECT_EQ(dialog.Address(), 17) << text;
        ASSERT_EQ(ui.Questions().size(), 2u);
        EXPECT_EQ(ui.Questions()[0].text,
                  "The device address must be between 1 and 126. Please enter a valid device "
                  "address.");
        EXPECT_EQ(ui.Questions()[0].buttons, ButtonSet::OkCancel);
    }
}

// ---- Name dialogs and Go Online ----------------------------------------------------------------

TEST(EditNameDialog, TitlesAndTheTextExchanged) {
    CEditNameDialog preset(CEditNameDialog::Kind::Preset, QStringLiteral("Preset 1"), nullptr);
    CEditNameDialog device(CEditNameDialog::Kind::Device, QStringLiteral("Unit"), nullptr);
    EXPECT_EQ(preset.windowTitle(), QStringLiteral("Edit Preset Name"));
    EXPECT_EQ(device.windowTitle(), QStringLiteral("Edit Device Name"));
    EXPECT_EQ(preset.Name(), QStringLiteral("Preset 1"));
    device.Field()->setText(QStringLiteral("Front Fill"));
    EXPECT_EQ(device.Name(), QStringLiteral("Front Fill"));
}

TEST(GoOnlineDialog, EachButtonGivesItsChoiceAndUploadNeedsAYes) {
    struct Case {
        int button;  // 0 create, 1 upload, 2 download, 3 cancel
        bool confirm;
        int expected;
        bool closes;
    };
    const Case cases[] = {{0, false, 1016, true},
                          {1, true, 1017, true},
                          {1, false, 2, false},
                          {2, false, 1018, true},
                          {3, false, 2, true}};
    for (const Case& c : cases) {
        int asked = 0;
        CGoOnlineDialog dialog(
            [&] {
                ++asked;
                return c.confirm;
            },
            nullptr);
        int finished = 0;
        QObject::connect(&dialog, &QDialog::finished, [&] { ++finished; });
        QPushButton* buttons[] = {dialog.CreateNewButton(), dialog.UploadButton(),
                                  dialog.DownloadButton(), dialog.CancelButton()};
        buttons[c.button]->click();
        EXPECT_EQ(dialog.Choice(), c.expected) << c.button;
        EXPECT_EQ(finished, c.closes ? 1 : 0) << c.button;
        EXPECT_EQ(asked, c.button == 1 ? 1 : 0) << c.button;
    }
}

}  // namespace
}  // namespace arvestra

namespace arvestra {
namespace {

TEST(PortDevicesDialog, ShowsStoredPathsAndLocksPortsTheEnvironmentNames) {
    const QStringList stored{QString(), QStringLiteral("/dev/serial/by-id/usb-A"),
                             QStringLiteral("tcp:10.0.0.5:4001"), QStringLiteral("/dev/ttyS9")};
    const QStringList environment{QString(), QString(), QString(), QStringLiteral("/dev/pts/7")};
    CPortDevicesDialog dialog(stored, environment, nullptr);
    EXPECT_EQ(dialog.Field(1)->currentText(), QString());
    EXPECT_EQ(dialog.Field(2)->currentText(), QStringLiteral("/dev/serial/by-id/usb-A"));
    EXPECT_EQ(dialog.Field(4)->currentText(), QStringLiteral("/dev/pts/7"));
    EXPECT_FALSE(dialog.Field(4)->isEnabled());
    dialog.Field(1)->setEditText(QStringLiteral("  /dev/ttyUSB0 "));
    dialog.Field(3)->setEditText(QString());
    // Entries are trimmed; a port held by the environment keeps its stored path.
    EXPECT_EQ(dialog.Paths(), (QStringList{QStringLiteral("/dev/ttyUSB0"),
                                           QStringLiteral("/dev/serial/by-id/usb-A"), QString(),
                                           QStringLiteral("/dev/ttyS9")}));
    EXPECT_EQ(CPortDevicesDialog::DefaultPath(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(CPortDevicesDialog::DefaultPath(4), QStringLiteral("/dev/ttyS3"));
}

}  // namespace
}  // namespace arvestra
