// The cage record through the test's own link of the module code: save,
// load of every version, damaged records, and copy.

#include "cage/cage_keys.h"
#include "cage/cage_lifecycle.h"
#include "cage/cage_model.h"
#include "cage/cage_ring.h"
#include "cage/cage_services.h"
#include "cage/cage_storage.h"
#include "module/host_services.h"

#include "host/host.h"
#include "host/io/plugin_io.h"

#include "../support/in_process_cage.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../support/named_rows.h"

namespace storage_test {

using Lines = std::vector<std::string>;

class CageStorageTest : public testing::Test {
  protected:
    CageStorageTest() : layout(out) {
        installCageServices(layout);
        stTimeSliderBX = -40;
        stPixPerFrame = 16.0;
    }
    ~CageStorageTest() override {
        for (CageInstance* cage : made)
            CageCustomDestroy(cage);
        stCageServices = CageServices{};
        stGlobal = nullptr;
    }

    // An empty cage on a new Null, as the host makes one before load or copy.
    CageInstance* newCage() {
        host::Item& item = layout.scene().addNull("Lattice" + std::to_string(made.size() + 1));
        LWError error = nullptr;
        auto* cage = static_cast<CageInstance*>(CageCustomCreate(nullptr, item.id, &error));
        EXPECT_NE(cage, nullptr);
        made.push_back(cage);
        return cage;
    }

    Lines save(CageInstance* cage) {
        host::PluginWriter writer;
        EXPECT_EQ(CageCustomSave(cage, writer.state()), nullptr);
        EXPECT_EQ(writer.finish(), "");
        return writer.lines();
    }

    CageInstance* load(const Lines& lines) {
        CageInstance* cage = newCage();
        host::PluginReader reader(lines);
        EXPECT_EQ(CageCustomLoad(cage, reader.state()), nullptr);
        return cage;
    }

    host::Envelope& hostEnvelope(CageInstance* cage) {
        return layout.scene()
            .find(cage->itemID)
            ->channels->findChannel(cage->envelopeName)
            ->envelope();
    }

