#pragma once

#include <string>

namespace arvestra {

class CQ7310Doc;
class CDocumentActions;

// At start-up: offers back, one by one, the working copies that editors which no longer run
// left in the recovery directory ("Unsaved changes to FILE from TIME were found. Recover
// them?"). Yes opens the copy as a modified document of the original file (after the offer to
// save the one open); No deletes it. A copy that cannot be read is reported and deleted.
class CRecoveryOffer {
  public:
    CRecoveryOffer(CQ7310Doc& doc, CDocumentActions& actions) : doc_(doc), actions_(actions) {}

    // Runs the offers; the number of copies recovered.
    int Run();

    // The question for one left-over copy.
    static std::string QuestionText(const std::string& originalPath, long long time);

  private:
    CQ7310Doc& doc_;
    CDocumentActions& actions_;
};

}  // namespace arvestra
