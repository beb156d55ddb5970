// A scene for timing the deformer through the module file as the host loads
// it: a reference object, the add-cage command, the displacement handler on
// the mesh. The timed calls are the host's own per-point call (the handler
// record's evaluate) with the access record the host would fill, so the
// host's transform and bookkeeping stay out of the figures.
#ifndef MORVANE_BENCH_MODULE_SCENE_H
#define MORVANE_BENCH_MODULE_SCENE_H

#include "host/commands/script.h"
#include "host/host.h"
#include "host/mesh/mesh.h"
#include "host/plugins/instances.h"

#include "cage_instance.h"
#include "deform_instance.h"

#include <memory>
#include <sstream>
#include <vector>

namespace bench {

// Only one may live at a time: the module's statics are per process.
class ModuleScene {
  public:
    // Loads the module (MORVANE_BENCH_MODULE names another build of it, for
    // A/B runs), builds the cage from `cageMesh` and deforms `mesh` with it.
    ModuleScene(const char* modulePath, const host::Mesh& cageMesh,
                std::shared_ptr<const host::Mesh> mesh);
    ~ModuleScene();
    ModuleScene(const ModuleScene&) = delete;
    ModuleScene& operator=(const ModuleScene&) = delete;

    // What the host does at a frame change: every handler's NewTime. The
    // cages refresh on the first Evaluate after it.
    void newFrame();

    // Switches the cage to kCageModeSkin or kCageModeVolume and rebuilds it.
    void setMode(int mode);

    // The host's call for point i, its result in out[3]; the mesh sits at
    // the origin unrotated, so object and world coordinates agree. `shift`
    // moves the point along x before the deformer (as a bone would).
    void evaluate(std::size_t i, double out[3], double shift = 0.0);

    std::ostringstream out;
    std::unique_ptr<host::Host> layout;
    std::unique_ptr<host::ScriptRunner> script;
    CageInstance* cage = nullptr;
    DeformInstance* deform = nullptr;
    host::ServerInstance* handler = nullptr;
    std::shared_ptr<const host::Mesh> mesh;
    LWMeshInfo* info = nullptr;
    std::vector<LWPntID> ids;
    int frame = 0;
};

} // namespace bench

#endif // MORVANE_BENCH_MODULE_SCENE_H
