#include "cage/cage_mesh_build.h"
#include "module/items.h"

#include "cage/cage_model.h"
#include "geometry/vector.h"
#include "module/memory.h"

#include <cstdint>
#include <cstdlib>

namespace {

// IDs are compared on their low 32 bits, as unsigned numbers.
std::uint32_t idKey(LWPntID id) {
    return std::uint32_t(reinterpret_cast<std::uintptr_t>(id));
}

// Faces and subdivision-patch cages (PTCH, SUBD) count by their points;
// curves, metaballs and skelegons are no surface.
bool acceptedPolygon(LWMeshInfo* mesh, LWPolID pol, int* size) {
    LWID type = mesh->polType(mesh, pol);
    if (type != LWPOLTYPE_FACE && type != LWPOLTYPE_PTCH && type != LWPOLTYPE_SUBD) return false;
    *size = mesh->polSize(mesh, pol);
    return *size >= 2 && *size <= 4;
}

void releaseScratch(CageInstance* cage) {
    morvaneFree(cage->pntUserBlock);
    morvaneFree(cage->pntUserByScan);
    morvaneFree(cage->pntUserById);
    cage->pntUserBlock = nullptr;
    cage->pntUserByScan = nullptr;
    cage->pntUserById = nullptr;
    if (cage->meshInfo && cage->meshInfo->destroy) cage->meshInfo->destroy(cage->meshInfo);
    cage->meshInfo = nullptr;
}

int failBuild(CageInstance* cage) {
    releaseScratch(cage);
    destroyCageData(cage);
    return -1;
}

} // namespace

size_t initPntUserDataList(void* data, LWPntID pnt) {
    CageInstance* cage = static_cast<CageInstance*>(data);
    // The frozen mesh may hold more points than the object reported.
    if (cage->scanCounter >= cage->meshPointCount) return 0;
    PntUserData* u = &cage->pntUserBlock[cage->scanCounter];
    u->id = pnt;
    u->sequence = unsigned(cage->scanCounter);
    u->point = nullptr;

    LWMeshInfo* mesh = cage->meshInfo;
    float f[3] = {0.0f, 0.0f, 0.0f};
    if (cage->buildForParent) {
        mesh->pntOtherPos(mesh, pnt, f);
        const double(*ax)[3] = cage->parentAxes;
        const double d[3] = {f[0] - ax[3][0], f[1] - ax[3][1], f[2] - ax[3][2]};
        u->pos[0] = dot3D(d, ax[0]);
        u->pos[1] = dot3D(d, ax[1]);
        u->pos[2] = dot3D(d, ax[2]);
    } else {
        mesh->pntBasePos(mesh, pnt, f);
        for (int i = 0; i < 3; ++i)
            u->pos[i] = double(f[i]) * cage->meshScale[i];
    }
    cage->pntUserByScan[cage->scanCounter] = u;
    cage->pntUserById[cage->scanCounter] = u;
    ++cage->scanCounter;
    return 0;
}

void sortPntUserDataList(PntUserData** list, int first, int last) {
    // Recurse into the smaller part only, so the depth stays logarithmic.
    while (first < last) {
        const std::uint32_t pivot = idKey(list[first + (last - first) / 2]->id);
        int i = first, j = last;
        while (i <= j) {
            while (idKey(list[i]->id) < pivot)
                ++i;
            while (idKey(list[j]->id) > pivot)
                --j;
            if (i <= j) {
                PntUserData* t = list[i];
                list[i] = list[j];
                list[j] = t;
                ++i;
                --j;
            }
        }
        if (j - first < last - i) {
            sortPntUserDataList(list, first, j);
            first = i;
        } else {
            sortPntUserDataList(list, i, last);
            last = j;
        }
    }
}

PntUserData* findPntUserData(PntUserData** list, int count, LWPntID id) {
    const std::uint32_t key = idKey(id);
    int lo = 0, hi = count - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const std::uint32_t k = idKey(list[mid]->id);
        if (k < key) {
            lo = mid + 1;
        } else if (k > key) {
            hi = mid - 1;
        } else {
            // IDs that share their low bits sit together; match the whole ID.
            int i = mid;
            while (i > 0 && idKey(list[i - 1]->id) == key)
                --i;
            for (; i < count && idKey(list[i]->id) == key; ++i)
                if (list[i]->id == id) return list[i];
            return nullptr;
        }
    }
    return nullptr;
}

size_t getCageInfo(void* data, LWPolID pol) {
    CageInstance* cage = static_cast<CageInstance*>(data);
    int size = 0;
    if (!acceptedPolygon(cage->meshInfo, pol, &size)) return 0;
    if (size == 4)
        ++cage->polygonCount;
    else if (size == 3)
        ++cage->trigonCount;
    else
        ++cage->linegonCount;
    return 0;
}

