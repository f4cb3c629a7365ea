#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace arvestra {

// The Telnet bytes and options a network serial server speaks.
namespace telnet {
inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPort = 44;

// COM port control commands as the client sends them; the server answers with code + 100.
inline constexpr std::uint8_t kSetBaudRate = 1;
inline constexpr std::uint8_t kSetDataSize = 2;
inline constexpr std::uint8_t kSetParity = 3;
inline constexpr std::uint8_t kSetStopSize = 4;
inline constexpr std::uint8_t kSetControl = 5;
inline constexpr std::uint8_t kPurgeData = 12;
inline constexpr std::uint8_t kServerAnswerOffset = 100;

inline constexpr std::uint8_t kParityNone = 1;
inline constexpr std::uint8_t kParityEven = 3;
inline constexpr std::uint8_t kControlDtrOn = 8;
inline constexpr std::uint8_t kControlDtrOff = 9;
inline constexpr std::uint8_t kPurgeBoth = 3;
}  // namespace telnet

// Data bytes with every 0xFF doubled, as Telnet carries them; outside binary transmission
// (`binary` false) every CR is followed by a NUL.
std::vector<std::uint8_t> TelnetEscape(const std::uint8_t* bytes, std::size_t count,
                                       bool binary = true);

// A COM port control request: IAC SB COM-PORT command value IAC SE, 0xFF in the value doubled.
std::vector<std::uint8_t> ComPortRequest(std::uint8_t command,
                                         const std::vector<std::uint8_t>& value);

// One COM port control message from the server: its command code and value.
struct ComPortAnswer {
    std::uint8_t command = 0;
    std::vector<std::uint8_t> value;
};

// Whether the server has agreed to COM port control.
enum class ComPortState { Unknown, Accepted, Refused };

// Splits what a Telnet server sends into line data, option negotiation and COM port control
// answers. It agrees to binary transmission both ways, to suppress-go-ahead and to COM port
// control, refuses every other option, and answers a request only when it changes an option's
// state, so two sides never loop. Whatever the server sends, nothing grows without bound.
class TelnetDecoder {
  public:
    TelnetDecoder();

    // The requests that open a session (WILL COM-PORT, WILL BINARY, DO BINARY); marks them
    // asked, so the server's agreement is not answered again.
    std::vector<std::uint8_t> OpeningRequests();

    // Feeds bytes from the server: line data is appended to `data`, the negotiation answers owed
    // to the server to `replies`; COM port control messages queue up in Answers().
    void Feed(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& data,
              std::vector<std::uint8_t>& replies);

    ComPortState ComPort() const { return comPort_; }
    // Whether the server has agreed to send, and to take, bytes unchanged. Without it a CR
    // travels as CR NUL.
    bool ServerSendsBinary() const { return remote_[telnet::kBinary].on; }
    bool ServerTakesBinary() const { return local_[telnet::kBinary].on; }
    std::deque<ComPortAnswer>& Answers() { return answers_; }

  private:
    enum class State { Data, Iac, Verb, Sub, SubIac };
    struct Option {
        bool on = false;
        bool asked = false;  // we asked for it and await the answer
    };

    void Negotiate(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& replies);
    void EndSubnegotiation();

    State state_ = State::Data;
    bool afterCr_ = false;  // the last data byte was a CR (its NUL is dropped outside binary)
    std::uint8_t verb_ = 0;
    std::vector<std::uint8_t> sub_;
    bool subOverflow_ = false;
    std::array<Option, 256> local_{};   // options on our side (the server says DO / DONT)
    std::array<Option, 256> remote_{};  // options on the server's side (WILL / WONT)
    ComPortState comPort_ = ComPortState::Unknown;
    std::deque<ComPortAnswer> answers_;
};

}  // namespace arvestra
