// Test hook for the Location File steps: a planned failure makes the next run of one numbered
// step fail with a chosen errno, so every failure path of new, open and save can be driven on
// any file system and by any user (root ignores the permissions a test would otherwise use).
#pragma once

namespace arvestra {

class FileStepFaults {
  public:
    // Makes the next run of the step with this error number fail with systemError.
    static void FailNext(int stepNumber, int systemError);

    // Forgets any planned failure.
    static void Clear();

    // The errno the step must fail with now (the plan is used up), or 0 to run normally.
    static int Take(int stepNumber);
};

}  // namespace arvestra
