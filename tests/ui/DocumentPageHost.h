// A page host over a whole document, standing in for the main view: it hands pages the document
// and runs the device and preset dialogs as the view does. Tests override what they record.
#pragma once

#include "document/CQ7310Doc.h"
#include "ui/dialogs/SelectDeviceDialog.h"
#include "ui/dialogs/SelectPresetDialog.h"
#include "ui/pages/PageHost.h"

namespace arvestra::test {

class DocumentPageHost : public IPageHost {
  public:
    explicit DocumentPageHost(CQ7310Doc* document) : doc(document) {}
    IPageDocument* HostDocument() override { return doc; }
    void OnUpdate(int /*hint*/) override {}
    void PostViewCommand(CommandId /*command*/) override {}
    void RunFrameCommand(CommandId /*command*/) override {}
    bool RunSelectDeviceDialog(QWidget* parent) override {
        return CSelectDeviceDialog::Run(*doc, parent);
    }
    void RunSelectPresetDialog(QWidget* parent) override { CSelectPresetDialog::Run(*doc, parent); }

    CQ7310Doc* doc;
};

}  // namespace arvestra::test