size_t getCageData(void* data, LWPolID pol) {
    CageInstance* cage = static_cast<CageInstance*>(data);
    LWMeshInfo* mesh = cage->meshInfo;
    int size = 0;
    if (!acceptedPolygon(mesh, pol, &size)) return 0;
    // A kind whose block is full was not counted: skip it before making points.
    if ((size == 4 && cage->polygonCount >= cage->polygonBlockSize) ||
        (size == 3 && cage->trigonCount >= cage->trigonBlockSize) ||
        (size == 2 && cage->linegonCount >= cage->linegonBlockSize))
        return 0;

    PntUserData* users[4];
    for (int v = 0; v < size; ++v) {
        users[v] =
            findPntUserData(cage->pntUserById, cage->scanCounter, mesh->polVertex(mesh, pol, v));
        if (!users[v]) return 0;
    }
    PointData* pnt[4];
    for (int v = 0; v < size; ++v) {
        if (!users[v]->point) users[v]->point = add1PointData(cage, users[v]->pos);
        if (!users[v]->point) return 0;
        pnt[v] = users[v]->point;
    }
    if (size == 4)
        add1PolygonData(cage, pnt[0], pnt[1], pnt[2], pnt[3]);
    else if (size == 3)
        add1TrigonData(cage, pnt[0], pnt[1], pnt[2]);
    else
        add1LinegonData(cage, pnt[0], pnt[1]);
    return 0;
}

int buildCageFromMesh(CageInstance* cage, LWObjectInfo* objectInfo, LWItemInfo* itemInfo,
                      LWInterfaceInfo* interfaceInfo, LWItemID object, LWItemID parent) {
    destroyCageData(cage);
    cage->meshInfo = nullptr; // a reference scan destroys its own handle
    cage->scanCounter = 0;
    cage->buildForParent = 0;
    const double t = interfaceInfo ? interfaceInfo->curTime : 0.0;

    const int points = objectInfo->numPoints(object);
    const int polygons = objectInfo->numPolygons(object);
    cage->meshPointCount = points > 0 ? points : 0;
    cage->meshPolygonCount = polygons > 0 ? polygons : 0;
    if (points > 0 && polygons > 0) cage->meshInfo = objectInfo->meshInfo(object, 1);

    if (cage->meshInfo) {
        if (parent) {
            itemInfo->param(parent, LWIP_W_POSITION, t, cage->parentAxes[3]);
            itemInfo->param(parent, LWIP_RIGHT, t, cage->parentAxes[0]);
            itemInfo->param(parent, LWIP_UP, t, cage->parentAxes[1]);
            itemInfo->param(parent, LWIP_FORWARD, t, cage->parentAxes[2]);
            for (int i = 0; i < 3; ++i)
                normalize3D(cage->parentAxes[i]);
            cage->buildForParent = 1;
            cage->refObject = object;
            cage->refObjectIndex = indexByObjectID(itemInfo, object);
        } else {
            itemInfo->param(object, LWIP_SCALING, t, cage->meshScale);
        }

        const std::size_t n = std::size_t(points);
        cage->pntUserBlock = static_cast<PntUserData*>(morvaneCalloc(n, sizeof(PntUserData)));
        cage->pntUserByScan = static_cast<PntUserData**>(morvaneCalloc(n, sizeof(PntUserData*)));
        cage->pntUserById = static_cast<PntUserData**>(morvaneCalloc(n, sizeof(PntUserData*)));
        if (!cage->pntUserBlock || !cage->pntUserByScan || !cage->pntUserById)
            return failBuild(cage);

        LWMeshInfo* mesh = cage->meshInfo;
        mesh->scanPoints(mesh, initPntUserDataList, cage);
        if (cage->scanCounter > 1) sortPntUserDataList(cage->pntUserById, 0, cage->scanCounter - 1);

        cage->linegonCount = cage->trigonCount = cage->polygonCount = 0;
        mesh->scanPolys(mesh, getCageInfo, cage);
        const int lins = cage->linegonCount, tris = cage->trigonCount, quads = cage->polygonCount;
        if (!allocCageBlocks(cage, cage->scanCounter, lins, tris, quads)) return failBuild(cage);
        mesh->scanPolys(mesh, getCageData, cage);

        if (cage->pointCount > 0) {
            cage->pointArray = static_cast<PointData**>(
                morvaneCalloc(std::size_t(cage->pointCount), sizeof(PointData*)));
            if (!cage->pointArray) return failBuild(cage);
            int place = 0;
            for (int i = 0; i < cage->scanCounter; ++i) {
                PointData* p = cage->pntUserByScan[i]->point;
                if (!p) continue;
                p->index = unsigned(place);
                cage->pointArray[place++] = p;
            }
        }
        releaseScratch(cage);
    }

    // The first key at time 0 follows in the caller when there are points.
    const double distance = createEdgeData(cage, 1);
    if (distance < 0.0) return failBuild(cage);
    cage->perpendicularDistance = distance;
    return cage->pointCount;
}
