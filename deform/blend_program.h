// A Skin point's blend as a program of steps, kept between frames.
//
// The weights of a Skin blend depend on where the point lies over the
// cage's rest shape and on the cage's settings; only the element maps
// depend on the current shape. While a point's blend is worked out, each
// step is recorded (which element is mapped with which weight, and how the
// partial sums are opened, normalised and closed). Replaying the steps
// calls the same functions with the same arguments in the same order, so
// the result is the same to the bit, without locating the point or working
// out a weight again.
//
// The stack machine: a stack of partial sums (D, W), a value register (a
// blend's displacement, its weight sum and whether it is sound) and a few
// kept values (a point's neighbouring polygons' blends).
#ifndef MORVANE_DEFORM_BLEND_PROGRAM_H
#define MORVANE_DEFORM_BLEND_PROGRAM_H

#include "cage_instance.h"
#include "geometry/quick_tls.h"

enum BlendOp {
    kStepMapTrigon,     // calcWeightWithTrigon_W(element, weight) into the top sum (kept as runs)
    kStepMapLinegon,    // calcWeightWithLinegon_W(element, weight) into the top sum
    kStepOpen,          // a new partial sum on the stack
    kStepPolygonEnd,    // pop: the value is that polygon blend
    kStepKeep,          // kept[index] = the value
    kStepLoad,          // the value = kept[index]
    kStepAddPolygon,    // a sound value's polygon blend added to the top sum with weight
    kStepPartEnd,       // pop a part: added normalised, with share weight, to the top (fade) sum
    kStepFadeEnd,       // pop the fade sum: added to the top sum when sound
    kStepNormalise,     // the top sum normalised to weight 1 (the polygon's own part)
    kStepFinish,        // pop: the value is that sum's displacement
    kStepBandAdd,       // a sound value added to the top (band) sum with weight
    kStepWeightFactor,  // the weight-map factor multiplied by weight
    kStepPolygonAdd,    // kStepPolygonEnd, then kStepAddPolygon (recorded as one)
    kStepRunPolygonAdd, // kStepOpen, a run of kStepMapTrigon, kStepPolygonAdd (recorded as one)
    kStepSteps
};

// A program is a byte string, read at every frame of every point, so it is
// kept small: each step is its op byte, then for a linegon's map the
// element's place in the cage's blocks (4 bytes; LinegonData::place) and
// the weight (8 bytes), for the kept values their index (1 byte), and for
// the other weighted steps the weight. Triangle maps that follow one
// another are kept as one run, replayed without a dispatch per map: a
// count (1 byte), then per map its place (TrigonData::place, 4 bytes, the
// top bit set for weight 1) and its weight (8 bytes, none for weight 1).
const int kBlendProgramBytes = 4096;

// A kept program's polygon weights are at least 0 and finite (a program
// whose blend adds a polygon with any other weight is not kept).
//
// Bounds under which a run of maps cannot leave the finite doubles. A map
// whose entries are all at most kBoundedMapEntry in magnitude (a triangle's
// worldMapState 1), of a point within kBoundedPoint, with a weight of at
// most kBoundedMapWeight (a kept program holds no other), adds less than
// 2^854 to each lane; 255 of them added to a sum within kBoundedRunSum
// keep every lane below 2^901, and the four lanes' sum finite. The replay
// then leaves out the finiteness test each map's step defines: while these
// hold, that test always passes.
constexpr double kBoundedMapEntry = 0x1p500;
constexpr double kBoundedMapWeight = 0x1p300;
constexpr double kBoundedPoint = 0x1p50;
constexpr double kBoundedRunSum = 0x1p900;

// The recording of one point's steps (the caller's room).
struct BlendRecorder {
    unsigned char* bytes;
    int used;
    int capacity;
    const CageInstance* cage; // whose elements the steps name
    int depth;                // the stack's depth as recorded
    int abandoned;            // a step did not fit, or the blend took a way the steps do not cover
    int lastOp;               // where the last step's op byte is (-1: none yet)
    int earlierOps[2];        // where the two steps before it start (-1: none)
};

// Partial sums a blend nests at most, and values it keeps.
const int kBlendStackDepth = 8;
const int kBlendKept = 32;

// The thread's recording, when one runs (null otherwise).
extern thread_local BlendRecorder* stBlendRecorder MORVANE_QUICK_TLS;

// Appends a step (element: the map's triangle or linegon; weight: its
// weight, or the kept value's index) to the thread's recording, when one
// runs. A step that does not fit, or one the stack could not take,
// abandons the recording: a kept program is whole, so its replay need not
// check.
void appendBlendStep(BlendRecorder* r, int op, const void* element, double weight);
inline void recordBlendStep(int op, const void* element = nullptr, double weight = 0.0) {
    if (BlendRecorder* r = stBlendRecorder) appendBlendStep(r, op, element, weight);
}
inline void abandonBlendRecording() {
    if (BlendRecorder* r = stBlendRecorder) r->abandoned = 1;
}

// Runs a kept program (count bytes) over the cage's elements for the world
// point P: true with disp when the blend is sound, false (disp zero) when
// it is not, *wm multiplied by the recorded factors. `maps`: the cage's
// triangle maps by place when all of this frame's are held there and
// bounded (deform/trigon_maps.h), else null.
bool replayBlendProgram(const CageInstance* cage, const double* maps, const unsigned char* program,
                        int count, const double P[3], double* wm, double disp[3]);

#endif
