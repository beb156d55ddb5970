// motion/: channel groups, channels and their envelopes (keys, shapes, pre
// and post behaviours, evaluation, event callbacks). Knows no items.
//
// Channels and channel groups: every item has a group holding its nine
// motion channels, and plug-ins add channels and groups of their own. A
// channel carries one envelope; the SDK's channel, group and envelope IDs are
// pointers to these objects.
#ifndef MORVANE_HOST_MOTION_MOTION_H
#define MORVANE_HOST_MOTION_MOTION_H

#include "motion/envelope.h"

#include <memory>
#include <string>
#include <vector>

namespace host {

class ChannelGroup;

class Channel {
  public:
    Channel(ChannelGroup* group, std::string name, int type);
    const std::string& name() const { return envelope_.name(); }
    int type() const { return envelope_.type(); }
    ChannelGroup* group() const { return group_; }
    Envelope& envelope() { return envelope_; }
    const Envelope& envelope() const { return envelope_; }

  private:
    ChannelGroup* group_;
    Envelope envelope_;
};

class ChannelGroup {
  public:
    ChannelGroup(std::string name, ChannelGroup* parent)
        : name_(std::move(name)), parent_(parent) {}
    ChannelGroup(const ChannelGroup&) = delete;
    ChannelGroup& operator=(const ChannelGroup&) = delete;

    const std::string& name() const { return name_; }
    ChannelGroup* parent() const { return parent_; }

    Channel& addChannel(const std::string& name, int type);
    // Destroys the channel and its envelope (its DESTROY event fires).
    void removeChannel(Channel* channel);
    Channel* findChannel(const std::string& name);
    const std::vector<std::unique_ptr<Channel>>& channels() const { return channels_; }

    ChannelGroup& addGroup(const std::string& name);
    void removeGroup(ChannelGroup* group);
    const std::vector<std::unique_ptr<ChannelGroup>>& groups() const { return groups_; }

  private:
    std::string name_;
    ChannelGroup* parent_;
    std::vector<std::unique_ptr<Channel>> channels_;
    std::vector<std::unique_ptr<ChannelGroup>> groups_;
};

// The nine motion channels, in their scene-file order.
extern const char* const kMotionChannelNames[9];

// A group named after the item with the nine motion channels, each keyed at
// time 0 with the rest value (position and rotation 0, scale 1).
std::unique_ptr<ChannelGroup> makeMotionChannels(const std::string& itemName);

} // namespace host

#endif
