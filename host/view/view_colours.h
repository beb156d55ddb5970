// The colours the host draws its viewports in, after Layout's defaults.
#ifndef MORVANE_HOST_VIEW_VIEW_COLOURS_H
#define MORVANE_HOST_VIEW_VIEW_COLOURS_H

#include "view/raster.h"

namespace host::colours {

inline constexpr Rgba kBackground{0.40f, 0.40f, 0.40f, 1};
inline constexpr Rgba kGrid{0.34f, 0.34f, 0.34f, 1};
inline constexpr Rgba kAxes{0.24f, 0.24f, 0.24f, 1};
inline constexpr Rgba kBorder{0.15f, 0.15f, 0.15f, 1};
inline constexpr Rgba kLabel{0.85f, 0.85f, 0.85f, 1};
// Shaded polygons: this grey scaled by the head-light, never below kMinLight.
inline constexpr Rgba kShaded{0.78f, 0.78f, 0.78f, 1};
inline constexpr float kMinLight = 0.25f;
inline constexpr Rgba kWire{0.10f, 0.10f, 0.10f, 1};
inline constexpr Rgba kSelectedWire{0.95f, 0.85f, 0.25f, 1};
inline constexpr Rgba kNull{0.12f, 0.12f, 0.12f, 1};
inline constexpr Rgba kLight{0.95f, 0.90f, 0.45f, 1};
inline constexpr Rgba kCamera{0.20f, 0.35f, 0.20f, 1};

} // namespace host::colours

#endif
