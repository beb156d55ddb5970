// The "Cage" envelope mirroring a cage's keys in the stand-in host, and the
// callback mapping host key edits back onto the key list.
#include "cage/cage_envelope.h"
#include "cage/cage_keys.h"
#include "cage/cage_model.h"
#include "cage/cage_services.h"

#include "host/host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <sstream>
#include <vector>

namespace {

class CageEnvelope : public testing::Test {
  protected:
    CageEnvelope() : layout(out) {
        item = &layout.scene().addNull("CageNull");
        auto& s = layout.services();
        itemInfo = static_cast<LWItemInfo*>(s.lookup("LW Item Info 5"));
        channelInfo = static_cast<LWChannelInfo*>(s.lookup("Channel Info 2"));
        envFuncs = static_cast<LWEnvelopeFuncs*>(s.lookup("Animation Envelopes"));
        stCageServices = CageServices{};
        stCageServices.envelopeFuncs = envFuncs;
        stCageServices.comRing = static_cast<LWComRing*>(s.lookup("LW Communication Ring"));
        stCageServices.instUpdate = reinterpret_cast<LWInstUpdate*>(s.lookup("Instance Update"));

        cage = static_cast<CageInstance*>(std::calloc(1, sizeof(CageInstance)));
        allocCageBlocks(cage, 2, 0, 0, 0);
        cage->pointArray = static_cast<PointData**>(std::calloc(2, sizeof(PointData*)));
        for (int i = 0; i < 2; ++i) {
            double pos[3] = {double(i), 0, 0};
            cage->pointArray[i] = add1PointData(cage, pos);
            cage->pointArray[i]->index = unsigned(i);
        }
        cage->pointCount = 2;
        cage->itemID = item->id;
        EXPECT_EQ(createCageEnvelope(cage, itemInfo, channelInfo, envFuncs), 1);
    }
    ~CageEnvelope() override {
        destroyCageEnvelope(cage, envFuncs);
        destroyCageData(cage);
        std::free(cage);
        stCageServices = CageServices{};
    }

    host::Envelope& hostEnvelope() {
        return item->channels->findChannel(cage->envelopeName)->envelope();
    }
    CageKey* addKey(double t, double dx) {
        double d[6] = {dx, 0, 0, dx, 0, 0};
        CageKey* k = newCageKey(cage, t, d);
        EXPECT_EQ(insertCageKeyToTime(cage, k, t), 1);
        return k;
    }
    // The host moves a key as Layout does: delete, then insert at the new time.
    void hostMove(double from, double to) {
        host::Envelope& env = hostEnvelope();
        host::Envelope::Key* key = env.findKey(from);
        ASSERT_NE(key, nullptr);
        double value = key->value();
        env.destroyKey(key);
        env.createKey(to, value);
    }
    // Both lists agree: same times, host values equal the labels.
    void expectMirrored() {
        host::Envelope& env = hostEnvelope();
        host::Envelope::Key* h = env.nextKey(nullptr);
        for (CageKey* k = cage->keyHead; k; k = k->next) {
            ASSERT_NE(h, nullptr) << "host misses the key at " << k->time;
            EXPECT_NEAR(h->time(), k->time, 1e-9);
            EXPECT_EQ(h->value(), k->label);
            if (k->next) {
                EXPECT_GE(k->next->time - k->time, CAGE_KEY_TIME_TOLERANCE);
                EXPECT_EQ(k->next->prev, k);
            }
            h = env.nextKey(h);
        }
        EXPECT_EQ(h, nullptr) << "host has an extra key";
    }

