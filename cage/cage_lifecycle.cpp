#include "cage/cage_lifecycle.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cage/cage_display.h"
#include "cage/cage_envelope.h"
#include "cage/cage_frames.h"
#include "cage/cage_keys.h"
#include "cage/cage_mesh_build.h"
#include "cage/cage_model.h"
#include "cage/cage_ring.h"
#include "cage/cage_services.h"
#include "cage/cage_storage.h"
#include "geometry/element_grids.h"
#include "geometry/rotation.h"
#include "geometry/vector.h"
#include "module/host_services.h"
#include "module/items.h"
#include "module/memory.h"
#include "module/ring_protocol.h"
#include "module/strings.h"
#include "module/version.h"

double stCageSelectedColor[3] = {1.0, 0.8, 0.0};
double stCageUnselectedColor[3] = {0.0, 0.0, 0.0};
double stCageOpacity = 0.12;

namespace {

const char* const kAllocationFailed = "Couldn't allocate instance data.";
LWItemID stUseItems[3];

void setDefaults(CageInstance* cage, LWItemID item) {
    snprintf(cage->description, sizeof cage->description, "Morvane %0.2f", double(MORVANE_VERSION));
    cage->itemID = item;
    cage->notYetTimed = 1;
    cage->refreshPending = 1;
    cage->evalTime = 0.0;
    cage->display = 2;
    copyCString(cage->groupName, "name");
    copy3D(stCageSelectedColor, cage->selectedColor);
    copy3D(stCageUnselectedColor, cage->unselectedColor);
    cage->opacity = stCageOpacity;
    cage->mode = kCageModeSkin;
    cage->falloffType = 1;
    cage->parallelDistance = 0.001;
    cage->perpendicularDistance = 0.01;
    cage->envelopeMute = 1;
    cage->rebuildNeeded = 1;
}

// Sets the value of the channel's key at time 0, making one when needed.
void keyChannelAtZero(LWChannelInfo* channels, LWEnvelopeFuncs* env, LWChanGroupID group,
                      const char* name, double value) {
    LWEnvelopeID envelope = findEnv(channels, group, name);
    if (!envelope) return;
    if (LWEnvKeyframeID key = env->findKey(envelope, 0.0))
        env->keySet(envelope, key, LWKEY_VALUE, &value);
    else
        env->createKey(envelope, 0.0, value);
}

// Places the cage's Null where the source object is, keyed at time 0.
void placeNullAtObject(CageInstance* cage, LWItemInfo* items, LWChannelInfo* channels,
                       LWEnvelopeFuncs* env, LWItemID object, double t) {
    LWChanGroupID group = items->chanGroup(cage->itemID);
    if (!group) return;
    double position[3], right[3], forward[3], hpb[3];
    items->param(object, LWIP_W_POSITION, t, position);
    items->param(object, LWIP_RIGHT, t, right);
    items->param(object, LWIP_FORWARD, t, forward);
    normalize3D(right);
    normalize3D(forward);
    getOilarRotFromAxisVec(hpb, forward, right);
    const char* const names[6] = {"Position.X", "Position.Y", "Position.Z",
                                  "Rotation.H", "Rotation.P", "Rotation.B"};
    const double values[6] = {position[0], position[1], position[2], hpb[0], hpb[1], hpb[2]};
    for (int i = 0; i < 6; ++i)
        keyChannelAtZero(channels, env, group, names[i], values[i]);
    const char* const scales[3] = {"Scale.X", "Scale.Y", "Scale.Z"};
    for (const char* name : scales) {
        LWEnvelopeID envelope = findEnv(channels, group, name);
        if (envelope && !env->findKey(envelope, 0.0))
            env->createKey(envelope, 0.0, env->evaluate(envelope, 0.0));
    }
}

void readAxes(LWItemInfo* items, LWItemID item, double t, double axes[4][3]) {
    items->param(item, LWIP_RIGHT, t, axes[0]);
    items->param(item, LWIP_UP, t, axes[1]);
    items->param(item, LWIP_FORWARD, t, axes[2]);
    items->param(item, LWIP_W_POSITION, t, axes[3]);
    for (int k = 0; k < 3; ++k)
        normalize3D(axes[k]);
}

// r = R^T (q - W): a world point in the cage's frame at evalTime.
void worldToCage(const CageInstance* cage, const double q[3], double r[3]) {
    double d[3];
    sub3D(q, cage->worldAxes[3], d);
    for (int k = 0; k < 3; ++k)
        r[k] = dot3D(d, cage->worldAxes[k]);
}

void toWorld(const CageInstance* cage, const double p[3], double out[3]) {
    for (int c = 0; c < 3; ++c)
        out[c] = cage->worldAxes[0][c] * p[0] + cage->worldAxes[1][c] * p[1] +
                 cage->worldAxes[2][c] * p[2] + cage->worldAxes[3][c];
}

size_t referenceScan(CageInstance* cage, LWPntID point, int baseMode) {
    if (cage->scanCounter >= cage->pointCount) return 1;
    PointData* p = cage->pointArray[cage->scanCounter++];
    float q[3];
    cage->meshInfo->pntOtherPos(cage->meshInfo, point, q);
    double qd[3] = {q[0], q[1], q[2]}, r[3];
    worldToCage(cage, qd, r);
    if (baseMode) copy3D(r, p->restPos);
    copy3D(r, p->refPos);
    for (int c = 0; c < 3; ++c)
        p->otherPos[c] += r[c] - p->basePos[c];
    return 0;
}

void followReference(CageInstance* cage, LWObjectInfo* objects) {
    LWItemID source = cage->refObject ? cage->refObject : cage->itemID;
    LWMeshInfo* mesh = objects ? objects->meshInfo(source, 1) : nullptr;
    if (mesh) {
        cage->meshInfo = mesh;
        cage->scanCounter = 0;
        mesh->scanPoints(
            mesh, cage->refMode == 1 ? getBaseDeltaWithRefCage : getOtherDeltaWithRefCage, cage);
        cage->meshInfo = nullptr;
        if (mesh->destroy) mesh->destroy(mesh);
    }
    cage->rebuildNeeded = 1;
}

void rebuildRestData(CageInstance* cage) {
    rebuildCageRestData(cage);
    if (cage->mode == kCageModeVolume) {
        if (cage->ignoreOutside) makeTrisMat2D(cage);
    } else {
        makeTrisMat3D(cage);
        makeLineMat3D(cage);
    }
    cage->rebuildNeeded = 0;
}

} // namespace

