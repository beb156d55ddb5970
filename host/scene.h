// The scene: items with opaque IDs, names and types, and the selection.
#ifndef MORVANE_HOST_SCENE_H
#define MORVANE_HOST_SCENE_H

#include <lwrender.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

struct Item {
    LWItemID id;
    std::string name;
    LWItemType type;
};

class Scene {
  public:
    // IDs carry non-zero high 32 bits above the scene-file ID, so code that
    // keeps only the low 32 bits of an ID is exercised.
    static constexpr std::uint64_t kIdHighBits = 0x4D4F525600000000ull;

    Item& add(LWItemType type, const std::string& name);
    Item* find(const std::string& name);
    Item* find(LWItemID id);
    const Item* find(LWItemID id) const;

    // Items of a type in item order; null at the end.
    LWItemID first(LWItemType type) const;
    LWItemID next(LWItemID id) const;

    void select(LWItemID id);
    void clearSelection();
    // Selected items in selection order, followed by a null entry.
    const LWItemID* selection() const { return selection_.data(); }

    // The 32-bit scene-file ID of an item.
    static std::uint32_t fileId(LWItemID id) { return std::uint32_t(std::uintptr_t(id)); }

  private:
    std::vector<std::unique_ptr<Item>> items_;
    std::uint32_t nextNumber_[4] = {};
    std::vector<LWItemID> selection_{nullptr};
};

const char* itemTypeName(LWItemType type);

} // namespace host

#endif
