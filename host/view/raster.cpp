// The picture and its depth buffer: clearing, the clip rectangle, the
// per-pixel depth test and source-over blend every drawing call ends in,
// points and blits.
#include "view/raster.h"

#include "common/host_error.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

float clamp01(float v) {
    return v > 0 ? (v < 1 ? v : 1) : 0;
} // NaN gives 0

// Rounded half up, so the same float always gives the same byte.
std::uint8_t toByte(float v) {
    return static_cast<std::uint8_t>(std::floor(v * 255 + 0.5f));
}

float fromByte(std::uint8_t b) {
    return b / 255.0f;
}

} // namespace

Raster::Raster(int width, int height) : width_(width), height_(height) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        throw HostError("a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels is beyond 0 to " + std::to_string(kMaxSide) + " a side");
    rgba_.assign(std::size_t(width) * std::size_t(height) * 4, 0);
    for (std::size_t i = 3; i < rgba_.size(); i += 4)
        rgba_[i] = 255;
    depth_.assign(std::size_t(width) * std::size_t(height), 1.0f);
    resetClip();
}

void Raster::setClip(int left, int top, int width, int height) {
    // In long so that a wild rectangle cannot overflow on its way in.
    auto clampTo = [](long v, int limit) { return int(std::clamp(v, 0L, long(limit))); };
    clipLeft_ = clampTo(left, width_);
    clipTop_ = clampTo(top, height_);
    clipRight_ = std::max(clipLeft_, clampTo(long(left) + std::max(width, 0), width_));
    clipBottom_ = std::max(clipTop_, clampTo(long(top) + std::max(height, 0), height_));
}

void Raster::resetClip() {
    setClip(0, 0, width_, height_);
}

void Raster::clear(Rgba colour, float depth) {
    const std::uint8_t bytes[4] = {toByte(clamp01(colour.r)), toByte(clamp01(colour.g)),
                                   toByte(clamp01(colour.b)), 255};
    for (int y = clipTop_; y < clipBottom_; ++y)
        for (int x = clipLeft_; x < clipRight_; ++x) {
            std::size_t i = std::size_t(y) * width_ + x;
            std::copy(bytes, bytes + 4, &rgba_[i * 4]);
            depth_[i] = depth;
        }
}

void Raster::blend(int x, int y, const Rgba& colour) {
    std::uint8_t* p = &rgba_[(std::size_t(y) * width_ + x) * 4];
    float a = clamp01(colour.a);
    const float source[3] = {clamp01(colour.r), clamp01(colour.g), clamp01(colour.b)};
    for (int c = 0; c < 3; ++c)
        p[c] = toByte(source[c] * a + fromByte(p[c]) * (1 - a));
    p[3] = toByte(a + fromByte(p[3]) * (1 - a));
}

void Raster::shade(int x, int y, double z, const Rgba& colour) {
    std::size_t i = std::size_t(y) * width_ + x;
    auto depth = static_cast<float>(z);
    if (state_.depthTest && !(depth <= depth_[i])) return;
    blend(x, y, colour);
    if (state_.depthWrite) depth_[i] = depth;
}

void Raster::point(ScreenPoint p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return;
    double side = std::max(state_.pointSize, 1);
    // The square's pixels, clamped in floating point so huge positions stay cheap.
    double left = std::floor(p.x - (side - 1) / 2), top = std::floor(p.y - (side - 1) / 2);
    auto within = [](double v, int lo, int hi) {
        return int(std::clamp(v, double(lo), double(hi)));
    };
    int x0 = within(left, clipLeft_, clipRight_), x1 = within(left + side, clipLeft_, clipRight_);
    int y0 = within(top, clipTop_, clipBottom_), y1 = within(top + side, clipTop_, clipBottom_);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            shade(x, y, p.z, state_.colour);
}

void Raster::blit(const Raster& from, int left, int top) {
    if (&from == this) { // rows may overlap: copy from a snapshot
        Raster snapshot = from;
        blit(snapshot, left, top);
        return;
    }
    long x0 = std::max(long(clipLeft_), long(left));
    long x1 = std::min(long(clipRight_), long(left) + from.width_);
    long y0 = std::max(long(clipTop_), long(top));
    long y1 = std::min(long(clipBottom_), long(top) + from.height_);
    for (long y = y0; y < y1; ++y) {
        if (x0 >= x1) break;
        const std::uint8_t* source =
            &from.rgba_[(std::size_t(y - top) * from.width_ + std::size_t(x0 - left)) * 4];
        std::copy(source, source + (x1 - x0) * 4, &rgba_[(std::size_t(y) * width_ + x0) * 4]);
    }
}

Rgba Raster::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return Rgba{0, 0, 0, 0};
    const std::uint8_t* p = &rgba_[(std::size_t(y) * width_ + x) * 4];
    return Rgba{fromByte(p[0]), fromByte(p[1]), fromByte(p[2]), fromByte(p[3])};
}

float Raster::depth(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 1.0f;
    return depth_[std::size_t(y) * width_ + x];
}

} // namespace host
