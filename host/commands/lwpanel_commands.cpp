#include "commands/lwpanel_commands.h"

#include "common/host_error.h"
#include "core/host_core.h"
#include "ui/number_text.h"
#include "view/lwpanel_picture.h"

namespace host {

namespace {

int coordinate(const std::string& word) {
    long v = 0;
    if (!parseWholeInt(word, v)) throw HostError("'" + word + "' is not a whole number");
    return int(v);
}

void click(HostCore& h, const std::vector<std::string>& a, int button) {
    if (a.size() == 1) return h.panels().click(a[0], button, nullptr);
    const int xy[2] = {coordinate(a[1]), coordinate(a[2])};
    h.panels().click(a[0], button, xy);
}

} // namespace

std::pair<int, int> lwPanelSnapshot(HostCore& h, const std::string& title,
                                    const std::string& path) {
    Raster picture = drawLWPanelPicture(h.panels().picture(title));
    std::string why;
    if (!writePng(path, picture, why)) throw HostError(why);
    return {picture.width(), picture.height()};
}

const ScriptCommandTable& lwPanelScriptCommands() {
    using Args = std::vector<std::string>;
    static const ScriptCommandTable commands = {
        {"PanelPress",
         {2, 2, "PanelPress \"TITLE\" \"LABEL\"",
          [](HostCore& h, const Args& a) { h.panels().press(a[0], a[1]); }}},
        {"PanelTick",
         {3, 3, "PanelTick \"TITLE\" \"LABEL\" on|off",
          [](HostCore& h, const Args& a) {
              if (a[2] != "on" && a[2] != "off")
                  throw HostError("expected on or off, not '" + a[2] + "'");
              h.panels().tick(a[0], a[1], a[2] == "on");
          }}},
        {"PanelChoose",
         {3, 3, "PanelChoose \"TITLE\" \"LABEL\" ENTRY|#N",
          [](HostCore& h, const Args& a) { h.panels().choose(a[0], a[1], a[2]); }}},
        {"PanelType",
         {3, 3, "PanelType \"TITLE\" \"LABEL\" VALUE",
          [](HostCore& h, const Args& a) { h.panels().type(a[0], a[1], a[2]); }}},
        {"PanelClick",
         {3, 3, "PanelClick \"TITLE\" X Y",
          [](HostCore& h, const Args& a) { click(h, a, MOUSE_LEFT); }}},
        {"PanelRightClick",
         {1, 3, "PanelRightClick \"TITLE\" [X Y]",
          [](HostCore& h, const Args& a) {
              if (a.size() == 2) throw HostError("usage: PanelRightClick \"TITLE\" [X Y]");
              click(h, a, MOUSE_RIGHT);
          }}},
        {"PanelClose",
         {1, 1, "PanelClose \"TITLE\"",
          [](HostCore& h, const Args& a) { h.panels().userClose(a[0]); }}},
        {"PanelValue",
         {2, 2, "PanelValue \"TITLE\" \"LABEL\"",
          [](HostCore& h, const Args& a) {
              std::string value = h.panels().value(a[0], a[1]);
              h.out() << "panel: " << a[1] << " = " << value << "\n";
          }}},
    };
    return commands;
}

} // namespace host
