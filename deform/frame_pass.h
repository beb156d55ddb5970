// A frame's points worked out ahead, on the host's threads.
//
// The host asks for one point per Evaluate call, from one thread. Most
// frames ask for the same points with the same inputs as the frame before
// (a still object under an animated cage), so the pass keeps every call's
// inputs (point, source, object position, weight-map values) and, at the
// next frame's first call, works out every point from them on the host's
// threads ("MultiThreading Utilities 2"). Each call then takes its point's
// answer when its inputs are those, to the bit, and computes the point
// itself otherwise. The answers are the ones the call would compute: a
// point's result depends on its inputs, the cages and the settings alone
// (deform/point_displacement.h), and each thread keeps its scratch in its
// own mark lane.
#ifndef MORVANE_DEFORM_FRAME_PASS_H
#define MORVANE_DEFORM_FRAME_PASS_H

#include <lwmeshes.h>
#include <lwmtutil.h>

struct DeformInstance;
struct FramePass;

FramePass* newFramePass();
void freeFramePass(FramePass* pass);

// The threads a pass runs on: MORVANE_THREADS when set (1 to kMarkLanes),
// else the processors online, at most kMarkLanes. One means no pass.
int framePassThreads();

// A frame of `calls` points' work on one thread, counted in points that
// replay a kept Skin blend, by the cages' modes and caches (after the
// refresh): what the threads would share.
double framePassWork(const DeformInstance* deform, int calls);

// The least framePassWork worth a pass: MORVANE_PASS_FROM when set (0
// runs a pass for any frame), else what starting the threads costs.
double framePassWorthPoints();

// At a frame's first call, after the cages' refresh: the inputs of the
// last frame's first `calls` calls are worked out on `threads` threads of
// mt. Without them (no service, one thread, nothing recorded, another
// number of cages), or when fewer than half of the last frame's calls had
// the inputs of the frame before, the frame runs call by call.
void runFramePass(FramePass* pass, DeformInstance* deform, int calls, LWMTUtilFuncs* mt,
                  int threads);

// The answer for the call in place `slot` when the pass worked out this
// very input (weights: one per cage, as readPointWeights gives them):
// true, with *moved and out (the new position, written only when moved; out
// may be source).
bool takeFrameAnswer(FramePass* pass, int slot, LWPntID point, const double source[3],
                     const double oPos[3], const float* weights, int cageCount, bool* moved,
                     double out[3]);

// Keeps the inputs of a call that took no answer for the next frame's pass
// (within a memory budget; beyond it the call is not recorded).
void recordFrameInputs(FramePass* pass, int slot, LWPntID point, const double source[3],
                       const double oPos[3], const float* weights, int cageCount);

// The calls of this frame the pass worked out (0 without a pass).
int framePassAnswered(const FramePass* pass);

#endif
