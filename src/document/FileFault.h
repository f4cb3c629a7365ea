// A failed Location File step: the error number that names the step and the system's error
// code, carried up to the document, which reports them.
#pragma once

namespace arvestra {

// Error numbers of the Location File steps (the first field of the number the user sees).
inline constexpr int kErrSaveCreate = 273;       // creating the new file next to the destination
inline constexpr int kErrSaveFlush = 274;        // flushing the working copy
inline constexpr int kErrSaveCopy = 275;         // writing, syncing and renaming the new file
inline constexpr int kErrTempDirectory = 289;    // no usable temporary directory
inline constexpr int kErrTempName = 290;         // the unique temporary file cannot be made
inline constexpr int kErrCopyToWorking = 291;    // the Location File cannot be copied in
inline constexpr int kErrOpenWorking = 292;      // the working copy cannot be opened
inline constexpr int kErrSizeWorking = 293;      // the working copy's size cannot be allocated
inline constexpr int kErrMapWorking = 294;       // the working copy cannot be mapped
inline constexpr int kErrBadMagic = 295;         // the first four bytes are not the magic
inline constexpr int kErrBadFormat = 296;        // the format word is not 1
inline constexpr int kErrBadVersion = 297;       // a version word this editor does not know
inline constexpr int kErrShortHeader = 298;      // the file ends inside its 8,192-byte header
inline constexpr int kErrBadAddressTable = 299;  // an address-table entry is not -1 or 0..126

struct FileFault {
    int number = 0;       // one of the numbers above; 0 when nothing failed
    int systemError = 0;  // errno of the failing call, or a detail of a format check
    int detail1 = 0;      // third field of the number shown (format checks only)
    int detail2 = 0;      // fourth field
};

}  // namespace arvestra
