#include "commands/script.h"

#include "commands/commands.h"
#include "commands/dump.h"
#include "commands/interface_panels.h"
#include "commands/lwpanel_commands.h"
#include "commands/snapshot.h"
#include "commands/tool_commands.h"
#include "commands/view_commands.h"
#include "common/file_names.h"
#include "common/host_error.h"
#include "core/host_core.h"
#include "plugins/displacement.h"
#include "scene/key_edits.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>

namespace host {

namespace {

bool onOff(const std::string& word) {
    if (word == "on") return true;
    if (word == "off") return false;
    throw HostError("expected on or off, not '" + word + "'");
}

const std::map<std::string, ScriptCommand>& scriptCommands() {
    static const std::
        map<std::string, ScriptCommand>
            commands =
                {
                    {"Select",
                     {0, 1, "Select [NAME]",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          if (a.empty()) return h.scene().clearSelection();
                          Item* item = h.scene().find(a[0]);
                          if (!item) throw HostError("no item named '" + a[0] + "'");
                          h.scene().select(item->id);
                      }}},
                    {"SetBuild",
                     {1, 1, "SetBuild N",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          unsigned long n = parseNumber(a[0]);
                          if (n > 0xFFF)
                              throw HostError("build number " + a[0] + " out of range (0 to 4095)");
                          h.services().setBuildNumber(unsigned(n));
                      }}},
                    {"SetLocale",
                     {1, 1, "SetLocale N",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          unsigned long n = parseNumber(a[0]);
                          if (n > 0xFFFFFFFFul) throw HostError("locale " + a[0] + " out of range");
                          h.services().setLocale(unsigned(n));
                      }}},
                    {"Withhold",
                     {1, 1, "Withhold \"SERVICE NAME\"",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          if (!h.services().knows(a[0]))
                              throw HostError("the host has no service \"" + a[0] + "\"");
                          h.services().withhold(a[0]);
                      }}},
                    {"Restore",
                     {1, 1, "Restore \"SERVICE NAME\"",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          h.services().restore(a[0]);
                      }}},
                    {"FractionalFrames",
                     {1, 1, "FractionalFrames on|off",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          h.scene().timing().fractionalFrames = onOff(a[0]);
                          h.services().refresh();
                      }}},
                    {"Trace",
                     {2, 2, "Trace services on|off",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          if (a[0] != "services") throw HostError("can only trace services");
                          h.services().setTrace(onOff(a[1]));
                      }}},
                    {"Respond",
                     {1, ~size_t(0), "Respond OK|Cancel [\"LABEL=VALUE\"]...",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          h.panels().queueResponse(a);
                      }}},
                    {"Answer",
                     {1, 1, "Answer Yes|No|OK|Cancel|YesToAll",
                      [](HostCore& h, const std::vector<std::string>& a) { h.queueAnswer(a[0]); }}},
                    {"Parent",
                     {2, 2, "Parent CHILD PARENT|(none)",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          Item* child = h.scene().find(a[0]);
                          if (!child) throw HostError("no item named '" + a[0] + "'");
                          LWItemID parent = nullptr;
                          if (a[1] != "(none)") {
                              Item* p = h.scene().find(a[1]);
                              if (!p) throw HostError("no item named '" + a[1] + "'");
                              parent = p->id;
                          }
                          parentItem(h, child->id, parent);
                      }}},
                    {"KeyMove",
                     {4, 4, "KeyMove ITEM CHANNEL FROM TO",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          moveKey(h.scene(), a[0], a[1], parseDecimal(a[2]), parseDecimal(a[3]));
                      }}},
                    {"KeyCopy",
                     {4, 4, "KeyCopy ITEM CHANNEL FROM TO",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          copyKey(h.scene(), a[0], a[1], parseDecimal(a[2]), parseDecimal(a[3]));
                      }}},
                    {"KeyCreate",
                     {4, 4, "KeyCreate ITEM CHANNEL TIME VALUE",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          createKey(h.scene(), a[0], a[1], parseDecimal(a[2]), parseDecimal(a[3]));
                      }}},
                    {"KeyDelete",
                     {3, 3, "KeyDelete ITEM CHANNEL TIME",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          deleteKey(h.scene(), a[0], a[1], parseDecimal(a[2]));
                      }}},
                    {"Dump",
                     {1, 1, "Dump NAME",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          Item* item = h.scene().find(a[0]);
                          if (!item) throw HostError("no item named '" + a[0] + "'");
                          h.out() << dumpItem(h.scene(), *item, &h.instances()) << "\n";
                      }}},
                    {"ExportObject",
                     {2, 2, "ExportObject NAME PATH",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          exportObject(h.scene(), a[0], h.resolvePath(a[1]));
                      }}},
                    {"Snapshot",
                     {1, 2, "Snapshot [N] PATH",
                      [](HostCore& h, const std::vector<std::string>& a) { snapshot(h, a); }}},
                    {"Generic",
                     {1, 1, "Generic NAME",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          // By server name or by the name its button shows.
                          const ServerEntry* found = nullptr;
                          if (h.module())
                              for (const ServerEntry& s : h.module()->servers())
                                  if (s.className == LWLAYOUTGENERIC_CLASS &&
                                      (s.name == a[0] || s.buttonName() == a[0]) && !found)
                                      found = &s;
                          if (!found)
                              throw HostError("no LayoutGeneric server named '" + a[0] + "'");
                          int result = h.activate(LWLAYOUTGENERIC_CLASS, found->name,
                                                  InstanceTable::versionFor(LWLAYOUTGENERIC_CLASS));
                          if (result != AFUNC_OK)
                              throw HostError("generic " + found->name + " did not run (" +
                                              std::to_string(result) + ")");
                      }}},
                    {"PanelSet",
                     {4, 4, "PanelSet ITEM CLASS \"LABEL\" VALUE",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          panelSet(h, a[0], a[1], a[2], a[3]);
                      }}},
                    {"PanelGet",
                     {3, 3, "PanelGet ITEM CLASS \"LABEL\"",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          std::string value = panelGet(h, a[0], a[1], a[2]);
                          h.out() << "panel: " << a[2] << " = " << value << "\n";
                      }}},
                    {"PanelDrag",
                     {4, 64, "PanelDrag ITEM CLASS \"LABEL\" VALUE...",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          panelDrag(h, a[0], a[1], a[2],
                                    std::vector<std::string>(a.begin() + 3, a.end()));
                      }}},
                    {"PanelRows",
                     {2, 2, "PanelRows ITEM CLASS",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          for (const XPanelRow& row : panelRows(h, a[0], a[1])) {
                              h.out() << "panel row: \"" << row.label << "\" " << row.ctrlClass;
                              if (!row.value.empty()) h.out() << " = " << row.value;
                              h.out() << " (group " << row.group << (row.enabled ? "" : ", ghosted")
                                      << (row.visible ? "" : ", hidden") << ")\n";
                          }
                      }}},
                    {"PanelSnapshot",
                     {2, 3, "PanelSnapshot ITEM CLASS PATH | PanelSnapshot \"TITLE\" PATH",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          // Two words name an open LWPanels panel, three an XPanel.
                          const std::string& shown = a.back();
                          std::string path = h.resolvePath(shown);
                          auto size = a.size() == 2 ? lwPanelSnapshot(h, a[0], path)
                                                    : panelSnapshot(h, a[0], a[1], path);
                          h.out() << "snapshot: " << shown << " (" << size.first << " x "
                                  << size.second << ")\n";
                      }}},
                    {"Status",
                     {0, 0, "Status",
                      [](HostCore& h, const std::vector<std::string>&) {
                          h.out() << "status: " << h.status() << "\n";
                      }}},
                    {"Activate",
                     {3, 3, "Activate CLASS NAME VERSION",
                      [](HostCore& h, const std::vector<std::string>& a) {
                          unsigned long version = parseNumber(a[2]);
                          if (version > 1000) throw HostError("version " + a[2] + " out of range");
                          int result = h.activate(a[0], a[1], int(version));
                          h.out() << "activate " << a[0] << " " << a[1] << " -> " << result << "\n";
                      }}},
                };
    return commands;
}

