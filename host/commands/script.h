// Command scripts: one command per line, '#' starts a comment, double quotes
// group words with spaces into one argument.
#ifndef MORVANE_HOST_COMMANDS_SCRIPT_H
#define MORVANE_HOST_COMMANDS_SCRIPT_H

#include <cstddef>
#include <functional>
#include <istream>
#include <map>
#include <string>
#include <vector>

namespace host {

class HostCore;

// A script command: how many arguments it takes, its usage line, and what it
// does (throwing HostError on bad input, before changing anything).
struct ScriptCommand {
    size_t minArgs;
    size_t maxArgs;
    const char* usage;
    std::function<void(HostCore&, const std::vector<std::string>&)> run;
};
using ScriptCommandTable = std::map<std::string, ScriptCommand>;

// A time in seconds or a value: a plain decimal number. Throws HostError
// for anything else.
double parseDecimal(const std::string& word);

// Splits a script line into words. Throws HostError on an unbalanced quote.
std::vector<std::string> splitScriptLine(const std::string& line);

// Parses a whole unsigned number, decimal or 0x hexadecimal. Throws HostError
// naming what is wrong.
unsigned long parseNumber(const std::string& text);

class ScriptRunner {
  public:
    explicit ScriptRunner(HostCore& host) : host_(host) {}

    // Runs every line of a script. A line that cannot be run stops the
    // script with a HostError "NAME:LINE: message".
    void run(std::istream& in, const std::string& name);
    void runFile(const std::string& path);

    // Runs one command given as words; throws HostError on bad input.
    void execute(const std::vector<std::string>& words);

  private:
    HostCore& host_;
};

} // namespace host

#endif