XCALL_(LWInstance) CageCustomCreate(void*, void* context, LWError* error) {
    CageInstance* cage = static_cast<CageInstance*>(morvaneCalloc(1, sizeof(CageInstance)));
    if (!cage) {
        if (error) *error = kAllocationFailed;
        return nullptr;
    }
    setDefaults(cage, static_cast<LWItemID>(context));
    static unsigned int serialCounter = 0;
    cage->serial = ++serialCounter;

    auto* ring = static_cast<LWComRing*>(acquireService("LW Communication Ring"));
    auto* channels = static_cast<LWChannelInfo*>(acquireService("Channel Info 2"));
    auto* env = static_cast<LWEnvelopeFuncs*>(acquireService("Animation Envelopes"));
    auto* items = static_cast<LWItemInfo*>(acquireService("LW Item Info 5"));
    auto* objects = static_cast<LWObjectInfo*>(acquireService("LW Object Info 7"));
    auto* iface = static_cast<LWInterfaceInfo*>(acquireService("LW Interface Info 7"));
    createCageEnvelope(cage, items, channels, env);
    cage->envelopeMute = 0;

    EditCageQuery tool = {nullptr};
    sendRingMessage(ring, RING_TOPIC_TOOL, kToolIsRunning, &tool);
    if (tool.pointer) {
        cage->highlighted = 0;
        EditCageQuery created = {cage};
        sendRingMessage(ring, RING_TOPIC_TOOL, kToolCageCreated, &created);
    } else {
        cage->highlighted = 1;
    }

    CageOrder order = {nullptr, nullptr};
    sendRingMessage(ring, RING_TOPIC_ORDER, 1, &order);
    if (order.sourceObject && items && objects) {
        double t = iface ? iface->curTime : 0.0;
        if (order.parentItem) {
            cage->refObject = order.sourceObject;
            cage->refObjectIndex = indexByObjectID(items, order.sourceObject);
        } else if (channels && env) {
            placeNullAtObject(cage, items, channels, env, order.sourceObject, t);
        }
        // The build ends with the adjacency and perpendicularDistance; the
        // first key is made once, here. A cage that cannot have its first
        // key stays empty, as one whose build ran out of memory does.
        const int points =
            buildCageFromMesh(cage, objects, items, iface, order.sourceObject, order.parentItem);
        if (points > 0 && !getMakeEvaluatedCageKeyAtTime(cage, 0.0)) destroyCageData(cage);
    }
    refreshLWEnvelopeForThisLattice(cage, env);
    attachRing(ring, RING_TOPIC_CAGES, cage, ringEvent);
    return cage;
}

XCALL_(void) CageCustomDestroy(LWInstance instance) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    if (!cage) return;
    auto* ring = static_cast<LWComRing*>(acquireService("LW Communication Ring"));
    auto* env = static_cast<LWEnvelopeFuncs*>(acquireService("Animation Envelopes"));
    destroyCageEnvelope(cage, env);
    EditCageQuery gone = {cage};
    sendRingMessage(ring, RING_TOPIC_TOOL, kToolCageDestroyed, &gone);
    detachRing(ring, RING_TOPIC_CAGES, cage);
    freeCageGrids(cage);
    destroyCageData(cage);
    morvaneFree(cage);
}

XCALL_(const char*) CageCustomDescribe(LWInstance instance) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    return cage ? cage->description : "";
}

