#include "document/FileStepFaults.h"

#include <atomic>

namespace arvestra {

namespace {
// The planned step and errno; file steps run on the user-interface thread only, the atomics
// just keep a test thread's plan visible.
std::atomic<int> plannedStep{0};
std::atomic<int> plannedError{0};
}  // namespace

void FileStepFaults::FailNext(int stepNumber, int systemError) {
    plannedError = systemError;
    plannedStep = stepNumber;
}

void FileStepFaults::Clear() {
    plannedStep = 0;
    plannedError = 0;
}

int FileStepFaults::Take(int stepNumber) {
    int expected = stepNumber;
    if (stepNumber == 0 || !plannedStep.compare_exchange_strong(expected, 0)) return 0;
    return plannedError.exchange(0);
}

}  // namespace arvestra
