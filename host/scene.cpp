#include "host/scene.h"

#include "host/host_error.h"

namespace host {

Item& Scene::add(LWItemType type, const std::string& name) {
    if (type < LWI_OBJECT || type > LWI_BONE) throw HostError("invalid item type");
    std::uint32_t number = nextNumber_[type]++;
    std::uint32_t fileIdValue = (std::uint32_t(type + 1) << 28) | number;
    auto item = std::make_unique<Item>();
    item->id = reinterpret_cast<LWItemID>(std::uintptr_t(kIdHighBits | fileIdValue));
    item->name = name;
    item->type = type;
    items_.push_back(std::move(item));
    return *items_.back();
}

Item* Scene::find(const std::string& name) {
    for (auto& item : items_)
        if (item->name == name) return item.get();
    return nullptr;
}

Item* Scene::find(LWItemID id) {
    for (auto& item : items_)
        if (item->id == id) return item.get();
    return nullptr;
}

const Item* Scene::find(LWItemID id) const {
    return const_cast<Scene*>(this)->find(id);
}

LWItemID Scene::first(LWItemType type) const {
    for (auto& item : items_)
        if (item->type == type) return item->id;
    return nullptr;
}

LWItemID Scene::next(LWItemID id) const {
    bool seen = false;
    LWItemType type = 0;
    for (auto& item : items_) {
        if (seen && item->type == type) return item->id;
        if (item->id == id) {
            seen = true;
            type = item->type;
        }
    }
    return nullptr;
}

void Scene::select(LWItemID id) {
    selection_.assign({id, nullptr});
}

void Scene::clearSelection() {
    selection_.assign({nullptr});
}

const char* itemTypeName(LWItemType type) {
    switch (type) {
    case LWI_OBJECT:
        return "object";
    case LWI_LIGHT:
        return "light";
    case LWI_CAMERA:
        return "camera";
    case LWI_BONE:
        return "bone";
    }
    return "unknown";
}

} // namespace host
