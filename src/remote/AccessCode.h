// The access code a remote page must present: made at random when the server starts, and
// compared so that the time taken says nothing about how much of a guess was right.
#pragma once

#include <QString>

namespace arvestra::remote {

// Characters of a code: no 0/O, 1/I/L, so that a code read off the screen is typed right.
inline constexpr char kCodeAlphabet[] = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
inline constexpr int kCodeLength = 10;

// A new code of kCodeLength characters from the system's random source.
QString MakeAccessCode();

// True when `offered` equals `expected`; the comparison looks at every character of `expected`
// whatever `offered` holds, and longer offers are compared up to a fixed bound.
bool CodesMatch(const QString& expected, const QString& offered);

}  // namespace arvestra::remote
