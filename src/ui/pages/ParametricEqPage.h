#pragma once

#include "ui/pages/FilterPage.h"

namespace arvestra {

// The parametric EQ page: the 10-band parametric equaliser of one channel (template 151).
class CParametricEqPage : public CFilterPage {
  public:
    static constexpr int kTemplateId = 151;
    static constexpr int kBitmapId = 148;

    CParametricEqPage(IPageHost& host, QWidget* parent) : CFilterPage(kTemplateId, host, parent) {}

    int GetBitmapId() const override { return kBitmapId; }
};

}  // namespace arvestra
