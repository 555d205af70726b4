// scene_footprint.h: where the scene's red pixels should be, worked out with plain 2D geometry
// rather than GL, and checks of a grabbed window against it.
//
// Coordinates: scene units run -1..1 on both axes; viewport pixels run 0..300 from the viewport's
// lower-left corner, x to the right and y up, so pixel (i, j) covers [i, i+1] x [j, j+1] and the
// scene point (x, y) lands at ((x + 1) * 150, (y + 1) * 150); a viewport viewportPx a side scales
// all of it, the axes' width too.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "program_facts.h"
#include "x_harness.h"

namespace scenecheck {

constexpr int kViewportPx = facts::kWindowPx;  // The viewport fills the window.
// How far from the outline's edges a pixel may go either way, in pixels.
constexpr double kMarginPx = 2.0;
// A clean frame differs from its fitted outline only where an edge passes through pixel centres.
constexpr int kCleanFrameMismatches = 4;

struct Point {
  double x = 0.0;
  double y = 0.0;
};
// The cube's outline seen from +z: four corners in counter-clockwise order.
using Quad = std::array<Point, 4>;

// The outline of the 0.3-unit cube, in scene units, as placed by the draw mode:
// 1: spun by angleDeg about its centre at (0.6, 0); 2: spun about the origin; 3: carried round the
// origin at radius 0.6, turning with its carrier; 4: as 3 and spun by angleDeg more about its own
// centre; 5: spun about the origin and scaled about it by scale.
Quad CubeOutline(int drawMode, double angleDeg, double scale);
// The same corners in pixels of a viewport viewportPx a side.
Quad ToViewportPx(const Quad& sceneQuad, int viewportPx = kViewportPx);
// Signed distance, in pixels, from (x, y) to the outline's edges: positive inside, negative
// outside (for a point outside beyond a corner it is the distance to the nearer edge line, which
// errs small and so keeps a margin check safe).
double InsideDistancePx(const Quad& quadPx, double x, double y);

// The axes' width in pixels: one pixel of the 300-pixel viewport, rounded.
int AxisWidthPx(int viewportPx);
// True for pixels near the two red half-axes, which run from the viewport's centre to its right
// edge and to its top edge (rows or columns 148 to 151 from the centre on, at 300 pixels).
bool InAxisBand(int i, int j, int viewportPx = kViewportPx);

struct SceneReport {
  int wrongPixels = 0;
  std::vector<std::string> samples;  // The first few wrong pixels, for the failure message.
  std::string Describe() const;
};

// Checks the viewport whose lower-left corner is the image's bottom-left pixel: pixels at least
// marginPx inside the outline are red; pixels at least marginPx outside it and off the axis bands
// are white; each axis is red across its band, AxisWidthPx wide, wherever the cube is more than
// marginPx + 3 away.
SceneReport CheckScene(const xharness::RgbImage& image, const Quad& quadPx, double marginPx,
                       int viewportPx = kViewportPx);
// Checks that every pixel of the image outside the viewport is white.
SceneReport CheckOutsideViewportWhite(const xharness::RgbImage& image);

// Pixels off the axis bands whose redness disagrees with "centre inside the outline"; pixels
// whose centre lies on an edge (within 0.05 px) are not counted.
int CountMismatches(const xharness::RgbImage& image, const Quad& quadPx);

struct AngleFit {
  double angleDeg = 0.0;
  int mismatches = 0;
};
// The angle among 0, 2, ..., 358 whose outline in drawMode best fits the image: fewest mismatches,
// then fewest pixel centres on its edges, then the smaller angle. The timer produces no others.
AngleFit FitAngle(const xharness::RgbImage& image, int drawMode, double scale,
                  int viewportPx = kViewportPx);

// Saves the image as <name>.ppm in the working directory and returns the path, for failures.
std::string SaveForInspection(const xharness::RgbImage& image, const std::string& name);

}  // namespace scenecheck
