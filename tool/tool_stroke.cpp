#include "tool/tool_stroke.h"

#include <math.h>

#include "cage/cage_keys.h"
#include "geometry/vector.h"
#include "tool/tool_services.h"
#include "tool/tool_undo.h"

void recordStrokeStep(EditCageState* state) {
    rec1Process(state, 1, state->editBaseCage ? kUndoBaseShape : 0, state->currentTime);
}

void takeEditKey(EditCageState* state, CageInstance* cage) {
    cage->editKey =
        state->editBaseCage ? nullptr : getMakeEvaluatedCageKeyAtTime(cage, state->currentTime);
}

void storeMovedPoint(EditCageState* state, CageInstance* cage, PointData* point,
                     const double world[3]) {
    // Nothing that is not a number reaches a shape the scene keeps.
    if (!isfinite(world[0]) || !isfinite(world[1]) || !isfinite(world[2])) return;
    double d[3], local[3];
    sub3D(world, cage->worldAxes[3], d);
    for (int k = 0; k < 3; ++k)
        local[k] = dot3D(cage->worldAxes[k], d);
    if (state->editBaseCage) {
        copy3D(local, point->basePos);
        cage->rebuildNeeded = 1;
    } else if (cage->editKey && point->index < unsigned(cage->pointCount)) {
        for (int k = 0; k < 3; ++k)
            cage->editKey->deltas[3 * point->index + k] = local[k] - point->refPos[k];
    } else {
        return;
    }
    copy3D(world, point->worldOtherPos);
}

void refreshAfterStroke(void) {
    toolCommand("RefreshNow");
}