    std::ostringstream out;
    host::Host layout;
    std::vector<CageInstance*> made;
};

inline int keyCount(const CageInstance* cage) {
    int n = 0;
    for (const CageKey* k = cage->keyHead; k; k = k->next)
        ++n;
    return n;
}

template <class T> int listCount(const T* list) {
    int n = 0;
    for (; list; list = list->next)
        ++n;
    return n;
}

// Place of a point in the cage's array; -1 when it is not one of them.
inline int placeOf(const CageInstance* cage, const PointData* p) {
    for (int i = 0; i < cage->pointCount; ++i)
        if (cage->pointArray[i] == p) return i;
    return -1;
}

// Every element list as point places, in list order.
inline std::vector<std::vector<int>> elementPlaces(const CageInstance* cage) {
    std::vector<std::vector<int>> out;
    for (const LinegonData* l = cage->linegonList; l; l = l->next)
        out.push_back({placeOf(cage, l->pnt[0]), placeOf(cage, l->pnt[1])});
    for (const TrigonData* t = cage->trigonList; t; t = t->next)
        out.push_back(
            {-3, placeOf(cage, t->pnt[0]), placeOf(cage, t->pnt[1]), placeOf(cage, t->pnt[2])});
    for (const PolygonData* q = cage->polygonList; q; q = q->next)
        out.push_back({-4, placeOf(cage, q->pnt[0]), placeOf(cage, q->pnt[1]),
                       placeOf(cage, q->pnt[2]), placeOf(cage, q->pnt[3])});
    return out;
}

// The cage is sound: counts match the lists, every point is at its place,
// every key has a time after the one before, every element uses its points.
inline void expectSound(const CageInstance* cage) {
    EXPECT_GE(cage->pointCount, 0);
    EXPECT_EQ(listCount(cage->linegonList), cage->linegonCount);
    EXPECT_EQ(listCount(cage->trigonList), cage->trigonCount);
    EXPECT_EQ(listCount(cage->polygonList), cage->polygonCount);
    if (cage->pointCount == 0) {
        EXPECT_EQ(cage->keyHead, nullptr);
        EXPECT_EQ(cage->linegonList, nullptr);
        EXPECT_EQ(cage->trigonList, nullptr);
        EXPECT_EQ(cage->polygonList, nullptr);
        return;
    }
    for (int i = 0; i < cage->pointCount; ++i) {
        ASSERT_NE(cage->pointArray[i], nullptr);
        EXPECT_EQ(cage->pointArray[i]->index, unsigned(i));
        for (double c : cage->pointArray[i]->basePos)
            EXPECT_TRUE(std::isfinite(c));
    }
    for (const CageKey* k = cage->keyHead; k; k = k->next) {
        EXPECT_TRUE(std::isfinite(k->time));
        if (k->next) {
            EXPECT_GE(k->next->time - k->time, CAGE_KEY_TIME_TOLERANCE);
            EXPECT_EQ(k->next->prev, k);
        }
        for (int i = 0; i < 3 * cage->pointCount; ++i)
            EXPECT_TRUE(std::isfinite(k->deltas[i]));
    }
    for (const auto& element : elementPlaces(cage))
        for (int place : element)
            if (place != -3 && place != -4) {
                EXPECT_GE(place, 0);
            }
}

// Points, keys and elements as a cage holds them: base positions, key times,
// break flags and deltas (3 a point), and elements as elementPlaces lists them.
struct StoredKey {
    double time;
    int breakFlag;
    std::vector<double> deltas;
};
struct Geometry {
    std::vector<std::array<double, 3>> points;
    std::vector<StoredKey> keys;
    std::vector<std::vector<int>> elements;
};

inline void expectGeometry(const CageInstance* cage, const Geometry& want) {
    ASSERT_EQ(cage->pointCount, int(want.points.size()));
    for (int i = 0; i < cage->pointCount; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(cage->pointArray[i]->basePos[c], want.points[size_t(i)][size_t(c)])
                << "point " << i;
    ASSERT_EQ(keyCount(cage), int(want.keys.size()));
    const CageKey* key = cage->keyHead;
    for (const StoredKey& k : want.keys) {
        EXPECT_EQ(key->time, k.time);
        EXPECT_EQ(key->breakFlag, k.breakFlag);
        ASSERT_EQ(k.deltas.size(), 3 * want.points.size());
        for (size_t i = 0; i < k.deltas.size(); ++i)
            EXPECT_EQ(key->deltas[i], k.deltas[i]) << "key at " << k.time << ", delta " << i;
        key = key->next;
    }
    EXPECT_EQ(elementPlaces(cage), want.elements);
}

// The sample: exact in floats, different at every place so a shuffle shows.
void samplePos(int i, double out[3]) {
    out[0] = 0.5 * i;
    out[1] = 1.0 - 0.25 * i;
    out[2] = 0.125 * i * i;
}
void sampleDelta(int key, int i, double out[3]) {
    out[0] = key == 0 ? 0.0625 * i : double(i);
    out[1] = key == 0 ? 0.0 : 0.25;
    out[2] = key == 0 ? -0.5 : -0.5 * i;
}
const double kSampleTimes[2] = {0.0, 1.5};

// 8 points, keys at 0 and 1.5 (the second with its break flag), one
// polygon, two trigons (the later one heads the list), one linegon.
Geometry sampleGeometry() {
    Geometry g;
    for (int i = 0; i < 8; ++i) {
        g.points.emplace_back();
        samplePos(i, g.points.back().data());
    }
    for (int k = 0; k < 2; ++k) {
        g.keys.push_back({kSampleTimes[k], k, std::vector<double>(24)});
        for (int i = 0; i < 8; ++i)
            sampleDelta(k, i, g.keys.back().deltas.data() + 3 * i);
    }
    g.elements = {{0, 4}, {-3, 4, 6, 7}, {-3, 4, 5, 6}, {-4, 0, 1, 2, 3}};
    return g;
}

// Bits of a float as the record holds it.
uint32_t floatBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

std::string hex32(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", v);
    return buf;
}

// Forwards to the host's reader and notes any read made after one that came
// back short (loading must stop at the first).
struct WatchedReader {
    explicit WatchedReader(const Lines& lines) : reader(lines) {
        inner = reader.state();
        state = *inner;
        state.readData = this;
        state.readI4 = [](void* d, int* v, int n) {
            WatchedReader& w = self(d);
            return w.watch(n, w.inner->readI4(w.inner->readData, v, n));
        };
        state.readU4 = [](void* d, unsigned int* v, int n) {
            WatchedReader& w = self(d);
            return w.watch(n, w.inner->readU4(w.inner->readData, v, n));
        };
        state.readFP = [](void* d, float* v, int n) {
            WatchedReader& w = self(d);
            return w.watch(n, w.inner->readFP(w.inner->readData, v, n));
        };
        state.readStr = [](void* d, char* buf, int max) {
            WatchedReader& w = self(d);
            if (w.failed) w.readAfterFailure = true;
            ++w.calls;
            return w.inner->readStr(w.inner->readData, buf, max);
        };
    }
    static WatchedReader& self(void* d) { return *static_cast<WatchedReader*>(d); }
    int watch(int asked, int got) {
        if (failed) readAfterFailure = true;
        if (got < asked) failed = true;
        ++calls;
        return got;
    }
    host::PluginReader reader;
    const LWLoadState* inner;
    LWLoadState state;
    bool failed = false;
    bool readAfterFailure = false;
    int calls = 0;
};

class CageRecord : public CageStorageTest {
  protected:
    // The sample geometry with settings away from the defaults.
    CageInstance* sampleCage() {
        CageInstance* cage = newCage();
        // Its labels run ahead, so a loaded cage restarting them shows.
        for (int i = 0; i < 5; ++i)
            getNextLabelDValue(cage);
        EXPECT_EQ(allocCageBlocks(cage, 8, 1, 2, 1), 1);
        cage->pointArray = static_cast<PointData**>(std::calloc(8, sizeof(PointData*)));
        for (int i = 0; i < 8; ++i) {
            double pos[3];
            samplePos(i, pos);
            cage->pointArray[i] = add1PointData(cage, pos);
            cage->pointArray[i]->index = unsigned(i);
        }
        PointData** p = cage->pointArray;
        add1PolygonData(cage, p[0], p[1], p[2], p[3]);
        add1TrigonData(cage, p[4], p[5], p[6]);
        add1TrigonData(cage, p[4], p[6], p[7]); // the list's head
        add1LinegonData(cage, p[0], p[4]);
        createEdgeData(cage, 0);
        for (int k = 0; k < 2; ++k) {
            double d[24];
            for (int i = 0; i < 8; ++i)
                sampleDelta(k, i, d + 3 * i);
            CageKey* key = newCageKey(cage, kSampleTimes[k], d);
            key->breakFlag = (unsigned char)k;
            EXPECT_EQ(insertCageKeyToTime(cage, key, kSampleTimes[k]), 1);
        }
        cage->display = 1;
        cage->mode = 1;
        cage->falloffType = 4;
        std::strcpy(cage->groupName, "arm");
        std::strcpy(cage->weightMapName, "Weight");
        cage->refMode = 2;
        return cage;
    }

    // The sample's record with lines replaced (line number, new text).
    Lines sampleWith(std::initializer_list<std::pair<size_t, std::string>> changes) {
        Lines lines = save(sampleCage());
        for (const auto& change : changes) {
            EXPECT_LT(change.first, lines.size());
            lines[change.first] = change.second;
        }
        return lines;
    }

    // A cage loaded from the lines, and sound whatever they held.
    CageInstance* loadSound(const Lines& lines) {
        CageInstance* cage = load(lines);
        expectSound(cage);
        return cage;
    }

    void expectSample(const CageInstance* cage) { expectGeometry(cage, sampleGeometry()); }
};

// ---- Round trips ----

TEST_F(CageRecord, SaveThenLoadReproducesPointsKeysAndElementsInOrder) {
    CageInstance* source = sampleCage();
    expectSample(source);
    CageInstance* loaded = load(save(source));
    expectSample(loaded);
    expectSound(loaded);
    EXPECT_EQ(loaded->display, 1);
    EXPECT_EQ(loaded->mode, 1);
    EXPECT_EQ(loaded->falloffType, 4);
    EXPECT_EQ(loaded->refMode, 2);
    EXPECT_STREQ(loaded->groupName, "arm");
    EXPECT_STREQ(loaded->weightMapName, "Weight");
    // Rebuilt, not stored: adjacency, and the rebuild still to come.
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(loaded->pointArray[i]->trigonCount, source->pointArray[i]->trigonCount);
        EXPECT_EQ(loaded->pointArray[i]->neighbourCount, source->pointArray[i]->neighbourCount);
    }
    EXPECT_EQ(loaded->pointArray[4]->trigonCount, 2);
    EXPECT_EQ(loaded->pointArray[0]->linegonCount, 1);
    EXPECT_EQ(loaded->pointArray[0]->cornerCount, 1);
    EXPECT_EQ(loaded->edgeCount, source->edgeCount);
    EXPECT_EQ(loaded->rebuildNeeded, 1);
}

TEST_F(CageRecord, LoadedKeysTakeLabelsFromTheLoadingCageAndFillItsEnvelope) {
    CageInstance* source = sampleCage();
    EXPECT_NE(source->keyHead->label, 1.0);
    CageInstance* loaded = load(save(source));
    ASSERT_EQ(keyCount(loaded), 2);
    EXPECT_EQ(loaded->keyHead->label, 1.0);
    EXPECT_EQ(loaded->keyTail->label, 1.0 + 1.0 / 1048576.0);
    host::Envelope& env = hostEnvelope(loaded);
    ASSERT_EQ(env.keyCount(), 2);
    host::Envelope::Key* first = env.nextKey(nullptr);
    EXPECT_EQ(first->time(), 0.0);
    EXPECT_EQ(first->value(), 1.0);
    host::Envelope::Key* second = env.nextKey(first);
    EXPECT_EQ(second->time(), 1.5);
    EXPECT_EQ(second->value(), 1.0 + 1.0 / 1048576.0);
}

TEST_F(CageRecord, SaveLoadSaveGivesTheSameText) {
    Lines first = save(sampleCage());
    Lines second = save(load(first));
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.size(), 50u);
}

