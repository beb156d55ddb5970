// Uniform grids over a cage's rest shape: a 3D grid of triangles and one of
// linegons for the nearest-element search, and a 2D (x-y) grid of triangles
// for the inside test.
//
// Cell (x, y, z) is cellLists[x + y*strideY + z*strideZ] (2D: x + y*strideY);
// cell i along an axis covers [origin + i*s, origin + (i+1)*s). Each cell
// holds a singly linked list, newest node first, whose nodes come from
// chunks the grid owns. An empty grid has no cell array, zero dims and no
// chunks; every lookup below treats it as "nothing here".
//
// The grids point at the cage's element records: rebuild them whenever the
// elements are rebuilt.
#ifndef MORVANE_GEOMETRY_ELEMENT_GRIDS_H
#define MORVANE_GEOMETRY_ELEMENT_GRIDS_H

#include "cage_instance.h"
#include "geometry/mark_lane.h"

#include <cstddef>

struct TrisNode {
    TrigonData* tri;
    TrisNode* next;
};

// A triangle as the nearest-element walks read it first: its rest ball
// (centre, radius) beside the pointer, so that passing over a triangle out
// of reach reads nothing but its cell's run.
struct TrisEntry {
    double ball[4];
    TrigonData* tri;
    unsigned int place; // tri->place
};

struct TrisChunk {
    TrisNode* nodes;
    unsigned int used;
    unsigned int capacity;
    TrisChunk* next;
};

struct LineNode {
    LinegonData* lin;
    LineNode* next;
};

struct LineChunk {
    LineNode* nodes;
    unsigned int used;
    unsigned int capacity;
    LineChunk* next;
};

// Standalone trigons and polygon fan triangles, by rest box.
struct TrisMat3D {
    TrisNode** cellLists;
    double gridOrigin[3];
    double gridMax[3];
    int gridDims[3];
    double cellSize;
    unsigned int strideY;
    unsigned int strideZ;
    TrisChunk* chunks; // newest first
    unsigned int chunkCapacity;
    // Per cell, the box around the rest boxes of the triangles listed in it
    // (min x, y, z, then max x, y, z, rounded outwards; empty cells hold an
    // empty box), and how far any cell's box reaches out of its cell.
    float* cellBounds;
    double maxReach;
    // Search scratch, per mark lane: the stamp of the lane's current walk.
    // A triangle was tested in that walk when its search mark in the lane
    // (geometry/mark_lane.h) holds the stamp, so a new walk takes the next
    // stamp instead of clearing the marks of the last; the marks (markCount
    // of them a lane) are cleared only when the stamps run out.
    LaneSlot<unsigned char> walkStamp[kMarkLanes];
    unsigned int markCount;
    // The cells' lists again, one run each for the searches: cell i's
    // triangles are packed[cellStart[i]] up to packed[cellStart[i + 1]], in
    // its list's order.
    TrisEntry* packed;
    std::size_t* cellStart;
};

// Linegons, by the cells their rest segment passes through.
struct LineMat3D {
    LineNode** cellLists;
    double gridOrigin[3];
    double gridMax[3];
    int gridDims[3];
    double cellSize;
    unsigned int strideY;
    unsigned int strideZ;
    LineChunk* chunks;
    unsigned int chunkCapacity;
    // As in TrisMat3D, for the linegons' segments.
    float* cellBounds;
    double maxReach;
    // As in TrisMat3D.
    LaneSlot<unsigned char> walkStamp[kMarkLanes];
    unsigned int markCount;
};

// Triangles not seen edge-on from above, by the x-y range of their rest box.
struct TrisMat2D {
    TrisNode** cellLists;
    double gridOrigin[2];
    double gridMax[2];
    int gridDims[2];
    double cellSize;
    unsigned int strideY;
    TrisChunk* chunks;
    unsigned int chunkCapacity;
};

// Cubic cell size for a box of the given extents and about `target` cells
// (bisection on the fraction of the largest extent). Extents below 4e-6 in
// every direction are replaced by (1, 1, 1). Negative or non-finite extent
// components count as 0. dims receives the cell counts, each >= 1.
double calcdLenOfMat(double extents[3], int target, unsigned int dims[3]);

// Rebuild the cage's grid of that kind from the rest data (rebuildCageRestData
// first). The 3D grids also clear the search marks of their kind of element
// in every lane and start the lanes' walk stamps over (see TrisMat3D). The record is
// allocated when the cage has none. Returns 1 when the grid has cells, 0 when it is empty: no
// elements of the kind, or an allocation failed (then nothing of the new grid is kept; a failed
// record allocation leaves the cage's pointer null).
int makeTrisMat3D(CageInstance* cage);
int makeLineMat3D(CageInstance* cage);
int makeTrisMat2D(CageInstance* cage);

// Free the cell array and every chunk; the record stays, empty. Null is fine.
void destroyMat3D(TrisMat3D* grid);
void destroyMat3D(LineMat3D* grid);
void destroyMat2D(TrisMat2D* grid);

// Empty and free all three records of the cage and null its pointers.
void freeCageGrids(CageInstance* cage);

// --- lookups ----------------------------------------------------------------

// The cell holding p, each index clamped into [0, dims-1] (a point off the
// grid gets the nearest border cell). Returns 1, or 0 with idx all 0 when
// the grid is null or empty or p is not finite.
int cellIndexOf(const TrisMat3D* grid, const double p[3], int idx[3]);
int cellIndexOf(const LineMat3D* grid, const double p[3], int idx[3]);
// Uses p[0], p[1].
int cellIndexOf(const TrisMat2D* grid, const double p[], int idx[2]);

// The clamped cell range [lo, hi] covered by the box [bmin, bmax]. Returns 1,
// or 0 with lo = hi = 0 when the grid is null or empty. A non-finite corner
// maps to the border cell on its side (NaN to cell 0).
int cellRangeOf(const TrisMat3D* grid, const double bmin[3], const double bmax[3], int lo[3],
                int hi[3]);
int cellRangeOf(const LineMat3D* grid, const double bmin[3], const double bmax[3], int lo[3],
                int hi[3]);

// Head of a cell's list; null when the cell is empty, out of range or the
// grid is null or empty.
TrisNode* cellList(const TrisMat3D* grid, int ix, int iy, int iz);
LineNode* cellList(const LineMat3D* grid, int ix, int iy, int iz);
TrisNode* cellList(const TrisMat2D* grid, int ix, int iy);

// Fault injection for the tests: the n-th grid allocation from now on
// (1-based; records, cell arrays, chunks) fails. 0 disarms it.
void failGridAllocationAt(int n);

#endif // MORVANE_GEOMETRY_ELEMENT_GRIDS_H
