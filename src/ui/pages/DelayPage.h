#pragma once

#include "ui/pages/PageDialog.h"

namespace arvestra {

// The delay page: the delay block of one channel (template 142).
class CDelayPage : public CPageDialog {
  public:
    static constexpr int kTemplateId = 142;
    static constexpr int kBitmapId = 132;

    CDelayPage(IPageHost& host, QWidget* parent) : CPageDialog(kTemplateId, host, parent) {}

    int GetBitmapId() const override { return kBitmapId; }
};

}  // namespace arvestra
