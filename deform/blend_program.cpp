#include "deform/blend_program.h"

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

} // namespace

bool replayBlendProgram(const BlendStep* steps, int count, const double P[3], double* wm,
                        double disp[3]) {
    // Kept programs were checked step by step as they were recorded.
    Sum stack[kBlendStackDepth + 1];
    Sum* top = stack; // stack[0] is never a sum: the first step opens one
    Value value = {{0.0, 0.0, 0.0}, 0.0, false};
    Value kept[kBlendKept];
    for (const BlendStep* s = steps; s != steps + count; ++s) {
        switch (s->op) {
        case kStepMapTrigon:
            calcWeightWithTrigon_W(static_cast<const TrigonData*>(s->element), P, top->D, &top->W,
                                   s->weight);
            break;
        case kStepMapLinegon:
            calcWeightWithLinegon_W(static_cast<const LinegonData*>(s->element), P, top->D, &top->W,
                                    s->weight);
            break;
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
            kept[int(s->weight)] = value;
            break;
        case kStepLoad:
            value = kept[int(s->weight)];
            break;
        case kStepAddPolygon:
            if (value.sound) addPolygonBlend(value.d, value.wsum, top->D, &top->W, s->weight);
            break;
        case kStepPartEnd:
            addFadedPart(top->D, top->W, s->weight, top[-1].D, &top[-1].W);
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
        case kStepBandAdd:
            if (value.sound) addBandPart(value.d, s->weight, top->D, &top->W);
            break;
        case kStepWeightFactor:
            *wm *= s->weight;
            break;
        default:
            break;
        }
    }
    if (!value.sound) value.d[0] = value.d[1] = value.d[2] = 0.0;
    copy3D(value.d, disp);
    return value.sound;
}
