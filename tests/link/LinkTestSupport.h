#pragma once

#include <cstdint>
#include <vector>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "link/SerialLink.h"
#include "support/FakeSerialPort.h"
#include "support/ReplyFrame.h"
#include "support/ScriptedUi.h"

namespace arvestra::testing {

using Bytes = std::vector<std::uint8_t>;

// A link over a fake port with a scripted user, online, port opened.
struct LinkBench {
    AppState app;
    ScriptedUi ui;
    ErrorReporter reporter{app, ui};
    FakePortFactory ports;
    CSerialLink link{reporter, ports};

    LinkBench() {
        app.SetOnline(1);
        link.SetPortNumber(2);
        link.SetBaudRate(19200);
    }
    FakePortScript& Script() { return ports.Script(); }
    // Opens the port; true when it opened.
    bool Open() { return link.OpenPort() == 1; }
    // The text of the i-th question asked.
    std::string QuestionText(std::size_t i) const {
        const auto questions = ui.Questions();
        return i < questions.size() ? questions[i].text : std::string();
    }
    // The "a - b - c - d" error number of the i-th question.
    std::string ErrorNumber(std::size_t i) const {
        const std::string text = QuestionText(i);
        const std::string marker = "error number: ";
        const std::size_t at = text.rfind(marker);
        return at == std::string::npos ? std::string() : text.substr(at + marker.size());
    }
};

}  // namespace arvestra::testing
