// What the server tells the pages, as JSON objects with a "t":
//   "hello"   once per connection: the value tables of the scales the page shows, the
//             frequencies of the response data, and each remote field's codes
//   "state"   the location and the device being edited: devices, presets and their names,
//             bypass, levels and equaliser of both channels, and the response of each output
//             computed by the same response math as the equaliser pages
//   "meters"  the meter readings and lamps, many times a second
//   "error"   an operation the document refused, with its text
#pragma once

#include <QJsonObject>

namespace arvestra {
class IRemoteControl;
}

namespace arvestra::remote {

// Extra grid points per step of the frequency scale in the response data (201 points).
inline constexpr int kResponseExtraPoints = 1;

QJsonObject HelloMessage();

// The state without the response curves: cheap enough to build many times a second and
// compare, so that an edit made anywhere is noticed.
QJsonObject StateMessage(const IRemoteControl& doc);

// Adds the response of each output ("resp": two arrays of dB, one per grid point) to a state,
// and whether an equaliser lies in each output's signal path ("eq_in_path").
void AddResponse(const IRemoteControl& doc, QJsonObject& state);

QJsonObject MetersMessage(const IRemoteControl& doc);

QJsonObject ErrorMessage(const std::string& text);

}  // namespace arvestra::remote
