#pragma once

#include "ui/pages/PageDialog.h"

namespace arvestra {

// The compressor/limiter page: the compressor/limiter block of one channel (template 147).
class CCompLimPage : public CPageDialog {
  public:
    static constexpr int kTemplateId = 147;
    static constexpr int kBitmapId = 134;

    CCompLimPage(IPageHost& host, QWidget* parent) : CPageDialog(kTemplateId, host, parent) {}

    int GetBitmapId() const override { return kBitmapId; }
};

}  // namespace arvestra
