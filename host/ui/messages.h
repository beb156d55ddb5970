// The message service as a person sees it: messages printed, and questions
// answered from answers queued in advance, as a person would click them.
#ifndef MORVANE_HOST_UI_MESSAGES_H
#define MORVANE_HOST_UI_MESSAGES_H

#include "ui/pending_error.h"

#include <deque>
#include <iosfwd>
#include <string>

namespace host {

class Locale;

class Messages {
  public:
    // Printed to out; the module's texts are read in the locale's encoding.
    Messages(std::ostream& out, const Locale& locale) : out_(out), locale_(locale) {}

    // Printed as "info: TEXT" and so on, one line per non-empty line.
    void message(const char* kind, const char* line1, const char* line2);

    // Answers are "Yes", "No", "OK", "Cancel" or "YesToAll"; throws HostError
    // for anything else. kind is "okCancel", "yesNo", "yesNoCan" or
    // "yesNoAll"; the result is the value the message service returns. With
    // no fitting answer queued the question is answered 0 and the failure is
    // kept for takePendingError: the host never guesses for the user.
    void queueAnswer(const std::string& answer);
    int ask(const std::string& kind, const char* title, const char* line1, const char* line2);

    std::string takePendingError() { return pending_.take(); }

  private:
    std::ostream& out_;
    const Locale& locale_;
    std::deque<std::string> answers_;
    PendingError pending_;
};

} // namespace host

#endif