const ScriptCommand* findScriptCommand(const std::string& name) {
    for (const ScriptCommandTable* table : {&scriptCommands(), &viewScriptCommands(),
                                            &toolScriptCommands(), &lwPanelScriptCommands()}) {
        auto found = table->find(name);
        if (found != table->end()) return &found->second;
    }
    return nullptr;
}

} // namespace

double parseDecimal(const std::string& word) {
    char* end = nullptr;
    double v = std::strtod(word.c_str(), &end);
    if (word.empty() || *end || !std::isfinite(v))
        throw HostError("'" + word + "' is not a number");
    return v;
}

std::vector<std::string> splitScriptLine(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        std::string word;
        bool quoted = false;
        while (i < line.size()) {
            c = line[i];
            if (c == '"') {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (!quoted && (c == ' ' || c == '\t' || c == '\r')) break;
            word.push_back(c);
            ++i;
        }
        if (quoted) throw HostError("unbalanced quote");
        words.push_back(word);
    }
    return words;
}

unsigned long parseNumber(const std::string& text) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 16) throw HostError("'" + text + "' is not a number");
    unsigned long value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            throw HostError("'" + text + "' is not a number");
        unsigned long base = hex ? 16 : 10;
        if (value > (0xFFFFFFFFFFFFul - unsigned(d)) / base)
            throw HostError("'" + text + "' is out of range");
        value = value * base + unsigned(d);
    }
    return value;
}

void ScriptRunner::execute(const std::vector<std::string>& words) {
    if (words.empty()) return;
    const ScriptCommand* command = findScriptCommand(words[0]);
    if (!command) {
        // Anything else is one of Layout's commands.
        std::string line;
        for (const std::string& w : words)
            line += (line.empty() ? "" : " ") + w;
        CommandInterpreter(host_).execute(line);
        host_.afterEvent();
        std::string pending = host_.panels().takePendingError();
        if (pending.empty()) pending = host_.xpanels().takePendingError();
        if (!pending.empty()) throw HostError(pending);
        return;
    }
    std::vector<std::string> args(words.begin() + 1, words.end());
    if (args.size() < command->minArgs || args.size() > command->maxArgs)
        throw HostError(std::string("usage: ") + command->usage);
    command->run(host_, args);
    host_.afterEvent();
    std::string pending = host_.takePendingError();
    if (pending.empty()) pending = host_.panels().takePendingError();
    if (pending.empty()) pending = host_.xpanels().takePendingError();
    if (!pending.empty()) throw HostError(pending);
}

void ScriptRunner::run(std::istream& in, const std::string& name) {
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        try {
            execute(splitScriptLine(line));
        } catch (const HostError& e) {
            throw HostError(name + ":" + std::to_string(number) + ": " + e.what());
        }
    }
}

void ScriptRunner::runFile(const std::string& path) {
    // A folder opens as a stream that reads nothing; it is not a script.
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw HostError(path + ": is a folder, not a script");
    std::ifstream in(path);
    if (!in) throw HostError(path + ": cannot open script");
    size_t slash = lastSeparator(path);
    host_.setContentDirectory(slash == std::string::npos ? "." : path.substr(0, slash));
    run(in, path);
}

} // namespace host
