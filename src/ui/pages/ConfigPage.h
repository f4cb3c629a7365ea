#pragma once

#include "ui/pages/PageDialog.h"

namespace arvestra {

// The configuration page: the signal routing of the current preset (template 145).
class CConfigPage : public CPageDialog {
  public:
    static constexpr int kTemplateId = 145;
    static constexpr int kBitmapId = 131;

    CConfigPage(IPageHost& host, QWidget* parent) : CPageDialog(kTemplateId, host, parent) {}

    int GetBitmapId() const override { return kBitmapId; }
};

}  // namespace arvestra
