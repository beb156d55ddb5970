#include "tool/tool_selection.h"

#include <stdlib.h>
#include <string.h>

#include "module/memory.h"
#include "module/ring_protocol.h"
#include "tool/tool_services.h"

namespace {

const int kSelectionGrowth = 256;

int isSelected(const EditCageState* state, const CageInstance* cage) {
    for (int i = 0; i < state->selectedCageCount; ++i)
        if (state->selectedCages[i] == cage) return 1;
    return 0;
}

int clearPointsOf(CageInstance* cage) {
    int cleared = 0;
    for (int i = 0; i < cage->pointCount; ++i)
        if (cage->pointArray[i]->selected) {
            cage->pointArray[i]->selected = 0;
            ++cleared;
        }
    return cleared;
}

} // namespace

int add1CageToSelection(EditCageState* state, CageInstance* cage, int force) {
    if (!cage || cage->highlighted || isSelected(state, cage)) return 0;
    if (!force && cage->display == 0) return 0;
    if (state->selectedCageCount == state->selectedCageCapacity) {
        int capacity = state->selectedCageCapacity + kSelectionGrowth;
        auto* grown =
            static_cast<CageInstance**>(morvaneCalloc(size_t(capacity), sizeof(CageInstance*)));
        if (!grown) return 0;
        if (state->selectedCageCount)
            memcpy(grown, state->selectedCages,
                   size_t(state->selectedCageCount) * sizeof(CageInstance*));
        morvaneFree(state->selectedCages);
        state->selectedCages = grown;
        state->selectedCageCapacity = capacity;
    }
    cage->highlighted = 1;
    cage->forceShow = 1;
    state->selectedCages[state->selectedCageCount++] = cage;
    return 1;
}

int remove1CageFromSelection(EditCageState* state, CageInstance* cage) {
    if (!cage || !cage->highlighted) return 0;
    int at = -1;
    for (int i = 0; i < state->selectedCageCount; ++i)
        if (state->selectedCages[i] == cage) at = i;
    if (at < 0) return 0;
    cage->highlighted = 0;
    cage->forceShow = 0;
    state->selectedPointCount -= clearPointsOf(cage);
    if (state->selectedPointCount < 0) state->selectedPointCount = 0;
    memmove(state->selectedCages + at, state->selectedCages + at + 1,
            size_t(state->selectedCageCount - at - 1) * sizeof(CageInstance*));
    --state->selectedCageCount;
    return 1;
}

void clearCageSelection(EditCageState* state) {
    for (int i = 0; i < state->selectedCageCount; ++i) {
        CageInstance* cage = state->selectedCages[i];
        cage->highlighted = 0;
        cage->forceShow = 0;
        clearPointsOf(cage);
    }
    state->selectedCageCount = 0;
    state->selectedPointCount = 0;
}

void recountPointSelectionForSelectedCages(EditCageState* state) {
    int count = 0;
    for (int i = 0; i < state->selectedCageCount; ++i) {
        const CageInstance* cage = state->selectedCages[i];
        for (int p = 0; p < cage->pointCount; ++p)
            if (cage->pointArray[p]->selected) ++count;
    }
    state->selectedPointCount = count;
}

int getListOfCagesInThisScene(EditCageState* state) {
    int count = 0;
    void** list = collectRingList(stToolServices.comRing, RING_TOPIC_CAGES, kRingListWithPoints,
                                  nullptr, &count);
    morvaneFree(state->sceneCages);
    state->sceneCages = reinterpret_cast<CageInstance**>(list);
    state->sceneCageCount = list ? count : 0;
    state->sceneCageCapacity = list ? count + 16 : 0;
    return state->sceneCageCount;
}

void freeCageLists(EditCageState* state) {
    morvaneFree(state->selectedCages);
    state->selectedCages = nullptr;
    state->selectedCageCount = state->selectedCageCapacity = 0;
    state->selectedPointCount = 0;
    morvaneFree(state->sceneCages);
    state->sceneCages = nullptr;
    state->sceneCageCount = state->sceneCageCapacity = 0;
}
