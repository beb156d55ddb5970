// scene/: the items and where they are: items, item order, selection and
// timing; world transforms up the parent chain and the motion edits behind
// them; graph-editor key edits; item copies for Clone.
//
// The scene: items with opaque IDs, names, types, parents, motion channels
// and, for objects, a mesh and render settings; the item order Layout keeps
// per item type; the selection; time and frame ranges.
#ifndef MORVANE_HOST_SCENE_SCENE_H
#define MORVANE_HOST_SCENE_SCENE_H

#include "mesh/mesh.h"
#include "motion/motion.h"

#include <lwrender.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

// A line of a scene file kept for writing the file back: verbatim text the
// host does not model, or (marker) the name of a part the host writes from
// its own state, such as "show", "motion" or "timing FirstFrame".
// A marker may hold the lines it was read from and the text the host wrote
// for them then: while the host still writes that text, the lines as read
// are written instead (numbers in the file's notation, lines inside an
// envelope the host does not model).
struct FileLine {
    bool marker = false;
    std::string text;
    std::vector<std::string> original;
    std::string generated;
};

struct Item {
    LWItemID id = nullptr;
    std::string name;
    LWItemType type = LWI_OBJECT;
    LWItemID parent = nullptr;
    // LWOVIS_* for objects, LWIVIS_* for other items.
    int visibility = 0;
    std::unique_ptr<ChannelGroup> channels;
    double pivot[3] = {0, 0, 0};
    double pivotRotation[3] = {0, 0, 0};

    // Objects: the file it came from (empty for a null), its layer, and the
    // shadow options and render flags Object Info reports.
    std::string path;
    unsigned layer = 1; // of the file, counted from 1 as scene files do
    std::shared_ptr<const Mesh> mesh;
    // The deformed positions of the current frame, as many as the mesh has
    // points; null while the object is not deformed.
    std::shared_ptr<const std::vector<Point>> currentPoints;
    unsigned int shadowOptions = 0;
    unsigned int renderFlags = 0;

    // As a scene file gave the item (empty when it came from elsewhere): its
    // lines in order, the colour fields of its Show line, and the object path
    // and layer as written, kept while path is still fileResolvedPath.
    std::vector<FileLine> fileLines;
    std::string fileColour;
    std::string filePath, fileResolvedPath;
    int fileLayer = 1;
    // Why its object file could not be read ("scene.lws:LINE: ..."); the
    // item was kept without points.
    std::string fileProblem;
};

struct SceneTiming {
    double time = 0.0; // seconds
    double framesPerSecond = 30.0;
    int frameStart = 1, frameEnd = 60, frameStep = 1;
    int previewStart = 0, previewEnd = 60, previewStep = 1;
    bool parentInPlace = false;
    bool fractionalFrames = false;
};

class Scene {
  public:
    // IDs carry non-zero high 32 bits above the scene-file ID, so code that
    // keeps only the low 32 bits of an ID is exercised.
    static constexpr std::uint64_t kIdHighBits = 0x4D4F525600000000ull;

    // Removes every item (their channels' envelopes fire DESTROY) and resets
    // the selection; timing is kept.
    void clear();

    Item& add(LWItemType type, const std::string& name);
    // A null is an object without geometry; a loaded object carries its mesh.
    Item& addNull(const std::string& name);
    Item& addObject(const std::string& name, const std::string& path,
                    std::shared_ptr<const Mesh> mesh);

    Item* find(const std::string& name);
    const Item* find(const std::string& name) const;
    Item* find(LWItemID id);
    const Item* find(LWItemID id) const;
    // The item whose scene-file ID (low 32 bits) is fileId.
    Item* findByFileId(std::uint32_t fileId);
    Item& get(LWItemID id); // throws HostError for an unknown ID

    // Items of a type in item order; null at the end.
    LWItemID first(LWItemType type) const;
    LWItemID next(LWItemID id) const;
    // Children of an item in item order.
    LWItemID firstChild(LWItemID parent) const;
    LWItemID nextChild(LWItemID parent, LWItemID previous) const;
    std::vector<Item*> items() const;

    // Position among the items of its type, or -1.
    int index(LWItemID id) const;
    // Moves the listed items (one type, null-terminated) to stand before
    // `point` (SPLICE_HEAD: first, SPLICE_TAIL: last). Returns an LI_* code.
    int splice(LWItemID point, const LWItemID* list);
    // The listed items (one type) take the places they hold now in the listed
    // order. Returns an LI_* code.
    int reorder(const LWItemID* list);
    // Swaps the places of each pair of items (same type) in a null-ended list.
    int swap(const LWItemID* pairs);

    // Makes parent the item's parent; null unparents. Refuses cycles.
    void setParent(LWItemID child, LWItemID parent);

    void select(LWItemID id);
    void addToSelection(LWItemID id);
    void clearSelection();
    // Layout's edit modes act on one item type: unless the first selected
    // item is of that type, the item of that type selected last (else the
    // first of that type in the list, else none) becomes the selection.
    void selectForEditing(LWItemType type);
    // Selected items in selection order, followed by a null entry. The
    // pointer stays valid until the selection changes.
    const LWItemID* selection() const { return selection_.data(); }
    LWItemID firstSelected() const { return selection_.front(); }
    bool isSelected(LWItemID id) const;

    SceneTiming& timing() { return timing_; }
    const SceneTiming& timing() const { return timing_; }

    // The scene-level lines of the file the scene was loaded from, from the
    // line after the version up to the first item (see Item::fileLines).
    std::vector<FileLine> fileHead;

    // The 32-bit scene-file ID of an item.
    static std::uint32_t fileId(LWItemID id) { return std::uint32_t(std::uintptr_t(id)); }

  private:
    void rememberSelected(LWItemID id);
    std::vector<std::unique_ptr<Item>>::iterator locate(const Item* item);
    Item& insert(LWItemType type, const std::string& name);

    std::vector<std::unique_ptr<Item>> items_;
    std::uint32_t nextNumber_[4] = {};
    std::vector<LWItemID> selection_{nullptr};
    LWItemID lastSelected_[LWI_CAMERA + 1] = {};
    SceneTiming timing_;
};

const char* itemTypeName(LWItemType type);

} // namespace host

#endif
