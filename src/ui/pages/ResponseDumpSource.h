#pragma once

#include <string>

namespace arvestra {

// What the development utilities ask of an equaliser page: the dump of the response its graph
// shows (model/ResponseDump.h), with levels never computed computed first.
class IResponseDumpSource {
  public:
    virtual ~IResponseDumpSource() = default;
    virtual std::string ResponseDump() = 0;
};

}  // namespace arvestra
