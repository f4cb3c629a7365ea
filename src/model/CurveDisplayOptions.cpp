#include "model/CurveDisplayOptions.h"

namespace arvestra {

CurveDisplayOptions& SharedCurveDisplayOptions() {
    static CurveDisplayOptions options;
    return options;
}

}  // namespace arvestra