TEST_F(CageRecord, ACageWithoutPointsSavesItemsOneToFourteen) {
    CageInstance* cage = newCage();
    Lines expected = {"1.12",
                      "2 0 1 0 0 0",
                      "\"name\"",
                      "0.001 0.0099999998",
                      "0",
                      "0",
                      "1 0.80000001 0",
                      "0 0 0",
                      "0.12 0",
                      "-40",
                      "16",
                      "0",
                      "\"\"",
                      "0"};
    EXPECT_EQ(save(cage), expected);
    EXPECT_EQ(floatBits(std::strtof(expected[0].c_str(), nullptr)), 0x3F8F5C29u);
}

TEST_F(CageRecord, TheKeyListEndsWithMinusOneE20) {
    Lines lines = save(sampleCage());
    // 14 settings lines, then per key a time, a flag and 8 deltas.
    ASSERT_EQ(lines[34], "-1e+20");
    EXPECT_EQ(floatBits(std::strtof(lines[34].c_str(), nullptr)), 0xE0AD78ECu);
    EXPECT_EQ(lines[14], "0");
    EXPECT_EQ(lines[15], "0");
    EXPECT_EQ(lines[24], "1.5");
    EXPECT_EQ(lines[25], "1");
    EXPECT_EQ(lines[27], "1 0.25 -0.5");    // key 2, point 1
    EXPECT_EQ(lines[36], "0.5 0.75 0.125"); // point 1
    EXPECT_EQ(lines[43], "1");
    EXPECT_EQ(lines[44], "0 4");
    EXPECT_EQ(lines[46], "4 6 7");
    EXPECT_EQ(lines[49], "0 1 2 3");
}

