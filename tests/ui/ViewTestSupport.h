// A location with one default device at address 1, offline, under a scripted user interface,
// and the main view on it after its first showing: the fixture of the main view's tests.
#pragma once

#include <memory>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "app/SystemClock.h"
#include "document/CQ7310Doc.h"
#include "support/ScriptedUi.h"
#include "ui/ShellTestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/shell/AppSettings.h"
#include "ui/view/Q7310View.h"

namespace arvestra::viewtest {

class ViewHarness {
  public:
    // With withView false only the document is made (page tests host pages themselves).
    explicit ViewHarness(bool withView = true) {
        settings.SetValue(QStringLiteral("DontWarnAboutNonSmallFonts"), 1);
        doc.AddDevice(1);
        doc.SetEditingStarted(true);
        app.SetActiveDocument(&doc.Bus());
        if (!withView) return;
        view = std::make_unique<CQ7310View>(doc, appSettings);
        view->OnInitialUpdate();
        view->show();
        test::FlushEvents();
    }
    ~ViewHarness() {
        view.reset();
        app.SetActiveDocument(nullptr);
    }
    ViewHarness(const ViewHarness&) = delete;
    ViewHarness& operator=(const ViewHarness&) = delete;

    // Sets or clears the application's online flag without touching the link.
    void SetOnlineFlag(int on) {
        app.SetActiveDocument(nullptr);
        app.SetOnline(on);
        app.SetActiveDocument(&doc.Bus());
    }
    // Puts block codes into the chain slots of the edit buffer (missing slots are emptied).
    void SetChain(const std::array<int, 16>& codes) {
        for (int slot = 0; slot < 16; ++slot) {
            doc.Edits().Set(ParamField::ChainSlot, 0, slot, codes[static_cast<std::size_t>(slot)]);
        }
    }
    // Records a channel's chain list: the output node, then the given nodes.
    void SetChainList(int channel, std::initializer_list<int> nodes) {
        doc.SetChainNode(channel, 0, 18 + channel);
        int i = 1;
        for (int node : nodes) doc.SetChainNode(channel, i++, node);
        for (; i < kChainLength; ++i) doc.SetChainNode(channel, i, 0);
    }

    shelltest::ScopedSettings settings;
    CAppSettings appSettings;
    AppState app;
    testing::ScriptedUi ui;
    SystemClock clock;
    ErrorReporter reporter{app, ui};
    CQ7310Doc doc{reporter, clock};
    std::unique_ptr<CQ7310View> view;
};

}  // namespace arvestra::viewtest
