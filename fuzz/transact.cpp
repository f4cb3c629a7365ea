// Feeds arbitrary reply bytes to CSerialLink::Transact through the in-memory port. The user
// answers Retry a few times, then Ignore or Abort, so every exchange ends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/AppState.h"
#include "app/ErrorReporter.h"
#include "link/FrameCodec.h"
#include "link/SerialLink.h"
#include "support/FakeSerialPort.h"

namespace {

using namespace arvestra;

// Answers from the input's first byte: up to three Retries, then Ignore or Abort.
class FuzzUi final : public UiPort {
  public:
    explicit FuzzUi(std::uint8_t control) : retriesLeft_(control & 3), abort_((control & 4) != 0) {}
    UiAnswer Ask(const UiQuestion& question) override {
        ++asked;
        if (question.buttons == ButtonSet::AbortRetryIgnore) {
            if (retriesLeft_ > 0) {
                --retriesLeft_;
                return UiAnswer::Retry;
            }
            return abort_ ? UiAnswer::Abort : UiAnswer::Ignore;
        }
        if (question.buttons == ButtonSet::YesNo) return abort_ ? UiAnswer::No : UiAnswer::Yes;
        return UiAnswer::Ok;
    }
    void ShowInformation(const std::string&) override {}
    void PostViewCommand(CommandId) override {}
    void UpdateAllViews(ViewHint) override {}
    void PostCloseMainWindow() override { ++closes; }
    void SetWaitCursor(bool) override {}
    void KeepResponsive() override {}

    int asked = 0;
    int closes = 0;

  private:
    int retriesLeft_;
    bool abort_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint8_t control = data[0];
    // Reply payload lengths up to 300 reach the 266-byte read cap.
    const int replyLength = ((data[1] << 8) | data[2]) % 301;
    // Payloads up to the largest the buffers hold, all 0xFB so stuffing doubles every byte.
    const int payloadLength = std::min(data[3] + ((control >> 5) & 7), arvestra::kMaxPayload);

    AppState app;
    app.SetOnline(1);
    FuzzUi ui(control);
    ErrorReporter reporter(app, ui);
    arvestra::testing::FakePortFactory ports;
    CSerialLink link(reporter, ports);
    if (link.OpenPort() != 1) std::abort();
    link.reportErrors = (control & 8) != 0 ? 0 : 1;
    link.simulateTimeoutOnce = (control & 16) != 0 ? 1 : 0;
    link.SetAddress(data[0]);

    // Everything after the header is what the "device" sends once the request has gone out
    // (input waiting before it would be dropped as stale), its echo bytes as the input has them.
    ports.Script().echoRequest = false;
    ports.Script().QueueReply(std::vector<std::uint8_t>(data + 4, data + size));
    std::vector<std::uint8_t> payload(static_cast<std::size_t>(payloadLength), 0xFB);
    // Exactly M bytes, so the address sanitizer catches any write past the reply payload.
    std::vector<std::uint8_t> reply(static_cast<std::size_t>(replyLength));
    const int result = link.Transact(0xA0, payload.data(), payloadLength,
                                     reply.empty() ? nullptr : reply.data(), replyLength);

    if (result != 0 && result != 1) std::abort();
    // With reporting on, a failed exchange always leaves the application offline or closing.
    const bool reporting = (control & 8) == 0;
    if (result == 0 && reporting && app.IsOnline() != 0) std::abort();
    if (result == 0 && reporting && (control & 4) != 0 && ui.closes == 0) std::abort();
    // Success means every check passed without a question that ended the exchange.
    if (result == 1 && app.IsOnline() != 1) std::abort();
    if (link.errorDialogShowing.load() != 0) std::abort();
    return 0;
}
