#include "app/CommandId.h"

#include <ostream>

namespace arvestra {

std::ostream& operator<<(std::ostream& out, CommandId id) {
    return out << static_cast<int>(id);
}

}  // namespace arvestra