    std::ostringstream out;
    host::Host layout;
    host::Item* item;
    LWItemInfo* itemInfo;
    LWChannelInfo* channelInfo;
    LWEnvelopeFuncs* envFuncs;
    CageInstance* cage;
};

TEST_F(CageEnvelope, NamedCageThenCageTwoOnTheSameItem) {
    EXPECT_STREQ(cage->envelopeName, "Cage");
    CageInstance second{};
    second.itemID = item->id;
    ASSERT_EQ(createCageEnvelope(&second, itemInfo, channelInfo, envFuncs), 1);
    EXPECT_STREQ(second.envelopeName, "Cage(2)");
    EXPECT_EQ(findEnv(channelInfo, itemInfo->chanGroup(item->id), "Cage(2)"), second.envelope);
    destroyCageEnvelope(&second, envFuncs);
    EXPECT_EQ(findEnv(channelInfo, itemInfo->chanGroup(item->id), "Cage(2)"), nullptr);
}

TEST_F(CageEnvelope, RefreshMakesOneHostKeyPerCageKey) {
    addKey(0.0, 0);
    addKey(1.0, 1);
    addKey(2.5, 2);
    hostEnvelope().createKey(4.0, 9.0); // a stray host key goes
    refreshLWEnvelopeForThisLattice(cage, envFuncs);
    expectMirrored();
    CageKey* middle = cage->keyHead->next;
    removeCageKeyFromList(cage, middle);
    refreshLWEnvelopeForThisLattice(cage, envFuncs);
    expectMirrored();
}

TEST_F(CageEnvelope, AHostMoveKeepsLabelAndDeltasAtTheNewTime) {
    addKey(0.0, 0);
    CageKey* moving = addKey(1.0, 7);
    double label = moving->label;
    refreshLWEnvelopeForThisLattice(cage, envFuncs);
    hostMove(1.0, 2.0);
    CageKey* at2 = searchCageKeyAtTime(cage, 2.0);
    ASSERT_EQ(at2, moving);
    EXPECT_EQ(at2->label, label);
    EXPECT_EQ(at2->deltas[0], 7.0);
    EXPECT_EQ(cage->removedKeyHead, nullptr);
    expectMirrored();
}

TEST_F(CageEnvelope, AHostCopyMakesANewKeyAndRelabelsTheHostKey) {
    addKey(0.0, 0);
    CageKey* source = addKey(1.0, 3);
    refreshLWEnvelopeForThisLattice(cage, envFuncs);
    hostEnvelope().createKey(1.5, source->label);
    CageKey* copy = searchCageKeyAtTime(cage, 1.5);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source);
    EXPECT_EQ(copy->deltas[3], 3.0);
    expectMirrored();
}

// Host keys landing within the tolerance of another key: the copy and the
// typed key are taken out again, the move goes back; nothing is lost and a
// later deletion removes exactly the key it names.
TEST_F(CageEnvelope, HostEditsOntoAnotherKeysTimeAreRefused) {
    addKey(0.0, 0);
    CageKey* one = addKey(1.0, 3);
    CageKey* two = addKey(2.0, 5);
    refreshLWEnvelopeForThisLattice(cage, envFuncs);
    const double label = one->label;

    EXPECT_EQ(hostEnvelope().createKey(1.00005, label), nullptr); // a copy
    EXPECT_EQ(hostEnvelope().createKey(0.99996, 7.0), nullptr);   // typed
    expectMirrored();
    hostMove(2.0, 1.00003);
    EXPECT_EQ(searchCageKeyAtTime(cage, 2.0), two);
    EXPECT_EQ(cage->removedKeyHead, nullptr);
    expectMirrored();

    hostEnvelope().destroyKey(hostEnvelope().findKey(1.0));
    EXPECT_EQ(searchCageKeyAtTime(cage, 1.0), nullptr);
    expectMirrored();
    // Moved a hair onto its own former place: allowed.
    hostMove(2.0, 2.00004);
    EXPECT_EQ(searchCageKeyAtTime(cage, 2.00004), two);
    expectMirrored();
}

TEST_F(CageEnvelope, ATypedKeyGetsTheInterpolatedShape) {
    addKey(0.0, 0);
    addKey(1.0, 2);
    refreshLWEnvelopeForThisLattice(cage, envFuncs);
    hostEnvelope().createKey(0.5, 123.0);
    CageKey* made = searchCageKeyAtTime(cage, 0.5);
    ASSERT_NE(made, nullptr);
    EXPECT_NEAR(made->deltas[0], 1.0, 1e-9); // halfway along a two-key segment
    expectMirrored();
}

TEST_F(CageEnvelope, ForeignValuesAndPointlessCagesChangeNothing) {
    addKey(0.0, 0);
    refreshLWEnvelopeForThisLattice(cage, envFuncs);
    // A delete whose value is no label.
    cage->envelopeMute = 1;
    host::Envelope::Key* stray = hostEnvelope().createKey(3.0, 42.0);
    cage->envelopeMute = 0;
    hostEnvelope().destroyKey(stray);
    EXPECT_EQ(cage->keyHead->next, nullptr);
    EXPECT_EQ(cage->removedKeyHead, nullptr);

    // Inserting into the envelope of a cage without points.
    int points = cage->pointCount;
    cage->pointCount = 0;
    hostEnvelope().createKey(5.0, 77.0);
    cage->pointCount = points;
    EXPECT_EQ(cage->keyHead->next, nullptr);
}

