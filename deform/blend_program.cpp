#include "deform/blend_program.h"

#include <string.h>

#include "deform/binding_weights.h"

thread_local BlendRecorder* stBlendRecorder MORVANE_QUICK_TLS = nullptr;

namespace {

struct Sum {
    double D[3];
    double W;
};

struct Value {
    double d[3];
    double wsum;
    bool sound;
};

// How deep the stack must be for a step, and how its depth changes.
int stepNeeds(int op) {
    if (op == kStepOpen || op == kStepKeep || op == kStepLoad || op == kStepWeightFactor) return 0;
    return op == kStepPartEnd || op == kStepFadeEnd ? 2 : 1;
}
int stepMoves(int op) {
    if (op == kStepOpen) return 1;
    const bool closes =
        op == kStepPolygonEnd || op == kStepPartEnd || op == kStepFadeEnd || op == kStepFinish;
    return closes ? -1 : 0;
}
bool carriesWeight(int op) {
    return op == kStepMapTrigon || op == kStepMapLinegon || op == kStepAddPolygon ||
           op == kStepPartEnd || op == kStepBandAdd || op == kStepWeightFactor;
}

// The element's place in the cage's blocks, or -1 when it is not one of
// the cage's.
long elementPlace(const CageInstance* cage, int op, const void* element) {
    if (!cage || !element) return -1;
    if (op == kStepMapLinegon) {
        const auto* lin = static_cast<const LinegonData*>(element);
        const bool ours = cage->linegonBlock && int(lin->place) < cage->linegonCount &&
                          &cage->linegonBlock[lin->place] == lin;
        return ours ? long(lin->place) : -1;
    }
    const auto* tri = static_cast<const TrigonData*>(element);
    return trigonAtPlace(cage, tri->place) == tri ? long(tri->place) : -1;
}

template <class T> void put(BlendRecorder* r, T v) {
    memcpy(r->bytes + r->used, &v, sizeof v);
    r->used += int(sizeof v);
}

template <class T> T take(const unsigned char*& at) {
    T v;
    memcpy(&v, at, sizeof v);
    at += sizeof v;
    return v;
}

} // namespace

void appendBlendStep(BlendRecorder* r, int op, const void* element, double weight) {
    if (r->abandoned) return;
    const bool keeps = op == kStepKeep || op == kStepLoad;
    if (op == kStepMapTrigon && weight == 1.0) op = kStepMapTrigonUnit;
    const bool maps = op == kStepMapTrigon || op == kStepMapTrigonUnit || op == kStepMapLinegon;
    const long place = maps ? elementPlace(r->cage, op, element) : 0;
    const int size = 1 + (maps ? 4 : 0) + (carriesWeight(op) ? 8 : 0) + (keeps ? 1 : 0);
    if (r->used + size > r->capacity || r->depth < stepNeeds(op) || place < 0 ||
        (keeps && !(weight >= 0.0 && weight < kBlendKept))) {
        r->abandoned = 1;
        return;
    }
    r->depth += stepMoves(op);
    if (r->depth > kBlendStackDepth) r->abandoned = 1;
    put<unsigned char>(r, static_cast<unsigned char>(op));
    if (maps) put<unsigned int>(r, static_cast<unsigned int>(place));
    if (carriesWeight(op)) put<double>(r, weight);
    if (keeps) put<unsigned char>(r, static_cast<unsigned char>(weight));
}

bool replayBlendProgram(const CageInstance* cage, const unsigned char* program, int count,
                        const double P[3], double* wm, double disp[3]) {
    // Kept programs were checked step by step as they were recorded.
    Sum stack[kBlendStackDepth + 1];
    Sum* top = stack; // stack[0] is never a sum: the first step opens one
    Value value = {{0.0, 0.0, 0.0}, 0.0, false};
    Value kept[kBlendKept];
    const unsigned char* at = program;
    const unsigned char* end = program + count;
    while (at < end) {
        const int op = *at++;
        switch (op) {
        case kStepMapTrigon: {
            const TrigonData* tri = trigonAtPlace(cage, take<unsigned int>(at));
            addTrigonMapped(tri, P, top->D, &top->W, take<double>(at));
            break;
        }
        case kStepMapTrigonUnit:
            addTrigonMapped(trigonAtPlace(cage, take<unsigned int>(at)), P, top->D, &top->W, 1.0);
            break;
        case kStepMapLinegon: {
            const LinegonData* lin = &cage->linegonBlock[take<unsigned int>(at)];
            calcWeightWithLinegon_W(lin, P, top->D, &top->W, take<double>(at));
            break;
        }
        case kStepOpen:
            ++top;
            *top = Sum{{0.0, 0.0, 0.0}, 0.0};
            break;
        case kStepPolygonEnd:
            copy3D(top->D, value.d);
            value.wsum = top->W;
            value.sound = top->W > 0.0 && std::isfinite(top->D[0]) && std::isfinite(top->D[1]) &&
                          std::isfinite(top->D[2]);
            --top;
            break;
        case kStepKeep:
            kept[*at++] = value;
            break;
        case kStepLoad:
            value = kept[*at++];
            break;
        case kStepAddPolygon: {
            const double w = take<double>(at);
            if (value.sound) addPolygonBlend(value.d, value.wsum, top->D, &top->W, w);
            break;
        }
        case kStepPartEnd:
            addFadedPart(top->D, top->W, take<double>(at), top[-1].D, &top[-1].W);
            --top;
            break;
        case kStepFadeEnd:
            addFadedSum(top->D, top->W, top[-1].D, &top[-1].W);
            --top;
            break;
        case kStepNormalise:
            normaliseBlend(top->D, &top->W);
            break;
        case kStepFinish:
            value.d[0] = value.d[1] = value.d[2] = 0.0;
            value.sound = finishBlend(top->D, top->W, value.d);
            --top;
            break;
        case kStepBandAdd: {
            const double w = take<double>(at);
            if (value.sound) addBandPart(value.d, w, top->D, &top->W);
            break;
        }
        case kStepWeightFactor:
            *wm *= take<double>(at);
            break;
        default:
            at = end;
            break;
        }
    }
    if (!value.sound) value.d[0] = value.d[1] = value.d[2] = 0.0;
    copy3D(value.d, disp);
    return value.sound;
}
