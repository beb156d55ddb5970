#include "motion/motion.h"

#include <algorithm>

namespace host {

const char* const kMotionChannelNames[9] = {"Position.X", "Position.Y", "Position.Z",
                                            "Rotation.H", "Rotation.P", "Rotation.B",
                                            "Scale.X",    "Scale.Y",    "Scale.Z"};

Channel::Channel(ChannelGroup* group, std::string name, int type)
    : group_(group), envelope_(std::move(name), type) {}

Channel& ChannelGroup::addChannel(const std::string& name, int type) {
    channels_.push_back(std::make_unique<Channel>(this, name, type));
    return *channels_.back();
}

void ChannelGroup::removeChannel(Channel* channel) {
    auto found =
        std::find_if(channels_.begin(), channels_.end(),
                     [&](const std::unique_ptr<Channel>& c) { return c.get() == channel; });
    if (found == channels_.end()) return;
    // Take it out of the list first: its DESTROY callbacks may list the group.
    std::unique_ptr<Channel> doomed = std::move(*found);
    channels_.erase(found);
}

Channel* ChannelGroup::findChannel(const std::string& name) {
    for (auto& c : channels_)
        if (c->name() == name) return c.get();
    return nullptr;
}

ChannelGroup& ChannelGroup::addGroup(const std::string& name) {
    groups_.push_back(std::make_unique<ChannelGroup>(name, this));
    return *groups_.back();
}

void ChannelGroup::removeGroup(ChannelGroup* group) {
    auto found =
        std::find_if(groups_.begin(), groups_.end(),
                     [&](const std::unique_ptr<ChannelGroup>& g) { return g.get() == group; });
    if (found == groups_.end()) return;
    std::unique_ptr<ChannelGroup> doomed = std::move(*found);
    groups_.erase(found);
}

std::unique_ptr<ChannelGroup> makeMotionChannels(const std::string& itemName) {
    auto group = std::make_unique<ChannelGroup>(itemName, nullptr);
    for (int i = 0; i < 9; ++i) {
        int type = i < 3 ? LWET_DISTANCE : i < 6 ? LWET_ANGLE : LWET_PERCENT;
        Channel& channel = group->addChannel(kMotionChannelNames[i], type);
        channel.envelope().createKey(0.0, i < 6 ? 0.0 : 1.0);
    }
    return group;
}

} // namespace host
