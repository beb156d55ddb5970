// A failure that arose inside a module's call, where it could not be thrown:
// kept until the script (or a test) asks, then reported. The first one wins,
// as it is usually the cause of the rest.
#ifndef MORVANE_HOST_UI_PENDING_ERROR_H
#define MORVANE_HOST_UI_PENDING_ERROR_H

#include <string>

namespace host {

class PendingError {
  public:
    void raise(const std::string& message) {
        if (text_.empty()) text_ = message;
    }
    // Empty when there is none. Taking it clears it.
    std::string take() {
        std::string text;
        text.swap(text_);
        return text;
    }

  private:
    std::string text_;
};

} // namespace host

#endif
