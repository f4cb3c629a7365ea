// A location whose edit buffer routes both channels through high-pass, EQ and low-pass, with the
// main view on it: the fixture of the EQ page tests.
#pragma once

#include <QMouseEvent>
#include <QTest>

#include "app/CommandId.h"
#include "model/CurveDisplayOptions.h"
#include "model/SignalPath.h"
#include "ui/ViewTestSupport.h"
#include "ui/pages/BlockTable.h"
#include "ui/pages/GraphicEqPage.h"
#include "ui/pages/ParametricEqPage.h"

namespace arvestra::eqtest {

// Routes channel A input -> HP A -> EQ A -> LP A -> output A, and the same for B, and puts the
// six blocks into the chain slots.
inline void RouteBothChannels(CQ7310Doc& doc) {
    using namespace RoutingNode;
    // Chain A fills slots 0 to 2, chain B slots 8 to 10.
    const std::array<int, 16> codes = {13, 1, 11, 0, 0, 0, 0, 0, 14, 2, 12, 0, 0, 0, 0, 0};
    for (int slot = 0; slot < 16; ++slot) {
        doc.Edits().Set(ParamField::ChainSlot, 0, slot, codes[static_cast<std::size_t>(slot)]);
    }
    for (int channel = 0; channel < 2; ++channel) {
        doc.Edits().SetRouting(ParamField::HpSource, channel, channel == 0 ? kInputA : kInputB);
        doc.Edits().SetRouting(ParamField::EqSource, channel,
                               channel == 0 ? kHighPassA : kHighPassB);
        doc.Edits().SetRouting(ParamField::LpSource, channel,
                               channel == 0 ? kEqualiserA : kEqualiserB);
        doc.Edits().SetRouting(ParamField::OutputSource, channel,
                               channel == 0 ? kLowPassA : kLowPassB);
    }
    doc.RecordChains();
}

// Puts the given block codes into chain A's slots, left to right, and empties the rest; the
// configuration page's refresh derives the sources from the chains.
inline void SetChainA(CQ7310Doc& doc, std::initializer_list<int> codes) {
    int slot = 0;
    for (const int code : codes) doc.Edits().Set(ParamField::ChainSlot, 0, slot++, code);
    while (slot < 8) doc.Edits().Set(ParamField::ChainSlot, 0, slot++, 0);
}

class EqPageFixture {
  public:
    EqPageFixture() {
        SharedCurveDisplayOptions() = {};  // the utilities' switches are process-wide
        RouteBothChannels(harness.doc);
        harness.view->OnUpdate(1);
    }

    CGraphicEqPage& Graphic() {
        return *static_cast<CGraphicEqPage*>(harness.view->Page(PageKind::GraphicEq));
    }
    CParametricEqPage& Parametric() {
        return *static_cast<CParametricEqPage*>(harness.view->Page(PageKind::ParametricEq));
    }
    CQ7310Doc& Doc() { return harness.doc; }
    // Runs a View command as the menu would, then lets posted commands run.
    void Open(CommandId command) {
        harness.view->OnCommand(command);
        RunPosted();
    }
    // Runs the view commands the pages posted, in order.
    void RunPosted() {
        for (int guard = 0; guard < 10; ++guard) {
            const std::vector<CommandId> posted = harness.ui.ViewCommands();
            if (consumed >= posted.size()) break;
            const std::vector<CommandId> fresh(
                posted.begin() + static_cast<std::ptrdiff_t>(consumed), posted.end());
            consumed = posted.size();
            for (const CommandId command : fresh) harness.view->OnCommand(command);
        }
        test::FlushEvents();
    }
    // The view commands posted since the last call (and not yet run).
    std::vector<CommandId> TakePosted() {
        const std::vector<CommandId> posted = harness.ui.ViewCommands();
        std::vector<CommandId> fresh(posted.begin() + static_cast<std::ptrdiff_t>(consumed),
                                     posted.end());
        consumed = posted.size();
        return fresh;
    }

    viewtest::ViewHarness harness;
    std::size_t consumed = 0;
};

// Mouse helpers: real events with the buttons held that a user's hand would hold.
inline void Press(QWidget& w, QPoint p, Qt::MouseButton button) {
    QMouseEvent event(QEvent::MouseButtonPress, p, w.mapToGlobal(p), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}
inline void Move(QWidget& w, QPoint p, Qt::MouseButtons held) {
    QMouseEvent event(QEvent::MouseMove, p, w.mapToGlobal(p), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}
inline void Release(QWidget& w, QPoint p, Qt::MouseButton button) {
    QMouseEvent event(QEvent::MouseButtonRelease, p, w.mapToGlobal(p), button, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}
inline QPoint Centre(const PixelPoint& p) {
    return {p.x, p.y};
}

}  // namespace arvestra::eqtest
