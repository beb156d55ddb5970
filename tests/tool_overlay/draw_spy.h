// The edit tool's draw callback run on one viewport of a stand-in Layout,
// with the host's own custom-object access underneath: every call is
// recorded (with the colour and pattern set at the time) and then drawn, so
// a test can read both the calls and the picture.
#ifndef MORVANE_TESTS_TOOL_OVERLAY_DRAW_SPY_H
#define MORVANE_TESTS_TOOL_OVERLAY_DRAW_SPY_H

#include "host/host.h"
#include "host/view/custom_access.h"
#include "host/view/raster.h"
#include "host/view/viewport.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

struct DrawCall {
    enum Kind { Line, Triangle, Quad, Text } kind;
    std::array<float, 4> colour;
    int pattern;
    bool textured;
    std::vector<std::array<double, 3>> points;
    std::string text;
};

class DrawSpy {
  public:
    // Draws viewport vp of the layout's window with the tool's draw callback.
    DrawSpy(host::Host& layout, int vp);
    const std::vector<DrawCall>& calls() const { return calls_; }
    const host::Raster& picture() const { return raster_; }
    // Calls of one kind in one colour.
    int count(DrawCall::Kind kind, const float colour[4]) const;
    // A world point's window position in the picture.
    std::array<double, 2> screen(const std::array<double, 3>& world) const;

  private:
    static DrawSpy& self(void* data) { return *static_cast<DrawSpy*>(data); }
    void record(DrawCall::Kind kind, std::initializer_list<const double*> points,
                const char* text = "");

    host::Raster raster_;
    host::ViewGeometry geometry_;
    std::vector<DrawCall> calls_;
    const LWCustomObjAccess* real_ = nullptr;
    LWCustomObjAccess access_{};
    std::array<float, 4> colour_{1, 1, 1, 1};
    int pattern_ = 0;
    bool textured_ = false;
};

#endif