// Random host edits and key-list edits, checked against a model of the
// expected (time, label) pairs: no key is lost or duplicated.
TEST_F(CageEnvelope, RandomEditsNeverLoseOrDuplicateKeys) {
    std::mt19937 rng(1234);
    std::map<double, double> model; // time -> label
    auto addModel = [&](CageKey* k) { model[k->time] = k->label; };
    addModel(addKey(0.0, 0));
    refreshLWEnvelopeForThisLattice(cage, envFuncs);

    // Times near a key (within the tolerance, beyond the host's own
    // resolution) come up as often as free ones.
    auto nearKey = [&](double t) {
        for (auto& m : model)
            if (std::fabs(m.first - t) < CAGE_KEY_TIME_TOLERANCE) return true;
        return false;
    };
    auto freeTime = [&]() {
        for (;;) {
            double t = 0.01 * double(rng() % 500);
            bool clash = false;
            for (auto& m : model)
                if (std::fabs(m.first - t) < 0.001) clash = true;
            if (!clash) return t;
        }
    };
    auto anyKeyTime = [&]() {
        auto it = model.begin();
        std::advance(it, long(rng() % model.size()));
        return it->first;
    };
    auto hostTime = [&]() {
        if (rng() % 2) return freeTime();
        const double offset = 2e-6 + 9.7e-5 * double(rng() % 1000) / 1000.0;
        return anyKeyTime() + (rng() % 2 ? offset : -offset);
    };

    for (int step = 0; step < 600; ++step) {
        int op = int(rng() % 7);
        if (model.empty()) op = 2;
        if (op == 0) { // host move
            double from = anyKeyTime(), to = hostTime();
            double label = model[from];
            model.erase(from);
            hostMove(from, to);
            model[nearKey(to) ? from : to] = label; // refused: it goes back
        } else if (op == 1) {                       // host copy
            double from = anyKeyTime(), to = hostTime();
            hostEnvelope().createKey(to, model[from]);
            if (!nearKey(to)) {
                CageKey* made = searchCageKeyAtTime(cage, to);
                ASSERT_NE(made, nullptr);
                model[to] = made->label;
            }
        } else if (op == 2) { // host key typed in
            double to = hostTime();
            hostEnvelope().createKey(to, 0.25);
            if (!nearKey(to)) {
                CageKey* made = searchCageKeyAtTime(cage, to);
                ASSERT_NE(made, nullptr);
                model[to] = made->label;
            }
        } else if (op == 3 && model.size() > 1) { // host delete
            double t = anyKeyTime();
            hostEnvelope().destroyKey(hostEnvelope().findKey(t));
            model.erase(t);
        } else if (op == 4) { // key list: move
            double from = anyKeyTime(), to = freeTime();
            CageKey* k = searchCageKeyAtTime(cage, from);
            ASSERT_EQ(moveCageKeyToTime(cage, k, to), 1);
            model.erase(from);
            model[to] = k->label;
            refreshLWEnvelopeForThisLattice(cage, envFuncs);
        } else if (op == 5) { // key list: copy
            CageKey* src = searchCageKeyAtTime(cage, anyKeyTime());
            CageKey* copy = copyCageKeyAtTime(cage, src, freeTime());
            ASSERT_NE(copy, nullptr);
            addModel(copy);
            refreshLWEnvelopeForThisLattice(cage, envFuncs);
        } else if (op == 6 && model.size() > 1) { // key list: remove
            double t = anyKeyTime();
            removeCageKeyFromList(cage, searchCageKeyAtTime(cage, t));
            model.erase(t);
            refreshLWEnvelopeForThisLattice(cage, envFuncs);
        }
        std::map<double, double> listed;
        for (CageKey* k = cage->keyHead; k; k = k->next)
            listed[k->time] = k->label;
        ASSERT_EQ(listed.size(), model.size()) << "step " << step;
        auto m = model.begin();
        for (auto& l : listed) {
            EXPECT_NEAR(l.first, m->first, 1e-9) << "step " << step;
            EXPECT_EQ(l.second, m->second) << "step " << step;
            ++m;
        }
        expectMirrored();
        if (HasFailure()) return;
    }
}

} // namespace
