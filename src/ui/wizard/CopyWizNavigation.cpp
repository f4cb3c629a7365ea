#include "ui/wizard/CopyWizNavigation.h"

#include <algorithm>
#include <iterator>

namespace arvestra::copywiz {

namespace {

// The page after `page` in the order the pages were added.
int FollowingInOrder(int page) {
    const int* end = std::end(kPageOrder);
    const int* at = std::find(std::begin(kPageOrder), end, page);
    return at == end || at + 1 == end ? kNoPage : *(at + 1);
}

// The list page for what is copied: Device the unit page, Preset the preset page, Setting the
// setting page; an unset choice follows the page order from the choice page.
int ListPage(int what, int unitPage, int presetPage, int settingPage, int choicePage) {
    switch (what) {
        case 0:
            return settingPage;
        case 1:
            return presetPage;
        case 2:
            return unitPage;
        default:
            return FollowingInOrder(choicePage);
    }
}

int SourceList(const Choices& c) {
    return ListPage(c.what, kSourceUnit, kSourcePreset, kSourceSetting, kSourceFl);
}

int DestinationList(const Choices& c) {
    return ListPage(c.what, kDestUnit, kDestPreset, kDestSetting, kDestFl);
}

}  // namespace

int NextPage(int page, const Choices& choices) {
    switch (page) {
        case kType:
            return kSourceFl;
        case kSourceFl:
            return choices.source == 1 ? kSourceFile : SourceList(choices);
        case kSourceFile:
            return SourceList(choices);
        case kSourceUnit:
        case kSourcePreset:
        case kSourceSetting:
            return kDestFl;
        case kDestFl:
            return choices.destination == 1 ? kDestFile : DestinationList(choices);
        case kDestFile:
            return DestinationList(choices);
        default:
            return kNoPage;
    }
}

bool IsFinalPage(int page) {
    return page == kDestUnit || page == kDestPreset || page == kDestSetting;
}

const char* PageTitle(int page) {
    switch (page) {
        case kType:
            return "Copy What?";
        case kSourceFl:
            return "From Where?";
        case kSourceUnit:
            return "Source Unit";
        case kSourcePreset:
            return "Select Source Preset";
        case kSourceSetting:
            return "Select Source Setting";
        case kSourceFile:
            return "Select Source File";
        case kDestFl:
            return "To Where?";
        case kDestUnit:
            return "Destination Unit";
        case kDestPreset:
            return "Select Destination Preset";
        case kDestSetting:
            return "Select Destination Setting";
        case kDestFile:
            return "Select Destination File";
        default:
            return "";
    }
}

}  // namespace arvestra::copywiz