// ---- Records written by hand, current and older ----

// Every setting a record holds: those of the deformation, and those of
// drawing the cage and its key strip.
struct Deforming {
    std::array<int, 6> popups; // display, mode, falloff, ignore outside, limited range, map index
    const char* group;
    std::array<double, 2> distances; // parallel, perpendicular
    int restShapeAtFrame0, refMode;
    double smoothDistance;
    uintptr_t refObject;
    const char* weightMap;
};
struct Drawing {
    std::array<double, 3> selected, unselected;
    double opacity;
    int timeSliderBX;
    double pixPerFrame;
};

void expectSettings(const CageInstance* cage, const Deforming& want, const Drawing& look) {
    const int popups[6] = {cage->display,       cage->mode,         cage->falloffType,
                           cage->ignoreOutside, cage->limitedRange, cage->weightMapIndex};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(popups[i], want.popups[size_t(i)]) << "popup " << i;
    EXPECT_STREQ(cage->groupName, want.group);
    EXPECT_EQ(cage->parallelDistance, want.distances[0]);
    EXPECT_EQ(cage->perpendicularDistance, want.distances[1]);
    EXPECT_EQ(cage->restShapeAtFrame0, want.restShapeAtFrame0);
    EXPECT_EQ(cage->refMode, want.refMode);
    EXPECT_EQ(cage->smoothDistance, want.smoothDistance);
    EXPECT_EQ(cage->refObject, (LWItemID)want.refObject);
    EXPECT_STREQ(cage->weightMapName, want.weightMap);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(cage->selectedColor[c], look.selected[size_t(c)]) << "colour " << c;
        EXPECT_EQ(cage->unselectedColor[c], look.unselected[size_t(c)]) << "colour " << c;
    }
    EXPECT_EQ(cage->opacity, look.opacity);
    EXPECT_EQ(stTimeSliderBX, look.timeSliderBX);
    EXPECT_EQ(stPixPerFrame, look.pixPerFrame);
}

// A record of some version, and every value it must load as. Settings a
// version does not hold keep the new cage's (its creation values, and the
// time slider at 7 as set before loading).
struct Written {
    const char* name;
    Lines record;
    Deforming deforming;
    Drawing drawing;
    Geometry geometry;
};
void PrintTo(const Written& w, std::ostream* os) {
    *os << w.name;
}

