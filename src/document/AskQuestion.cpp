#include "document/AskQuestion.h"

namespace arvestra {

UiAnswer AskQuestion(UiPort& ui, const std::string& text, ButtonSet buttons, IconKind icon,
                     BoxOwner owner) {
    UiQuestion question;
    question.title = kAppTitle;
    question.text = text;
    question.buttons = buttons;
    question.icon = icon;
    question.owner = owner;
    return ui.Ask(question);
}

}  // namespace arvestra
