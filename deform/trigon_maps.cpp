#include "deform/trigon_maps.h"

#include <string.h>

#include <new>

#include "deform/binding_weights.h"
#include "module/memory.h"

TrigonMapTable* newTrigonMapTable() {
    void* place = morvaneAlloc(sizeof(TrigonMapTable));
    if (!place) return nullptr;
    return new (place) TrigonMapTable(); // every member 0
}

void freeTrigonMapTable(TrigonMapTable* table) {
    if (!table) return;
    morvaneFreeLines(table->maps);
    table->~TrigonMapTable();
    morvaneFree(table);
}

bool reserveTrigonMaps(TrigonMapTable* table, const CageInstance* cage) {
    if (!table) return false;
    table->finished = table->ready = 0;
    table->places = 0;
    table->spoiled.store(0);
    const int places = cage ? trigonPlacesOf(cage) : 0;
    if (places <= 0) return false;
    if (places > table->capacity) {
        morvaneFreeLines(table->maps);
        table->capacity = 0;
        table->maps = static_cast<double*>(
            morvaneAllocLines(size_t(places) * kTrigonMapDoubles * sizeof(double)));
        if (!table->maps) return false;
        table->capacity = places;
    }
    table->places = places;
    return true;
}

void copyTrigonMaps(TrigonMapTable* table, CageInstance* cage, int first, int last) {
    if (!table || !table->places) return;
    bool spoiled = false;
    for (int at = first; at < last && at < table->places; ++at) {
        TrigonData* tri = trigonAtPlace(cage, unsigned(at));
        if (!tri) continue; // a place no program names
        readyTrigonWorldMap(tri);
        if (tri->worldMapState != 1) spoiled = true;
        memcpy(table->maps + size_t(at) * kTrigonMapDoubles, tri->worldMap,
               kTrigonMapDoubles * sizeof(double));
    }
    if (spoiled) table->spoiled.store(1, std::memory_order_relaxed);
}

void finishTrigonMaps(TrigonMapTable* table) {
    if (!table) return;
    table->finished = 1;
    table->ready = table->places > 0 && !table->spoiled.load();
}

size_t trigonMapTableBytes(const TrigonMapTable* table) {
    return table ? size_t(table->capacity) * kTrigonMapDoubles * sizeof(double) : 0;
}

static_assert(sizeof(static_cast<TrigonData*>(nullptr)->worldMap) ==
                  kTrigonMapDoubles * sizeof(double),
              "a table's place holds a triangle's whole map");
