#include "bench/module_scene.h"

#include "host/commands/commands.h"
#include "host/mesh/mesh_info.h"

#include <lwdisplce.h>

#include <cstdlib>

namespace bench {

ModuleScene::ModuleScene(const char* modulePath, const host::Mesh& cageMesh,
                         std::shared_ptr<const host::Mesh> deformed)
    : mesh(std::move(deformed)) {
    layout = std::make_unique<host::Host>(out);
    script = std::make_unique<host::ScriptRunner>(*layout);
    const char* other = std::getenv("MORVANE_BENCH_MODULE");
    layout->loadModule(other && *other ? other : modulePath);
    layout->scene().addObject("ref", "/nonexistent/ref.obj",
                              std::make_shared<const host::Mesh>(cageMesh));
    script->execute({"Respond", "OK", "Reference Object=ref"});
    script->execute({"Generic", "Morvane Add"});
    host::Item& target = layout->scene().addObject("cloud", "/nonexistent/cloud.obj", mesh);
    layout->scene().select(target.id);
    host::CommandInterpreter(*layout).execute("ApplyServer DisplacementHandler Zentrik_Morvane");
    cage = static_cast<CageInstance*>(
        layout->instances().on(layout->scene().find("_Cage")->id)[0]->instance);
    handler = layout->instances().on(target.id, LWDISPLACEMENT_HCLASS)[0];
    deform = static_cast<DeformInstance*>(handler->instance);
    info = host::newMeshInfo(mesh);
    ids.resize(mesh->points.size());
    for (std::size_t i = 0; i < ids.size(); ++i)
        ids[i] = host::pointId(info, std::uint32_t(i));
}

ModuleScene::~ModuleScene() {
    if (info) info->destroy(info);
    script.reset();
    layout.reset();
}

void ModuleScene::newFrame() {
    ++frame;
    const double t = frame / layout->scene().timing().framesPerSecond;
    layout->scene().timing().time = t;
    layout->instances().newTime(frame, t);
}

void ModuleScene::setMode(int mode) {
    if (cage->mode == mode) return;
    cage->mode = mode;
    cage->rebuildNeeded = 1;
    newFrame();
    double ignored[3];
    evaluate(0, ignored);
}

void ModuleScene::evaluate(std::size_t i, double result[3], double shift) {
    const host::Point& p = mesh->points[i];
    LWDisplacementAccess access{};
    access.oPos[0] = p.x;
    access.source[0] = p.x + shift;
    access.oPos[1] = access.source[1] = p.y;
    access.oPos[2] = access.source[2] = p.z;
    access.point = ids[i];
    access.info = info;
    handler->server->displacement.evaluate(handler->instance, &access);
    result[0] = access.source[0];
    result[1] = access.source[1];
    result[2] = access.source[2];
}

} // namespace bench
