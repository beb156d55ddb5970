// A stand-in Layout with cages made by the cage server's own create callback,
// and an edit-tool state whose ring and commands reach that Layout.
#ifndef MORVANE_TESTS_TOOL_KEYS_SUPPORT_H
#define MORVANE_TESTS_TOOL_KEYS_SUPPORT_H

#include "cage/cage_keys.h"
#include "cage/cage_lifecycle.h"
#include "cage/cage_model.h"
#include "module/memory.h"
#include "tool/tool_mixed_keys.h"
#include "tool/tool_selection.h"
#include "tool/tool_services.h"
#include "tool/tool_undo.h"

#include "host/host.h"

#include "../support/in_process_cage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

class ToolKeysTest : public testing::Test {
  protected:
    ToolKeysTest() : layout(log) {
        installCageServices(layout);
        auto& s = layout.services();
        stToolServices = ToolServices{};
        stToolServices.comRing = stCageServices.comRing;
        stToolServices.envelopeFuncs = stCageServices.envelopeFuncs;
        stToolServices.sceneInfo = static_cast<LWSceneInfo*>(s.lookup("LW Scene Info 6"));
        stToolServices.command = reinterpret_cast<LWCommandFunc*>(s.lookup(LWCOMMANDFUNC_GLOBAL));
        std::memset(&state, 0, sizeof state);
        state.mixKeyChunkSize = kMixKeyChunkSize;
        addNewMixEnvKeyMemChunk(&state, kMixKeyChunkSize);
    }
    ~ToolKeysTest() override {
        clearCageSelection(&state);
        freeCageLists(&state);
        destroyMixEnvelopeKeyData(&state);
        destroyUndoStcData(&state);
        while (!cages.empty())
            destroy(cages.back());
        stToolServices = ToolServices{};
        stCageServices = CageServices{};
        stGlobal = nullptr;
    }

    // A cage of n points at (i + seed, i * seed, 1), selected when asked.
    CageInstance* newCage(int n, bool select = true, double seed = 0.5) {
        CageInstance* cage = makePointCage(layout, "Lattice" + std::to_string(++nulls), n, seed);
        cages.push_back(cage);
        if (select) add1CageToSelection(&state, cage, 1);
        return cage;
    }
    void destroy(CageInstance* cage) {
        remove1CageFromSelection(&state, cage);
        CageCustomDestroy(cage);
        for (auto& c : cages)
            if (c == cage) c = nullptr;
        cages.erase(std::remove(cages.begin(), cages.end(), nullptr), cages.end());
    }
    // A key at t whose deltas follow from t, the point and the axis.
    CageKey* key(CageInstance* cage, double t, unsigned char breakFlag = 0) {
        std::vector<double> d(size_t(cage->pointCount) * 3);
        for (size_t i = 0; i < d.size(); ++i)
            d[i] = t * 0.5 + double(i) * 0.25 - 1.0;
        CageKey* k = newCageKey(cage, t, d.data());
        k->breakFlag = breakFlag;
        EXPECT_EQ(insertCageKeyToTime(cage, k, t), 1) << t;
        return k;
    }
    // Every key of every cage: time, then deltas.
    std::vector<std::vector<double>> keyState() const {
        std::vector<std::vector<double>> out;
        for (const CageInstance* cage : cages)
            for (const CageKey* k = cage->keyHead; k; k = k->next) {
                std::vector<double> row{k->time};
                row.insert(row.end(), k->deltas, k->deltas + 3 * cage->pointCount);
                out.push_back(row);
            }
        return out;
    }
    std::vector<const MixEnvelopeKey*> entries() const {
        std::vector<const MixEnvelopeKey*> out;
        for (const MixEnvelopeKey* e = state.mixKeyHead; e; e = e->next)
            out.push_back(e);
        return out;
    }
    // The cage's deltas at t as the evaluation gives them.
    static std::vector<double> evaluated(CageInstance* cage, double t) {
        setEvaluatedCageOtherPosAtTime(cage, t);
        std::vector<double> out;
        for (int i = 0; i < cage->pointCount; ++i)
            for (int c = 0; c < 3; ++c)
                out.push_back(cage->pointArray[i]->otherPos[c] - cage->pointArray[i]->restPos[c]);
        return out;
    }

    std::ostringstream log;
    host::Host layout;
    EditCageState state;
    std::vector<CageInstance*> cages;
    int nulls = 0;
};

#endif
