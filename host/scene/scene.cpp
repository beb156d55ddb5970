#include "scene/scene.h"

#include "common/host_error.h"

#include <algorithm>

namespace host {

namespace {

const LWItemID kSpliceTail = reinterpret_cast<LWItemID>(std::uintptr_t(0xffffffffu));

} // namespace

Item& Scene::insert(LWItemType type, const std::string& name) {
    if (type < LWI_OBJECT || type > LWI_CAMERA) throw HostError("invalid item type");
    if (name.empty()) throw HostError("an item needs a name");
    std::uint32_t number = nextNumber_[type]++;
    std::uint32_t fileIdValue = (std::uint32_t(type + 1) << 28) | number;
    auto item = std::make_unique<Item>();
    item->id = reinterpret_cast<LWItemID>(std::uintptr_t(kIdHighBits | fileIdValue));
    item->name = name;
    item->type = type;
    item->visibility = type == LWI_OBJECT ? LWOVIS_SHADED : LWIVIS_VISIBLE;
    item->channels = makeMotionChannels(name);
    items_.push_back(std::move(item));
    return *items_.back();
}

void Scene::clear() {
    selection_.assign({nullptr});
    // Children first, so nothing is left pointing at a removed parent.
    while (!items_.empty())
        items_.pop_back();
    for (std::uint32_t& n : nextNumber_)
        n = 0;
    fileHead.clear();
}

Item& Scene::add(LWItemType type, const std::string& name) {
    if (type == LWI_OBJECT) return addNull(name);
    return insert(type, name);
}

Item& Scene::addNull(const std::string& name) {
    Item& item = insert(LWI_OBJECT, name);
    // Layout's defaults for a new object.
    item.shadowOptions = LWOSHAD_SELF | LWOSHAD_CAST | LWOSHAD_RECEIVE;
    return item;
}

Item& Scene::addObject(const std::string& name, const std::string& path,
                       std::shared_ptr<const Mesh> mesh) {
    Item& item = addNull(name);
    item.path = path;
    item.mesh = std::move(mesh);
    return item;
}

Item* Scene::find(const std::string& name) {
    for (auto& item : items_)
        if (item->name == name) return item.get();
    return nullptr;
}

Item* Scene::find(LWItemID id) {
    if (!id) return nullptr;
    for (auto& item : items_)
        if (item->id == id) return item.get();
    return nullptr;
}

const Item* Scene::find(const std::string& name) const {
    return const_cast<Scene*>(this)->find(name);
}

const Item* Scene::find(LWItemID id) const {
    return const_cast<Scene*>(this)->find(id);
}

Item* Scene::findByFileId(std::uint32_t fileIdValue) {
    for (auto& item : items_)
        if (fileId(item->id) == fileIdValue) return item.get();
    return nullptr;
}

Item& Scene::get(LWItemID id) {
    Item* item = find(id);
    if (!item) throw HostError("no item with ID " + std::to_string(fileId(id)));
    return *item;
}

LWItemID Scene::first(LWItemType type) const {
    for (auto& item : items_)
        if (item->type == type) return item->id;
    return nullptr;
}

LWItemID Scene::next(LWItemID id) const {
    auto at = std::find_if(items_.begin(), items_.end(), [&](auto& i) { return i->id == id; });
    if (at == items_.end()) return nullptr;
    LWItemType type = (*at)->type;
    for (++at; at != items_.end(); ++at)
        if ((*at)->type == type) return (*at)->id;
    return nullptr;
}

LWItemID Scene::firstChild(LWItemID parent) const {
    for (auto& item : items_)
        if (item->parent == parent && parent) return item->id;
    return nullptr;
}

LWItemID Scene::nextChild(LWItemID parent, LWItemID previous) const {
    bool seen = false;
    for (auto& item : items_) {
        if (seen && item->parent == parent) return item->id;
        if (item->id == previous) seen = true;
    }
    return nullptr;
}

std::vector<Item*> Scene::items() const {
    std::vector<Item*> all;
    for (auto& item : items_)
        all.push_back(item.get());
    return all;
}

int Scene::index(LWItemID id) const {
    int position = 0;
    const Item* target = find(id);
    if (!target) return LI_Failed;
    for (auto& item : items_) {
        if (item.get() == target) return position;
        if (item->type == target->type) ++position;
    }
    return LI_Failed;
}

int Scene::splice(LWItemID point, const LWItemID* list) {
    if (!list || !list[0]) return LI_Success;
    std::vector<Item*> moving;
    for (const LWItemID* id = list; *id; ++id) {
        Item* item = find(*id);
        if (!item) return LI_InvalidItemType;
        if (!moving.empty() && moving.front()->type != item->type) return LI_MixedTypes;
        if (std::find(moving.begin(), moving.end(), item) == moving.end()) moving.push_back(item);
    }
    LWItemType type = moving.front()->type;
    Item* anchor = nullptr;
    if (point && point != kSpliceTail) {
        anchor = find(point);
        if (!anchor) return LI_InvalidInsertionPoint;
        if (anchor->type != type) return LI_ItemTypeMismatch;
        if (std::find(moving.begin(), moving.end(), anchor) != moving.end())
            return LI_CyclicInsertionPoint;
    }

    // Take the moving items out, then put them back before the anchor (or
    // before the first item of the type for the head, after the last for
    // the tail).
    std::vector<std::unique_ptr<Item>> taken;
    for (Item* m : moving) {
        auto at = locate(m);
        taken.push_back(std::move(*at));
        items_.erase(at);
    }
    auto where = items_.end();
    if (anchor) {
        where = locate(anchor);
    } else if (!point) {
        where =
            std::find_if(items_.begin(), items_.end(), [&](auto& i) { return i->type == type; });
    }
    items_.insert(where, std::make_move_iterator(taken.begin()),
                  std::make_move_iterator(taken.end()));
    return LI_Success;
}

std::vector<std::unique_ptr<Item>>::iterator Scene::locate(const Item* item) {
    return std::find_if(items_.begin(), items_.end(), [&](auto& i) { return i.get() == item; });
}

int Scene::reorder(const LWItemID* list) {
    if (!list) return LI_Failed;
    std::vector<Item*> wanted;
    std::vector<size_t> places;
    for (const LWItemID* id = list; *id; ++id) {
        Item* item = find(*id);
        if (!item) return LI_InvalidItemType;
        if (!wanted.empty() && wanted.front()->type != item->type) return LI_MixedTypes;
        if (std::find(wanted.begin(), wanted.end(), item) != wanted.end()) return LI_InvalidPair;
        wanted.push_back(item);
        places.push_back(size_t(locate(item) - items_.begin()));
    }
    std::sort(places.begin(), places.end());
    std::vector<std::unique_ptr<Item>> held;
    for (Item* item : wanted)
        held.push_back(std::move(*locate(item)));
    for (size_t i = 0; i < places.size(); ++i)
        items_[places[i]] = std::move(held[i]);
    return LI_Success;
}

int Scene::swap(const LWItemID* pairs) {
    if (!pairs) return LI_Failed;
    for (const LWItemID* p = pairs; p[0]; p += 2) {
        if (!p[1]) return LI_InvalidPair;
        Item* a = find(p[0]);
        Item* b = find(p[1]);
        if (!a || !b) return LI_InvalidItemType;
        if (a->type != b->type) return LI_ItemTypeMismatch;
        std::iter_swap(locate(a), locate(b));
    }
    return LI_Success;
}

void Scene::setParent(LWItemID child, LWItemID parent) {
    Item& item = get(child);
    for (LWItemID p = parent; p; p = get(p).parent)
        if (p == child) throw HostError("cannot parent " + item.name + " to its own descendant");
    item.parent = parent;
}

void Scene::select(LWItemID id) {
    selection_.assign({id, nullptr});
    rememberSelected(id);
}

void Scene::rememberSelected(LWItemID id) {
    const Item* item = find(id);
    if (item && item->type >= 0 && item->type <= LWI_CAMERA) lastSelected_[item->type] = id;
}

void Scene::selectForEditing(LWItemType type) {
    const Item* first = find(firstSelected());
    if (first && first->type == type) return;
    LWItemID id = type >= 0 && type <= LWI_CAMERA ? lastSelected_[type] : nullptr;
    const Item* item = find(id);
    if (!item || item->type != type) id = this->first(type);
    if (id)
        select(id);
    else
        clearSelection();
}

void Scene::addToSelection(LWItemID id) {
    if (std::find(selection_.begin(), selection_.end() - 1, id) != selection_.end() - 1) return;
    selection_.insert(selection_.end() - 1, id);
    rememberSelected(id);
}

void Scene::clearSelection() {
    selection_.assign({nullptr});
}

bool Scene::isSelected(LWItemID id) const {
    return id && std::find(selection_.begin(), selection_.end(), id) != selection_.end();
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