const Written kWritten[] = {
    // Negative key times are keys; the perpendicular distance is kept, not
    // recomputed. Saving the cage gives the text back.
    {"AHandWrittenCurrentRecordLoadsValueByValue",
     {"1.12",
      "1 1 4 1 1 3",
      "\"leg\"",
      "0.25 0.5",
      "1",
      "2",
      "0.5 0.25 0.125",
      "0.75 0.5 1",
      "0.375 2",
      "-12",
      "32",
      "2a",
      "\"Weight\"",
      "3",
      "-5",
      "1",
      "1 0 0",
      "0 2 0",
      "0 0 3",
      "0.5",
      "0",
      "-1 -1 -1",
      "0 0 0",
      "0.25 0.25 0.25",
      "-1e+20",
      "1 2 3",
      "4 5 6",
      "-7 -8 -9",
      "1",
      "0 2",
      "1",
      "2 1 0",
      "0"},
     {{1, 1, 4, 1, 1, 3}, "leg", {0.25, 0.5}, 1, 2, 2.0, 0x2a, "Weight"},
     {{0.5, 0.25, 0.125}, {0.75, 0.5, 1}, 0.375, -12, 32.0},
     {{{1, 2, 3}, {4, 5, 6}, {-7, -8, -9}},
      {{-5, 1, {1, 0, 0, 0, 2, 0, 0, 0, 3}}, {0.5, 0, {-1, -1, -1, 0, 0, 0, 0.25, 0.25, 0.25}}},
      {{0, 2}, {-3, 2, 1, 0}}}},
    {"Version100HasNoRefMode",
     {"1", "0 12 0 5 0 1 0", "0.5 0.5 0.5 0.25 1", "0", "\"\"", "1", "3", "0.5 0.5 0.5", "-1e+20",
      "9 8 7", "0", "0", "0"},
     {{0, 0, 5, 0, 1, 0}, "12", {0.001, 0.01}, 0, 0, 1.0, 0, ""},
     {{0.5, 0.5, 0.5}, {0, 0, 0}, 0.25, 7, 16.0},
     {{{9, 8, 7}}, {{3, 0, {0.5, 0.5, 0.5}}}, {}}},
    {"Version101HasAGroupNumberAndNoLaterValues",
     {"1.01",
      "1 7 1 3 1 0 -1", // display, group number, mode, falloff, ignore, limited, map
      "1",              // refMode before " (disabled) " existed
      "0.5 0.25 1 0.75 0.125",
      "0",
      "\"wm\"",
      "2",
      "0",
      "0.5 0 0",
      "0 0 -0.25",
      "2",
      "1 1 1",
      "0 0 0",
      "-1e+20",
      "1 2 3",
      "-1 -2 -3",
      "1",
      "0 1",
      "0",
      "0"},
     {{1, 1, 3, 1, 0, -1}, "7", {0.001, 0.01}, 0, 2, 0.125, 0, "wm"},
     {{0.5, 0.25, 1}, {0, 0, 0}, 0.75, 7, 16.0},
     {{{1, 2, 3}, {-1, -2, -3}},
      {{0, 0, {0.5, 0, 0, 0, 0, -0.25}}, {2, 0, {1, 1, 1, 0, 0, 0}}},
      {{0, 1}}}},
    {"Version103HasANameBothColoursAndAShiftedRefMode",
     {"1.03", "2 0 2 0 0 0", "\"neck\"", "0", "0.5 0.5 0.5", "0.25 0.25 0.25", "0.5 0", "0", "\"\"",
      "1", "0", "1 1 1", "-1e+20", "0 0 0", "0", "0", "0"},
     {{2, 0, 2, 0, 0, 0}, "neck", {0.001, 0.01}, 0, 1, 0.0, 0, ""},
     {{0.5, 0.5, 0.5}, {0.25, 0.25, 0.25}, 0.5, 7, 16.0},
     {{{0, 0, 0}}, {{0, 0, {1, 1, 1}}}, {}}},
    {"Version105AddsDistancesAndKeepsRefModeAsRead",
     {"1.05",  "2 0 1 0 0 0", "\"a\"",  "0.125 0.75", "1", "1", "1 1 1",
      "0 0 0", "0.5 0",       "0",      "\"\"",       "1", "0", "1 1 1",
      "1",     "2 2 2",       "-1e+20", "0 0 0",      "0", "0", "0"},
     {{2, 0, 1, 0, 0, 0}, "a", {0.125, 0.75}, 1, 1, 0.0, 0, ""},
     {{1, 1, 1}, {0, 0, 0}, 0.5, 7, 16.0},
     {{{0, 0, 0}}, {{0, 0, {1, 1, 1}}, {1, 0, {2, 2, 2}}}, {}}},
    {"Version106AddsBreakFlagsButNoTimeSlider",
     {"1.06",  "2 0 1 0 0 0", "\"a\"", "0.125 0.75", "0", "0", "1 1 1",
      "0 0 0", "0.5 0",       "0",     "\"\"",       "1", "0", "1",
      "1 1 1", "-1e+20",      "0 0 0", "0",          "0", "0"},
     {{2, 0, 1, 0, 0, 0}, "a", {0.125, 0.75}, 0, 0, 0.0, 0, ""},
     {{1, 1, 1}, {0, 0, 0}, 0.5, 7, 16.0},
     {{{0, 0, 0}}, {{0, 1, {1, 1, 1}}}, {}}},
};

class CageRecordWritten : public CageRecord, public testing::WithParamInterface<Written> {};

