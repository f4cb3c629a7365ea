#pragma once

#include "ui/pages/FilterPage.h"

namespace arvestra {

// The graphic EQ page: the 31-band graphic equaliser of one channel (template 134).
class CGraphicEqPage : public CFilterPage {
  public:
    static constexpr int kTemplateId = 134;
    static constexpr int kBitmapId = 133;

    CGraphicEqPage(IPageHost& host, QWidget* parent) : CFilterPage(kTemplateId, host, parent) {}

    int GetBitmapId() const override { return kBitmapId; }
};

}  // namespace arvestra
