// Sample files as measurement programs write them, made up for the tests.
#pragma once

namespace arvestra::tune_samples {

// A room correction for a main speaker: seven peaking filters as a measurement program exports
// them for a generic equaliser, with its header and unused "None" entries.
inline constexpr char kRoomFilters[] =
    "Filter Settings file\r\n"
    "\r\n"
    "Room EQ V5.31\r\n"
    "Dated: 8 Dec 2026 14:22:10\r\n"
    "\r\n"
    "Notes:Main left, listening position\r\n"
    "\r\n"
    "Equaliser: Generic\r\n"
    "Average 1\r\n"
    "Filter  1: ON  PK       Fc   42.5 Hz  Gain -11.0 dB  Q  6.200\r\n"
    "Filter  2: ON  PK       Fc   58.0 Hz  Gain  -8.5 dB  Q  4.800\r\n"
    "Filter  3: ON  PK       Fc   87.3 Hz  Gain  -9.0 dB  Q  7.500\r\n"
    "Filter  4: ON  PK       Fc    124 Hz  Gain   4.0 dB  Q  3.100\r\n"
    "Filter  5: ON  PK       Fc    186 Hz  Gain  -6.5 dB  Q  5.200\r\n"
    "Filter  6: ON  PK       Fc    310 Hz  Gain  -4.0 dB  Q  2.400\r\n"
    "Filter  7: ON  PK       Fc   1850 Hz  Gain  -3.0 dB  Q  1.300\r\n"
    "Filter  8: ON  None\r\n"
    "Filter  9: ON  None\r\n"
    "Filter 10: ON  None\r\n"
    "Filter 11: ON  None\r\n"
    "Filter 12: ON  None\r\n";

// The same kind of correction as an equaliser configuration file writes it.
inline constexpr char kApoFilters[] =
    "Preamp: -4.2 dB\n"
    "Filter 1: ON PK Fc 105 Hz Gain -6.3 dB Q 1.41\n"
    "Filter 2: ON PK Fc 2300 Hz Gain 3.5 dB Q 2.00\n"
    "Filter 3: ON LSC Fc 105 Hz Gain 4.2 dB Q 0.71\n"
    "Filter 4: OFF PK Fc 800 Hz Gain 2.0 dB Q 1.00\n";

}  // namespace arvestra::tune_samples
