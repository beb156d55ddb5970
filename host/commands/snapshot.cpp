#include "commands/snapshot.h"

#include "commands/script.h"
#include "common/host_error.h"
#include "core/host_core.h"
#include "view/viewport_drawing.h"

#include <ostream>

namespace host {

void snapshot(HostCore& host, const std::vector<std::string>& args) {
    const ViewportWindow& window = host.viewports();
    const DrawnScene what{host.scene(), host.instances(), &host.toolRecord(),
                          host.scene().timing().time};
    const std::string& path = args.back();
    Raster picture = [&] {
        if (args.size() == 1) return drawWindow(window, what);
        const unsigned long index = parseNumber(args[0]);
        if (index >= unsigned(window.count()))
            throw HostError("no viewport " + args[0] + " (the window has " +
                            std::to_string(window.count()) + ", numbered from 0)");
        return drawViewportAlone(window, int(index), what);
    }();
    std::string error;
    if (!writePng(host.resolvePath(path), picture, error))
        throw HostError("cannot write " + path + ": " + error);
    host.out() << "snapshot: " << path << " (" << picture.width() << " x " << picture.height()
               << ")\n";
}

} // namespace host
