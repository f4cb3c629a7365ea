// The messages a remote page sends, as JSON objects with a "t" naming the operation:
//
//   {"t":"set","field":"eq.graphic_gain","ch":0,"i":12,"code":30}   one parameter of the edit
//        buffer; only the fields a page may change (levels and the equaliser's
//        type, bypass and bands), channel 0 or 1, an
//        element of the field's array; the code is a whole number, limited to the field's range
//        by the same edit path the editor's pages and "arvestra-cli set" use
//   {"t":"bypass","ch":0,"on":true}                  a channel's bypass
//   {"t":"device","address":3}                       edit another device of the location
//   {"t":"recall","preset":2,"discard":false}        recall preset 1..8; unsaved edits of the
//        current preset are refused unless "discard" is true (a page cannot answer the editor's
//        question)
//   {"t":"store","preset":2,"name":"Sunday"}         store the edit buffer as preset 1..8, with
//        a new name when "name" is given
//
// Anything else (not an object, an unknown "t", a missing or mistyped member, a field or element
// a page may not change) is malformed: ParseRemoteCommand says so and nothing is changed.
#pragma once

#include <optional>
#include <string>

#include <QByteArray>

#include "model/ParamField.h"

namespace arvestra {
class IRemoteControl;
}

namespace arvestra::remote {

enum class CommandKind { Set, Bypass, Device, Recall, Store };

struct RemoteCommand {
    CommandKind kind = CommandKind::Set;
    ParamField field = ParamField::EqGraphicGain;
    int channel = 0;
    int index = 0;
    long long code = 0;
    bool on = false;
    int address = 0;
    int preset = 0;
    bool discard = false;
    std::optional<std::string> name;  // UTF-8
};

// Longest preset name a store message may carry, in characters (the document cuts to its own).
inline constexpr int kMaxNameChars = 64;

// The command of one message; empty when the message is malformed.
std::optional<RemoteCommand> ParseRemoteCommand(const QByteArray& message);

// The outcome of applying a command: ok, or the text to show on the page.
struct CommandResult {
    bool ok = true;
    std::string error;
};

// Applies a command to the document through its block and preset operations. Runs on the
// thread that owns the document.
CommandResult ApplyRemoteCommand(IRemoteControl& doc, const RemoteCommand& command);

}  // namespace arvestra::remote
