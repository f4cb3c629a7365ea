#pragma once

#include "ui/pages/PageDialog.h"

namespace arvestra {

// What the graphic and the parametric EQ page share: the high-pass and low-pass sections of both
// channels, the displayed channel, the response graph and its frequency grid.
class CFilterPage : public CPageDialog {
  public:
    CFilterPage(int templateId, IPageHost& host, QWidget* parent)
        : CPageDialog(templateId, host, parent) {}
};

}  // namespace arvestra
