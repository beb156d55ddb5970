#include "ui/messages.h"

#include "common/host_error.h"
#include "common/text_encoding.h"

#include <ostream>
#include <utility>
#include <vector>

namespace host {

void Messages::message(const char* kind, const char* line1, const char* line2) {
    for (const char* line : {line1, line2}) {
        if (!line || (line == line2 && !line[0])) continue;
        out_ << kind << ": " << locale_.shown(line) << "\n";
    }
}

void Messages::queueAnswer(const std::string& answer) {
    static const char* const known[] = {"Yes", "No", "OK", "Cancel", "YesToAll"};
    for (const char* k : known)
        if (answer == k) {
            answers_.push_back(answer);
            return;
        }
    throw HostError("unknown answer '" + answer + "' (Yes, No, OK, Cancel or YesToAll)");
}

int Messages::ask(const std::string& kind, const char* title, const char* line1,
                  const char* line2) {
    // The values the message service returns for each kind of question.
    static const std::vector<std::pair<std::string, std::vector<std::pair<std::string, int>>>>
        choices = {
            {"okCancel", {{"OK", 1}, {"Cancel", 0}}},
            {"yesNo", {{"Yes", 1}, {"No", 0}}},
            {"yesNoCan", {{"Yes", 2}, {"No", 1}, {"Cancel", 0}}},
            {"yesNoAll", {{"YesToAll", 3}, {"Yes", 2}, {"No", 1}, {"Cancel", 0}}},
        };
    std::string text;
    for (const char* part : {title, line1, line2})
        if (part && part[0]) {
            if (!text.empty()) text += " / ";
            text += locale_.shown(part);
        }

    if (answers_.empty()) {
        pending_.raise("question \"" + text + "\" has no answer queued (use Answer)");
        return 0;
    }
    std::string answer = answers_.front();
    answers_.pop_front();
    for (const auto& question : choices) {
        if (question.first != kind) continue;
        for (const auto& choice : question.second)
            if (choice.first == answer) {
                out_ << "question: " << text << " -> " << answer << "\n";
                return choice.second;
            }
    }
    pending_.raise("answer " + answer + " does not fit question \"" + text + "\"");
    return 0;
}

} // namespace host
