// The eleven pages of the copy wizard by name, each one of the three page kinds with its id,
// controls and side. They add nothing but their configuration, so they share one header.
#pragma once

#include "ui/wizard/CopyWiz.h"
#include "ui/wizard/CopyWizChoicePage.h"
#include "ui/wizard/CopyWizFilePage.h"
#include "ui/wizard/CopyWizListPage.h"

namespace arvestra {

class CCopyWizType final : public CCopyWizChoicePage {
  public:
    explicit CCopyWizType(CCopyWiz& w)
        : CCopyWizChoicePage(w, copywiz::kType, w.Choices().what,
                             {{"Setting", 3022}, {"Preset", 3023}, {"Device", 3024}}) {}
};

class CCopyWizSourceFl final : public CCopyWizChoicePage {
  public:
    explicit CCopyWizSourceFl(CCopyWiz& w)
        : CCopyWizChoicePage(w, copywiz::kSourceFl, w.Choices().source,
                             {{"Current Location", 3026}, {"File", 3027}}) {}
};

class CCopyWizDestFl final : public CCopyWizChoicePage {
  public:
    explicit CCopyWizDestFl(CCopyWiz& w)
        : CCopyWizChoicePage(w, copywiz::kDestFl, w.Choices().destination,
                             {{"Current Location", 3026}, {"File", 3027}}) {}
};

class CCopyWizSourceUnitL final : public CCopyWizListPage {
  public:
    explicit CCopyWizSourceUnitL(CCopyWiz& w)
        : CCopyWizListPage(w, copywiz::kSourceUnit, false, Lists::Unit) {}
};

class CCopyWizSourcePresetL final : public CCopyWizListPage {
  public:
    explicit CCopyWizSourcePresetL(CCopyWiz& w)
        : CCopyWizListPage(w, copywiz::kSourcePreset, false, Lists::UnitPreset) {}
};

class CCopyWizSourceSettingL final : public CCopyWizListPage {
  public:
    explicit CCopyWizSourceSettingL(CCopyWiz& w)
        : CCopyWizListPage(w, copywiz::kSourceSetting, false, Lists::UnitPresetSetting) {}
};

class CCopyWizDestUnitL final : public CCopyWizListPage {
  public:
    explicit CCopyWizDestUnitL(CCopyWiz& w)
        : CCopyWizListPage(w, copywiz::kDestUnit, true, Lists::Unit) {}
};

class CCopyWizDestPresetL final : public CCopyWizListPage {
  public:
    explicit CCopyWizDestPresetL(CCopyWiz& w)
        : CCopyWizListPage(w, copywiz::kDestPreset, true, Lists::UnitPreset) {}
};

class CCopyWizDestSettingL final : public CCopyWizListPage {
  public:
    explicit CCopyWizDestSettingL(CCopyWiz& w)
        : CCopyWizListPage(w, copywiz::kDestSetting, true, Lists::UnitPresetSetting) {}
};

class CCopyWizSourceFile final : public CCopyWizFilePage {
  public:
    explicit CCopyWizSourceFile(CCopyWiz& w)
        : CCopyWizFilePage(w, copywiz::kSourceFile, false, 3029) {}
};

class CCopyWizDestFile final : public CCopyWizFilePage {
  public:
    explicit CCopyWizDestFile(CCopyWiz& w) : CCopyWizFilePage(w, copywiz::kDestFile, true, 3031) {}
};

}  // namespace arvestra
