#include "remote/AccessCode.h"

#include <QRandomGenerator>

namespace arvestra::remote {

QString MakeAccessCode() {
    constexpr int kAlphabetSize = static_cast<int>(sizeof kCodeAlphabet) - 1;
    QString code;
    code.reserve(kCodeLength);
    QRandomGenerator* random = QRandomGenerator::system();
    for (int i = 0; i < kCodeLength; ++i) {
        code.append(QLatin1Char(kCodeAlphabet[random->bounded(kAlphabetSize)]));
    }
    return code;
}

bool CodesMatch(const QString& expected, const QString& offered) {
    // Offers are bounded so a huge one costs no more than a normal one; every position of the
    // bound is visited and the differences are only OR-ed together.
    constexpr qsizetype kBound = 64;
    if (expected.isEmpty() || expected.size() > kBound) return false;
    unsigned difference = offered.size() == expected.size() ? 0U : 1U;
    for (qsizetype i = 0; i < kBound; ++i) {
        const unsigned a = i < expected.size() ? expected[i].unicode() : 0U;
        const unsigned b = i < offered.size() ? offered[i].unicode() : 0U;
        difference |= a ^ b;
    }
    return difference == 0;
}

}  // namespace arvestra::remote
