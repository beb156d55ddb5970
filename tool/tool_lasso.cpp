#include "tool/tool_lasso.h"

#include <math.h>
#include <string.h>

#include "module/memory.h"

namespace {

const int kMaxCrossings = 512;
const int kNodesPerRow = 20;

enum { kStartCrosses = 1, kRising = 2, kLevel = 4 };

int rowOf(const LassoOutline* lasso, float y) {
    int row = int(floorf((y - lasso->minY) / lasso->rowHeight));
    if (row < 0) row = 0;
    if (row > lasso->rowCount - 1) row = lasso->rowCount - 1;
    return row;
}

} // namespace

void add1PolLine(LassoOutline* lasso, float x, float y, const double worldPos[3]) {
    auto* node = static_cast<LassoNode*>(morvaneCalloc(1, sizeof(LassoNode)));
    if (!node) return;
    node->startX = x;
    node->startY = y;
    memcpy(node->worldPos, worldPos, sizeof node->worldPos);
    if (lasso->last) {
        lasso->last->endX = x;
        lasso->last->endY = y;
        lasso->last->next = node;
    } else {
        lasso->first = node;
        lasso->minX = lasso->maxX = x;
        lasso->minY = lasso->maxY = y;
    }
    lasso->last = node;
    if (x < lasso->minX) lasso->minX = x;
    if (x > lasso->maxX) lasso->maxX = x;
    if (y < lasso->minY) lasso->minY = y;
    if (y > lasso->maxY) lasso->maxY = y;
    ++lasso->count;
}

int makeLasso(LassoOutline* lasso) {
    if (lasso->count < 3) return 1;
    lasso->last->endX = lasso->first->startX;
    lasso->last->endY = lasso->first->startY;

    // Whether an edge's start vertex counts as a crossing: where the outline
    // passes through a vertex it is crossed once, where it turns back there
    // not at all or twice.
    float previousDy = lasso->last->endY - lasso->last->startY;
    for (LassoNode* n = lasso->first; n; n = n->next) {
        const float dy = n->endY - n->startY;
        n->flags = 0;
        if (dy == 0.0f) n->flags |= kLevel;
        if (dy > 0.0f) n->flags |= kRising;
        if ((previousDy > 0.0f && dy >= 0.0f) || (previousDy <= 0.0f && dy < 0.0f))
            n->flags |= kStartCrosses;
        previousDy = dy;
    }

    lasso->rowCount = lasso->count / kNodesPerRow + 1;
    const float span = lasso->maxY - lasso->minY;
    lasso->rowHeight = span < 1e-7f ? 1.0f : span / float(lasso->rowCount);
    lasso->rows =
        static_cast<LassoNode***>(morvaneCalloc(size_t(lasso->rowCount), sizeof(LassoNode**)));
    lasso->rowFill = static_cast<int*>(morvaneCalloc(size_t(lasso->rowCount), sizeof(int)));
    if (!lasso->rows || !lasso->rowFill) {
        destroyLasso(lasso);
        return 1;
    }
    // Count, allocate, fill: each row's list ends with a null.
    for (int pass = 0; pass < 2; ++pass) {
        for (LassoNode* n = lasso->first; n; n = n->next) {
            const float lo = n->startY < n->endY ? n->startY : n->endY;
            const float hi = n->startY < n->endY ? n->endY : n->startY;
            for (int row = rowOf(lasso, lo); row <= rowOf(lasso, hi); ++row) {
                if (pass == 1) lasso->rows[row][lasso->rowFill[row]] = n;
                ++lasso->rowFill[row];
            }
        }
        for (int row = 0; row < lasso->rowCount; ++row) {
            if (pass == 0) {
                lasso->rows[row] = static_cast<LassoNode**>(
                    morvaneCalloc(size_t(lasso->rowFill[row]) + 1, sizeof(LassoNode*)));
                if (!lasso->rows[row]) {
                    destroyLasso(lasso);
                    return 1;
                }
            }
            lasso->rowFill[row] = 0;
        }
    }
    return 0;
}

int isInLasso(const LassoOutline* lasso, float x, float y) {
    if (!lasso->rows) return 0;
    if (x < lasso->minX || x > lasso->maxX || y < lasso->minY || y > lasso->maxY) return 0;
    float crossings[kMaxCrossings];
    int count = 0;
    auto add = [&](float value) {
        // Past the last place the counter stays: nothing is written beyond.
        if (count < kMaxCrossings)
            crossings[count++] = value;
        else
            crossings[kMaxCrossings - 1] = value;
    };
    for (LassoNode** e = lasso->rows[rowOf(lasso, y)]; *e; ++e) {
        const LassoNode* n = *e;
        if (y == n->startY) {
            if (n->flags & kStartCrosses) add(n->startX);
        } else if (!(n->flags & kLevel)) {
            const float lo = n->startY < n->endY ? n->startY : n->endY;
            const float hi = n->startY < n->endY ? n->endY : n->startY;
            if (y > lo && y < hi)
                add(n->startX + (n->endX - n->startX) * (y - n->startY) / (n->endY - n->startY));
        }
    }
    if (count < 2) return 0;
    fValueSort(crossings, 0, count - 1);
    for (int i = 0; i + 1 < count; i += 2)
        if (x >= crossings[i] && x <= crossings[i + 1]) return 1;
    return 0;
}

void destroyLasso(LassoOutline* lasso) {
    for (LassoNode* n = lasso->first; n;) {
        LassoNode* next = n->next;
        morvaneFree(n);
        n = next;
    }
    if (lasso->rows)
        for (int row = 0; row < lasso->rowCount; ++row)
            morvaneFree(lasso->rows[row]);
    morvaneFree(lasso->rows);
    morvaneFree(lasso->rowFill);
    memset(lasso, 0, sizeof *lasso);
}

void fValueSort(float* values, int first, int last) {
    while (first < last) {
        const float pivot = values[first + (last - first) / 2];
        int i = first, j = last;
        while (i <= j) {
            while (values[i] < pivot)
                ++i;
            while (values[j] > pivot)
                --j;
            if (i <= j) {
                const float t = values[i];
                values[i++] = values[j];
                values[j--] = t;
            }
        }
        // The smaller side recursively, the larger in the loop: bounded depth.
        if (j - first < last - i) {
            fValueSort(values, first, j);
            first = i;
        } else {
            fValueSort(values, i, last);
            last = j;
        }
    }
}
