#include "scene/clone.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace host {

namespace {

std::string baseName(const std::string& name) {
    // "Null (3)" clones as "Null (4)", not "Null (3) (2)".
    if (name.size() < 4 || name.back() != ')') return name;
    size_t open = name.rfind(" (");
    if (open == std::string::npos || open + 3 > name.size() - 1) return name;
    for (size_t i = open + 2; i < name.size() - 1; ++i)
        if (name[i] < '0' || name[i] > '9') return name;
    return name.substr(0, open);
}

void copyKeys(Envelope& to, Envelope& source) {
    while (Envelope::Key* key = to.nextKey(nullptr))
        to.destroyKey(key);
    to.setPreBehavior(source.preBehavior());
    to.setPostBehavior(source.postBehavior());
    for (Envelope::Key* key = source.nextKey(nullptr); key; key = source.nextKey(key)) {
        Envelope::Key* made = to.createKey(key->time(), key->value());
        int shape = key->shape();
        to.keySet(made, LWKEY_SHAPE, &shape);
        const double values[] = {key->tension(), key->continuity(), key->bias(),  key->param(0),
                                 key->param(1),  key->param(2),     key->param(3)};
        for (int tag = LWKEY_TENSION; tag <= LWKEY_PARAM_3; ++tag)
            to.keySet(made, tag, &values[tag - LWKEY_TENSION]);
    }
}

} // namespace

Item& addItemCopy(Scene& scene, LWItemID sourceId) {
    const Item& source = scene.get(sourceId);
    std::string base = baseName(source.name);
    std::string name;
    for (int number = 2;; ++number) {
        name = base + " (" + std::to_string(number) + ")";
        if (!scene.find(name)) break;
    }
    Item& clone = scene.add(source.type, name);
    const Item& from = source;
    clone.parent = from.parent;
    clone.visibility = from.visibility;
    std::copy(std::begin(from.pivot), std::end(from.pivot), clone.pivot);
    std::copy(std::begin(from.pivotRotation), std::end(from.pivotRotation), clone.pivotRotation);
    clone.path = from.path;
    clone.mesh = from.mesh;
    clone.shadowOptions = from.shadowOptions;
    clone.renderFlags = from.renderFlags;
    clone.fileProblem = from.fileProblem;
    for (const char* channel : kMotionChannelNames)
        copyKeys(clone.channels->findChannel(channel)->envelope(),
                 from.channels->findChannel(channel)->envelope());
    return clone;
}

} // namespace host