TEST_P(CageRecordWritten, LoadsEveryValue) {
    const Written& w = GetParam();
    stTimeSliderBX = 7;
    CageInstance* cage = loadSound(w.record);
    expectSettings(cage, w.deforming, w.drawing);
    expectGeometry(cage, w.geometry);
    EXPECT_EQ(hostEnvelope(cage).keyCount(), int(w.geometry.keys.size()));
    if (w.record[0] == "1.12") {
        EXPECT_EQ(save(cage), w.record);
    }
}

INSTANTIATE_TEST_SUITE_P(CageRecord, CageRecordWritten, testing::ValuesIn(kWritten),
                         testrows::rowName<Written>);

TEST_F(CageRecord, TheKeyListEndsAtTheFirstTimeBelowMinusTenBillion) {
    // -5e9 is not below -1e10: a key; -2e10 is: the end, read as the marker.
    const Lines lines = sampleWith({{14, "-5e+09"}, {24, "-2e+10"}});
    // The second key's flag, deltas and the old marker go.
    Lines record(lines.begin(), lines.begin() + 25);
    record.insert(record.end(), lines.begin() + 35, lines.end());
    CageInstance* cage = loadSound(record);
    ASSERT_EQ(keyCount(cage), 1);
    EXPECT_EQ(cage->keyHead->time, -5e9);
    ASSERT_EQ(cage->pointCount, 8);
    EXPECT_EQ(cage->polygonCount, 1);
}

// ---- Damaged records ----

TEST_F(CageRecord, ARecordCutAtAnyLineLoadsWhatCameWholeAndStops) {
    Lines full = save(sampleCage());
    ASSERT_EQ(full.size(), 50u);
    for (size_t kept = 0; kept <= full.size(); ++kept) {
        SCOPED_TRACE("lines kept: " + std::to_string(kept));
        CageInstance* cage = newCage();
        WatchedReader reader(Lines(full.begin(), full.begin() + long(kept)));
        EXPECT_EQ(CageCustomLoad(cage, &reader.state), nullptr);
        EXPECT_FALSE(reader.readAfterFailure);
        EXPECT_EQ(reader.failed, kept < full.size());
        expectSound(cage);
        EXPECT_EQ(cage->display, kept >= 2 ? 1 : 2);
        EXPECT_STREQ(cage->groupName, kept >= 3 ? "arm" : "name");
        EXPECT_STREQ(cage->weightMapName, kept >= 13 ? "Weight" : "");
        // Keys and points come together, once the last point is whole.
        const bool geometry = kept >= 43;
        EXPECT_EQ(cage->pointCount, geometry ? 8 : 0);
        EXPECT_EQ(keyCount(cage), geometry ? 2 : 0);
        EXPECT_EQ(hostEnvelope(cage).keyCount(), geometry ? 2 : 0);
        EXPECT_EQ(cage->linegonCount, kept >= 45 ? 1 : 0);
        EXPECT_EQ(cage->trigonCount, (kept >= 47) + (kept >= 48));
        EXPECT_EQ(cage->polygonCount, kept >= 50 ? 1 : 0);
        if (kept == full.size()) expectSample(cage);
    }
}

TEST_F(CageRecord, AnEmptyTextAtTheEndOfTheDataLeavesTheNameAlone) {
    Lines record = {"1.12", "1 0 1 0 0 0", "\"\""};
    CageInstance* cut = load(record);
    EXPECT_STREQ(cut->groupName, "name");
    record.push_back("0.5 0.5");
    CageInstance* whole = load(record);
    EXPECT_STREQ(whole->groupName, "");
    EXPECT_EQ(whole->parallelDistance, 0.5);
}

// A sample record with one count changed: the elements that came whole
// before the damage load; a count that fails takes nothing after it, and the
// settings before it stay.
struct CountLine {
    const char* name;
    size_t line;
    const char* text;
    int points, keys, linegons, trigons, polygons;
};
void PrintTo(const CountLine& c, std::ostream* os) {
    *os << c.name;
}

const CountLine kCountLines[] = {
    {"APointCountBeyondTheDataLoadsNoGeometry", 13, "1000000000", 0, 0, 0, 0, 0},
    {"ANegativePointCountEndsTheRecord", 13, "-8", 0, 0, 0, 0, 0},
    // The next line, "2", is no pair.
    {"ALinegonCountBeyondTheDataKeepsTheWholeOnes", 43, "1000", 8, 2, 1, 0, 0},
    {"ANegativeLinegonCountEndsTheRecord", 43, "-1", 8, 2, 0, 0, 0},
    // The next line, "1", is no triple.
    {"ATrigonCountBeyondTheDataKeepsTheWholeOnes", 45, "3", 8, 2, 1, 2, 0},
    {"ANegativeTrigonCountEndsTheRecord", 45, "-2", 8, 2, 1, 0, 0},
    {"APolygonCountBeyondTheDataKeepsTheWholeOnes", 48, "2", 8, 2, 1, 2, 1},
};

