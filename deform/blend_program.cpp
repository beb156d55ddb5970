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

int replayBlendProgram(const BlendStep* steps, int count, const double P[3], double* wm,
                       double disp[3]) {
    Sum stack[kBlendStackDepth];
    int depth = 0;
    Value value = {{0.0, 0.0, 0.0}, 0.0, false};
    Value kept[kBlendKept];
    for (int i = 0; i < count; ++i) {
        const BlendStep& s = steps[i];
        const bool opens = s.op == kStepOpen;
        const bool closes = s.op == kStepPolygonEnd || s.op == kStepPartEnd ||
                            s.op == kStepFadeEnd || s.op == kStepFinish;
        const int below = s.op == kStepPartEnd || s.op == kStepFadeEnd ? 2 : 1;
        const bool onTop = s.op == kStepMapTrigon || s.op == kStepMapLinegon ||
                           s.op == kStepAddPolygon || s.op == kStepNormalise ||
                           s.op == kStepBandAdd;
        if ((opens && depth >= kBlendStackDepth) || (closes && depth < below) ||
            (onTop && depth < 1))
            return -1;
        Sum& top = stack[depth > 0 ? depth - 1 : 0];
        switch (s.op) {
        case kStepMapTrigon:
            calcWeightWithTrigon_W(static_cast<const TrigonData*>(s.element), P, top.D, &top.W,
                                   s.weight);
            break;
        case kStepMapLinegon:
            calcWeightWithLinegon_W(static_cast<const LinegonData*>(s.element), P, top.D, &top.W,
                                    s.weight);
            break;
        case kStepOpen:
            stack[depth++] = Sum{{0.0, 0.0, 0.0}, 0.0};
            break;
        case kStepPolygonEnd:
            --depth;
            copy3D(top.D, value.d);
            value.wsum = top.W;
            value.sound = top.W > 0.0 && std::isfinite(top.D[0]) && std::isfinite(top.D[1]) &&
                          std::isfinite(top.D[2]);
            break;
        case kStepKeep:
        case kStepLoad: {
            const int k = int(s.weight);
            if (k < 0 || k >= kBlendKept) return -1;
            if (s.op == kStepKeep)
                kept[k] = value;
            else
                value = kept[k];
            break;
        }
        case kStepAddPolygon:
            if (value.sound) addPolygonBlend(value.d, value.wsum, top.D, &top.W, s.weight);
            break;
        case kStepPartEnd: {
            --depth;
            Sum& fade = stack[depth - 1];
            addFadedPart(top.D, top.W, s.weight, fade.D, &fade.W);
            break;
        }
        case kStepFadeEnd: {
            --depth;
            Sum& into = stack[depth - 1];
            addFadedSum(top.D, top.W, into.D, &into.W);
            break;
        }
        case kStepNormalise:
            normaliseBlend(top.D, &top.W);
            break;
        case kStepFinish:
            --depth;
            value.d[0] = value.d[1] = value.d[2] = 0.0;
            value.sound = finishBlend(top.D, top.W, value.d);
            break;
        case kStepBandAdd:
            if (value.sound) addBandPart(value.d, s.weight, top.D, &top.W);
            break;
        case kStepWeightFactor: // applied once the steps proved whole
            break;
        default:
            return -1;
        }
    }
    if (depth != 0) return -1;
    for (int i = 0; i < count; ++i)
        if (steps[i].op == kStepWeightFactor) *wm *= steps[i].weight;
    if (!value.sound) value.d[0] = value.d[1] = value.d[2] = 0.0;
    copy3D(value.d, disp);
    return value.sound ? 1 : 0;
}
