#include "view/custom_objects.h"

#include "view/custom_access.h"

#include <vector>

namespace host {

namespace {

struct Pending {
    const ServerInstance* instance;
    unsigned int flags;
};

} // namespace

void drawCustomObjects(Raster& raster, const Projector& view, int viewportIndex, const Scene& scene,
                       const InstanceTable& instances, double time) {
    const RasterState saved = raster.state();
    CustomDrawing drawing(raster, view, scene, time);
    std::vector<Pending> overlays;
    auto evaluate = [&](const Pending& p) {
        const LWCustomObjHandler& handler = p.instance->server->customObj;
        const int code =
            (p.flags & LWCOF_VIEWPORT_INDEX) ? viewportIndex : customObjView(view.view().type);
        const int flags = scene.isSelected(p.instance->item) ? LWCOFL_SELECTED : 0;
        const bool depthless = (p.flags & (LWCOF_NO_DEPTH_BUFFER | LWCOF_OVERLAY)) != 0;
        handler.evaluate(p.instance->instance,
                         drawing.begin(p.instance->item, code, flags, depthless));
    };
    // The items first: a handler's callbacks must not change what is drawn.
    std::vector<ServerInstance*> handlers;
    for (const Item* item : scene.items())
        for (ServerInstance* instance : instances.on(item->id, LWCUSTOMOBJ_HCLASS))
            handlers.push_back(instance);
    for (const ServerInstance* instance : handlers) {
        const LWCustomObjHandler& handler = instance->server->customObj;
        if (!handler.evaluate) continue;
        const Pending p{instance, handler.flags ? handler.flags(instance->instance) : 0u};
        if (p.flags & LWCOF_OVERLAY)
            overlays.push_back(p);
        else
            evaluate(p);
    }
    for (const Pending& p : overlays)
        evaluate(p);
    raster.state() = saved;
}

void drawLayoutTool(Raster& raster, const Projector& view, const Scene& scene,
                    const LWLayoutTool* tool, double time) {
    if (!tool || !tool->instance || !tool->tool || !tool->tool->draw) return;
    const RasterState saved = raster.state();
    CustomDrawing drawing(raster, view, scene, time);
    tool->tool->draw(tool->instance,
                     drawing.begin(nullptr, customObjView(view.view().type), 0, false));
    raster.state() = saved;
}

} // namespace host