class CageRecordCount : public CageRecord, public testing::WithParamInterface<CountLine> {};

TEST_P(CageRecordCount, LoadsWhatCameWhole) {
    const CountLine& c = GetParam();
    CageInstance* cage = loadSound(sampleWith({{c.line, c.text}}));
    EXPECT_EQ(cage->pointCount, c.points);
    EXPECT_EQ(keyCount(cage), c.keys);
    EXPECT_EQ(cage->linegonCount, c.linegons);
    EXPECT_EQ(cage->trigonCount, c.trigons);
    EXPECT_EQ(cage->polygonCount, c.polygons);
    EXPECT_STREQ(cage->groupName, "arm");
    EXPECT_STREQ(cage->weightMapName, "Weight");
}

INSTANTIATE_TEST_SUITE_P(CageRecord, CageRecordCount, testing::ValuesIn(kCountLines),
                         testrows::rowName<CountLine>);

TEST_F(CageRecord, ElementsNamingPointsOutsideTheArrayAreSkipped) {
    Lines lines = sampleWith({{44, "0 8"}, {46, "4 -1 7"}});
    CageInstance* cage = loadSound(lines);
    std::vector<std::vector<int>> expected = {{-3, 4, 5, 6}, {-4, 0, 1, 2, 3}};
    EXPECT_EQ(elementPlaces(cage), expected);
    lines[49] = "0 1 2 2147483647";
    cage = loadSound(lines);
    EXPECT_EQ(cage->polygonCount, 0);
    EXPECT_EQ(cage->trigonCount, 1);
}

TEST_F(CageRecord, NonFinitePositionsAndDeltasReadAsZero) {
    CageInstance* cage = loadSound(sampleWith({{35, "nan 0.5 inf"}, {17, "-inf nan 2"}}));
    ASSERT_EQ(cage->pointCount, 8);
    EXPECT_EQ(cage->pointArray[0]->basePos[0], 0.0);
    EXPECT_EQ(cage->pointArray[0]->basePos[1], 0.5);
    EXPECT_EQ(cage->pointArray[0]->basePos[2], 0.0);
    ASSERT_EQ(keyCount(cage), 2);
    EXPECT_EQ(cage->keyHead->deltas[3], 0.0);
    EXPECT_EQ(cage->keyHead->deltas[4], 0.0);
    EXPECT_EQ(cage->keyHead->deltas[5], 2.0);
}

TEST_F(CageRecord, KeysAtBadTimesAreDroppedWithTheirDeltas) {
    struct Case {
        const char* first;
        const char* second;
        int keys;
        double kept;
    };
    const Case cases[] = {
        {"nan", "1.5", 1, 1.5}, {"inf", "1.5", 1, 1.5},   {"0", "0", 1, 0.0},
        {"0", "-1", 1, 0.0},    {"0", "5e-05", 1, 0.0},   {"0", "inf", 1, 0.0},
        {"0", "nan", 1, 0.0},   {"0", "0.00011", 2, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " then " + c.second);
        CageInstance* cage = loadSound(sampleWith({{14, c.first}, {24, c.second}}));
        ASSERT_EQ(cage->pointCount, 8); // the points after the keys still read
        EXPECT_EQ(cage->polygonCount, 1);
        ASSERT_EQ(keyCount(cage), c.keys);
        EXPECT_EQ(cage->keyHead->time, c.kept);
        // The kept key has its own deltas, not its neighbour's.
        const int which = c.kept == 1.5 ? 1 : 0;
        double d[3];
        sampleDelta(which, 7, d);
        EXPECT_EQ(cage->keyHead->deltas[21], d[0]);
        EXPECT_EQ(cage->keyHead->deltas[23], d[2]);
        EXPECT_EQ(hostEnvelope(cage).keyCount(), c.keys);
    }
}

TEST_F(CageRecord, PopupValuesAndTheSliderScaleAreClamped) {
    // Lines 1, 5 and 10: the popups, refMode and the key strip's pixels per
    // frame, above and below their ranges.
    struct Clamp {
        const char* popups;
        const char* refMode;
        const char* pixels;
        int display, mode, falloff, ref;
        double pixPerFrame;
    };
    const Clamp clamps[] = {{"7 -3 9 0 0 0", "5", "0", 2, 0, 6, 2, 4.0},
                            {"-1 2 -2147483648 0 0 0", "-4", "1000", 0, 1, 0, 0, 128.0}};
    for (const Clamp& c : clamps) {
        SCOPED_TRACE(c.popups);
        CageInstance* cage = loadSound(sampleWith({{1, c.popups}, {5, c.refMode}, {10, c.pixels}}));
        EXPECT_EQ(cage->display, c.display);
        EXPECT_EQ(cage->mode, c.mode);
        EXPECT_EQ(cage->falloffType, c.falloff);
        EXPECT_EQ(cage->refMode, c.ref);
        EXPECT_EQ(stPixPerFrame, c.pixPerFrame);
        EXPECT_EQ(cage->pointCount, 8);
    }

    stPixPerFrame = 20.0;
    load(sampleWith({{10, "nan"}}));
    EXPECT_EQ(stPixPerFrame, 20.0);

    // An old record's shifted refMode is clamped after the shift.
    Lines old = {"1.01", "0 1 0 0 0 0 0", "2147483647", "1 1 1 0.5 0", "0", "\"\"", "0"};
    EXPECT_EQ(load(old)->refMode, 2);
}