XCALL_(const LWItemID*) CageCustomUseItems(LWInstance instance) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    if (!cage) return nullptr;
    stUseItems[0] = cage->itemID;
    stUseItems[1] = cage->refObject;
    stUseItems[2] = LWITEM_NULL;
    return stUseItems;
}

XCALL_(void) CageCustomChangeID(LWInstance instance, const LWItemID* ids) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    if (!cage || !ids) return;
    for (const LWItemID* pair = ids; pair[0]; pair += 2) {
        if (pair[0] == cage->itemID) {
            cage->itemID = pair[1];
        } else if (pair[0] == cage->refObject) {
            cage->refObject = pair[1];
            auto* items = static_cast<LWItemInfo*>(acquireService("LW Item Info 5"));
            cage->refObjectIndex = indexByObjectID(items, pair[1]);
            cage->rebuildNeeded = 1;
        }
    }
}

XCALL_(LWError) CageCustomInit(LWInstance, int) {
    return nullptr;
}

XCALL_(void) CageCustomCleanup(LWInstance) {}

XCALL_(LWError) CageCustomNewTime(LWInstance instance, LWFrame, LWTime time) {
    CageInstance* cage = static_cast<CageInstance*>(instance);
    if (!cage) return nullptr;
    stCageServices.itemInfo = static_cast<LWItemInfo*>(acquireService("LW Item Info 5"));
    stCageServices.objectFuncs = static_cast<LWObjectFuncs*>(acquireService("Scene Objects 6"));
    cage->notYetTimed = 0;
    cage->refreshPending = 1;
    cage->evalTime = time;
    cage->smoothDistanceClamped = fmax(cage->smoothDistance, 2e-6);
    cage->parallelDistanceClamped = fmax(cage->parallelDistance, 4e-6);
    cage->perpendicularDistanceClamped = fmax(cage->perpendicularDistance, 4e-6);
    return nullptr;
}

XCALL_(unsigned int) CageCustomFlags(LWInstance) {
    return LWCOF_VIEWPORT_INDEX;
}

size_t getBaseDeltaWithRefCage(void* cage, LWPntID point) {
    return referenceScan(static_cast<CageInstance*>(cage), point, 1);
}

size_t getOtherDeltaWithRefCage(void* cage, LWPntID point) {
    return referenceScan(static_cast<CageInstance*>(cage), point, 0);
}

void getCageParmAfterIK(CageInstance* cage) {
    if (!cage) return;
    auto* items = static_cast<LWItemInfo*>(acquireService("LW Item Info 5"));
    auto* objects = static_cast<LWObjectInfo*>(acquireService("LW Object Info 7"));
    double t = cage->evalTime;
    if (items) {
        readAxes(items, cage->itemID, t, cage->worldAxes);
        readAxes(items, cage->itemID, 0.0, cage->zeroAxes);
    }

    for (int i = 0; i < cage->pointCount; ++i) {
        PointData* p = cage->pointArray[i];
        copy3D(p->basePos, p->restPos);
        copy3D(p->basePos, p->refPos);
    }
    setEvaluatedCageOtherPosAtTime(cage, t);

    if (cage->refObject && !objectExistsWithItemID(items, cage->refObject)) {
        cage->refObject = LWITEM_NULL;
        cage->refObjectIndex = 0;
        cage->rebuildNeeded = 1;
    }
    if (!cage->refObject) cage->refObjectIndex = 0;
    if (cage->refMode > 0) followReference(cage, objects);

    if (cage->pointCount <= 0) return;
    if (cage->rebuildNeeded) rebuildRestData(cage);

    for (int i = 0; i < cage->pointCount; ++i) {
        PointData* p = cage->pointArray[i];
        if (cage->showBase) {
            toWorld(cage, p->basePos, p->worldRestPos);
            copy3D(p->worldRestPos, p->worldOtherPos);
        } else {
            setPointWorldPositions(cage, p);
        }
    }
    refreshPolygonCenters(cage);
    for (LinegonData* lin = cage->linegonList; lin; lin = lin->next)
        refreshLinegonFrame(cage, lin);
    refreshAllTrigons(cage);
}

void fillCageHandler(LWCustomObjHandler* local) {
    if (local->inst) {
        local->inst->create = CageCustomCreate;
        local->inst->destroy = CageCustomDestroy;
        local->inst->load = CageCustomLoad;
        local->inst->save = CageCustomSave;
        local->inst->copy = CageCustomCopy;
        local->inst->descln = CageCustomDescribe;
    }
    if (local->item) {
        local->item->useItems = CageCustomUseItems;
        local->item->changeID = CageCustomChangeID;
    }
    if (local->rend) {
        local->rend->init = CageCustomInit;
        local->rend->cleanup = CageCustomCleanup;
        local->rend->newTime = CageCustomNewTime;
    }
    local->evaluate = CageCustomEvaluate;
    local->flags = CageCustomFlags;
}
