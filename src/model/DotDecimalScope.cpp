#include "model/DotDecimalScope.h"

namespace arvestra {
namespace {

// The "C" locale object, made once; it lives for the whole run like the locale it stands for.
locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

}  // namespace

DotDecimalScope::DotDecimalScope() {
    // Without the locale object (out of memory at start) the thread keeps its locale, which is
    // the C one unless a toolkit changed it.
    if (const locale_t classic = ClassicLocale(); classic != static_cast<locale_t>(nullptr)) {
        previous_ = uselocale(classic);
    }
}

DotDecimalScope::~DotDecimalScope() {
    if (previous_ != static_cast<locale_t>(nullptr)) uselocale(previous_);
}

}  // namespace arvestra
