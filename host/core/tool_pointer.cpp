// HostCore's pointer events: a button pressed in a view, dragged and
// released, each handed to the active Layout tool as Layout builds it.
#include "core/host_core.h"

#include "common/host_error.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace host {

namespace {

// Layout keeps sending motion outside the view, but a pointer this far away
// is a typing error, and whole-pixel offsets must stay in an int.
constexpr double kFarthestPixel = 1e6;

std::string pixelText(double x, double y) {
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g)", x, y);
    return text;
}

} // namespace

void HostCore::toolPress(int view, double x, double y, bool right) {
    if (!toolRecord_.instance) throw HostError("no Layout tool is active to take the press");
    if (held_) throw HostError("a button is held already (release it first)");
    const Viewport& v = viewports_.view(view);
    const ViewGeometry g = viewports_.geometry(scene_, view, scene_.timing().time);
    if (!(x >= 0 && x < g.rect.width && y >= 0 && y < g.rect.height))
        throw HostError(pixelText(x, y) + " is outside view " + std::to_string(view) + " (" +
                        std::to_string(g.rect.width) + " x " + std::to_string(g.rect.height) +
                        " pixels)");
    HeldPointer held;
    held.view = view;
    held.press.x = held.x = x;
    held.press.y = held.y = y;
    held.press.right = right;
    pointerPoint(g, v, x, y, held.press.pos);
    held.last = toolEventAt(g, v, view, x, y, held.press);
    // Held before the call, so that a tool dropping itself in down lets go.
    held_ = held;
    sendToolEvent(
        [](LWLayoutToolFuncs& f, LWInstance i, LWToolEvent* e) {
            if (f.down) f.down(i, e);
        },
        held.last);
}

void HostCore::toolDrag(double x, double y) {
    if (!held_) throw HostError("no button is held (ToolPress first)");
    if (!(std::fabs(x) <= kFarthestPixel && std::fabs(y) <= kFarthestPixel))
        throw HostError(pixelText(x, y) + " is more than a million pixels from the view");
    const LWToolEvent event = heldEventAt(x, y);
    held_->x = x;
    held_->y = y;
    held_->last = event;
    sendToolEvent(
        [](LWLayoutToolFuncs& f, LWInstance i, LWToolEvent* e) {
            if (f.move) f.move(i, e);
        },
        event);
}

void HostCore::toolRelease() {
    if (!held_) throw HostError("no button is held to release");
    // A view gone since the last motion gives that motion's event again.
    LWToolEvent event = held_->last;
    try {
        event = heldEventAt(held_->x, held_->y);
    } catch (const HostError&) {
    }
    held_.reset();
    sendToolEvent(
        [](LWLayoutToolFuncs& f, LWInstance i, LWToolEvent* e) {
            if (f.up) f.up(i, e);
        },
        event);
}

LWToolEvent HostCore::heldEventAt(double x, double y) const {
    const int view = held_->view;
    const Viewport& v = viewports_.view(view);
    const ViewGeometry g = viewports_.geometry(scene_, view, scene_.timing().time);
    return toolEventAt(g, v, view, x, y, held_->press);
}

void HostCore::sendToolEvent(void (*call)(LWLayoutToolFuncs&, LWInstance, LWToolEvent*),
                             const LWToolEvent& event) {
    lastEvent_ = event;
    eventPending_ = true;
    // The tool gets a copy: what it writes into the event stays its own.
    LWToolEvent copy = event;
    if (toolRecord_.instance) call(toolFuncs_, toolRecord_.instance, &copy);
}

} // namespace host