TEST_F(CageRecord, NonFiniteSettingsKeepTheirValues) {
    CageInstance* cage = load(sampleWith({{3, "nan 0.5"}, {8, "inf 0.25"}}));
    EXPECT_EQ(cage->parallelDistance, 0.001);
    EXPECT_EQ(cage->perpendicularDistance, 0.5);
    EXPECT_EQ(cage->opacity, 0.12);
    EXPECT_EQ(cage->smoothDistance, 0.25);
}

TEST_F(CageRecord, TheReferenceObjectIsKeptByItsLow32BitsButNeverTheCageItself) {
    CageInstance* source = sampleCage();
    source->refObject = (LWItemID)(uintptr_t)0x12345678u;
    Lines lines = save(source);
    EXPECT_EQ(lines[11], "12345678");
    EXPECT_EQ(load(lines)->refObject, (LWItemID)(uintptr_t)0x12345678u);

    CageInstance* self = newCage();
    lines[11] = hex32(uint32_t(uintptr_t(self->itemID)));
    host::PluginReader reader(lines);
    CageCustomLoad(self, reader.state());
    EXPECT_EQ(self->refObject, nullptr);
    EXPECT_EQ(self->pointCount, 8);
}

TEST_F(CageRecord, LoadingIntoACageThatHoldsGeometryReplacesIt) {
    CageInstance* cage = sampleCage();
    host::PluginReader reader(sampleWith({{44, "1 5"}}));
    CageCustomLoad(cage, reader.state());
    expectSound(cage);
    EXPECT_EQ(cage->pointCount, 8);
    EXPECT_EQ(keyCount(cage), 2);
    EXPECT_EQ(placeOf(cage, cage->linegonList->pnt[0]), 1);
    EXPECT_EQ(hostEnvelope(cage).keyCount(), 2);
}

// ---- Copy ----

TEST_F(CageRecord, ACopyTakesTheNextNumberAndTheWholeCage) {
    CageInstance* source = sampleCage();
    std::strcpy(source->groupName, "arm_#(3)");
    source->refObject = (LWItemID)(uintptr_t)0x99;
    source->refObjectIndex = 4;
    source->perpendicularDistance = 0.75;
    CageInstance* copy = newCage();
    EXPECT_EQ(CageCustomCopy(copy, source), nullptr);
    EXPECT_STREQ(copy->groupName, "arm_#(4)");
    EXPECT_STREQ(source->groupName, "arm_#(3)");
    expectSample(copy);
    expectSound(copy);
    EXPECT_EQ(copy->display, 1);
    EXPECT_EQ(copy->falloffType, 4);
    EXPECT_EQ(copy->refMode, 2);
    EXPECT_EQ(copy->refObject, (LWItemID)(uintptr_t)0x99);
    EXPECT_EQ(copy->refObjectIndex, 4);
    EXPECT_EQ(copy->perpendicularDistance, 0.75);
    EXPECT_STREQ(copy->weightMapName, "Weight");
    EXPECT_EQ(copy->keyHead->label, 1.0); // its own labels
    EXPECT_EQ(hostEnvelope(copy).keyCount(), 2);
    // Separate storage: changing the copy leaves the source.
    copy->keyHead->deltas[0] = 42.0;
    copy->pointArray[0]->basePos[0] = 42.0;
    expectSample(source);
}

TEST_F(CageRecord, ACopyOfAGroupWithCopiesTakesTheNumberAfterTheHighest) {
    CageInstance* arm = newCage();
    std::strcpy(arm->groupName, "arm");
    CageInstance* first = newCage();
    std::strcpy(first->groupName, "arm_#(1)");
    CageInstance* other = newCage();
    std::strcpy(other->groupName, "leg_#(7)");
    CageInstance* copy = newCage();
    CageCustomCopy(copy, arm);
    EXPECT_STREQ(copy->groupName, "arm_#(2)");
    EXPECT_EQ(copy->pointCount, 0);
    EXPECT_EQ(copy->keyHead, nullptr);
    CageInstance* again = newCage();
    CageCustomCopy(again, first);
    EXPECT_STREQ(again->groupName, "arm_#(3)");
}

} // namespace storage_test
