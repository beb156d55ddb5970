#include "draw_spy.h"

#include "tool/tool_lifecycle.h"

#include "host/view/view_colours.h"

#include <algorithm>

DrawSpy::DrawSpy(host::Host& layout, int vp)
    : raster_(layout.viewports().width(), layout.viewports().height()) {
    const double time = layout.scene().timing().time;
    geometry_ = layout.viewports().geometry(layout.scene(), vp, time);
    const host::ViewGeometry& geometry = geometry_;
    const host::Projector view(geometry, geometry.rect.left, geometry.rect.top);
    raster_.clear(host::colours::kBackground);
    host::CustomDrawing drawing(raster_, view, layout.scene(), time);
    real_ = drawing.begin(nullptr, host::customObjView(geometry.type), 0, false);
    access_ = *real_;
    access_.dispData = this;
    access_.setColor = [](void* d, float rgba[4]) {
        std::copy(rgba, rgba + 4, self(d).colour_.begin());
        self(d).real_->setColor(self(d).real_->dispData, rgba);
    };
    access_.setPattern = [](void* d, int pattern) {
        self(d).pattern_ = pattern;
        self(d).real_->setPattern(self(d).real_->dispData, pattern);
    };
    access_.setTexture = [](void* d, int size, unsigned char* image) {
        self(d).textured_ = size > 0 && image;
        self(d).real_->setTexture(self(d).real_->dispData, size, image);
    };
    // Every member takes the spy as its data, so every one forwards.
    access_.setUVs = [](void* d, double a[2], double b[2], double c[2], double e[2]) {
        self(d).real_->setUVs(self(d).real_->dispData, a, b, c, e);
    };
    access_.setDrawMode = [](void* d, unsigned int mode) {
        self(d).real_->setDrawMode(self(d).real_->dispData, mode);
    };
    access_.setCSysItem = [](void* d, LWItemID item) {
        self(d).real_->setCSysItem(self(d).real_->dispData, item);
    };
    access_.point = [](void* d, double p[3], int csys) {
        self(d).real_->point(self(d).real_->dispData, p, csys);
    };
    access_.circle = [](void* d, double p[3], double r, int csys) {
        self(d).real_->circle(self(d).real_->dispData, p, r, csys);
    };
    access_.disk = [](void* d, double p[3], double r, int csys) {
        self(d).real_->disk(self(d).real_->dispData, p, r, csys);
    };
    access_.polygon = [](void* d, unsigned int n, double v[][3], int csys) {
        self(d).real_->polygon(self(d).real_->dispData, n, v, csys);
    };
    access_.polyIndexed = [](void* d, unsigned int n, unsigned int i[], double v[][3], int csys) {
        self(d).real_->polyIndexed(self(d).real_->dispData, n, i, v, csys);
    };
    access_.setPart = [](void* d, unsigned int part) {
        self(d).real_->setPart(self(d).real_->dispData, part);
    };
    access_.line = [](void* d, double a[3], double b[3], int csys) {
        self(d).record(DrawCall::Line, {a, b});
        self(d).real_->line(self(d).real_->dispData, a, b, csys);
    };
    access_.triangle = [](void* d, double a[3], double b[3], double c[3], int csys) {
        self(d).record(DrawCall::Triangle, {a, b, c});
        self(d).real_->triangle(self(d).real_->dispData, a, b, c, csys);
    };
    access_.quad = [](void* d, double a[3], double b[3], double c[3], double e[3], int csys) {
        self(d).record(DrawCall::Quad, {a, b, c, e});
        self(d).real_->quad(self(d).real_->dispData, a, b, c, e, csys);
    };
    access_.text = [](void* d, double p[3], const char* text, int just, int csys) {
        self(d).record(DrawCall::Text, {p}, text);
        self(d).real_->text(self(d).real_->dispData, p, text, just, csys);
    };
    EditCageDraw(&stInstData, &access_);
    real_ = nullptr;
}

std::array<double, 2> DrawSpy::screen(const std::array<double, 3>& world) const {
    double x = 0, y = 0, z = 0;
    geometry_.project(world.data(), x, y, z);
    return {x + geometry_.rect.left, y + geometry_.rect.top};
}

void DrawSpy::record(DrawCall::Kind kind, std::initializer_list<const double*> points,
                     const char* text) {
    DrawCall call{kind, colour_, pattern_, textured_, {}, text ? text : ""};
    for (const double* p : points)
        call.points.push_back({p[0], p[1], p[2]});
    calls_.push_back(call);
}

int DrawSpy::count(DrawCall::Kind kind, const float colour[4]) const {
    return int(std::count_if(calls_.begin(), calls_.end(), [&](const DrawCall& c) {
        return c.kind == kind && std::equal(colour, colour + 4, c.colour.begin());
    }));
}
