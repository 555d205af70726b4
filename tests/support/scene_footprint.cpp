// scene_footprint.cpp: the expected cube outline per draw mode and pixel checks against it.
#include "scene_footprint.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace scenecheck {

namespace {

constexpr double kHalfEdge = 0.15;
constexpr double kOrbit = 0.6;
constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kMaxSamples = 8;
constexpr int kAngleStepDeg = 2;
// Pixel centres this close to an edge are in doubt: GL's tie rule lights them on some edges and
// not on others, and the vertices it rasterises carry single-precision and sub-pixel rounding.
constexpr double kEdgeDoubtPx = 0.05;

Point Rotate(Point p, double angleDeg) {
  const double a = angleDeg * kPi / 180.0;
  return Point{p.x * std::cos(a) - p.y * std::sin(a), p.x * std::sin(a) + p.y * std::cos(a)};
}

Point Add(Point p, Point q) { return Point{p.x + q.x, p.y + q.y}; }

Point Place(int drawMode, double angleDeg, double scale, Point p) {
  const Point orbit{kOrbit, 0.0};
  switch (drawMode) {
    case 1:
      return Add(orbit, Rotate(p, angleDeg));
    case 2:
      return Rotate(p, angleDeg);
    case 3:
      return Rotate(Add(p, orbit), angleDeg);
    case 4:
      return Rotate(Add(orbit, Rotate(p, angleDeg)), angleDeg);
    case 5: {
      const Point turned = Rotate(p, angleDeg);
      return Point{scale * turned.x, scale * turned.y};
    }
    default:
      return p;
  }
}

bool IsRed(const xharness::Rgb& c) { return c.r > 127 && c.g < 128 && c.b < 128; }

void Note(SceneReport& report, int i, int j, const char* expected, const xharness::Rgb& got) {
  ++report.wrongPixels;
  if (report.samples.size() < kMaxSamples) {
    report.samples.push_back("(" + std::to_string(i) + "," + std::to_string(j) + " up) expected " +
                             expected + ", got " + xharness::ToString(got));
  }
}

}  // namespace

Quad CubeOutline(int drawMode, double angleDeg, double scale) {
  const Quad square{Point{-kHalfEdge, -kHalfEdge}, Point{kHalfEdge, -kHalfEdge},
                    Point{kHalfEdge, kHalfEdge}, Point{-kHalfEdge, kHalfEdge}};
  Quad placed;
  for (std::size_t k = 0; k < square.size(); ++k) {
    placed[k] = Place(drawMode, angleDeg, scale, square[k]);
  }
  return placed;
}

Quad ToViewportPx(const Quad& sceneQuad, int viewportPx) {
  const double pxPerUnit = viewportPx / 2.0;
  Quad px;
  for (std::size_t k = 0; k < sceneQuad.size(); ++k) {
    px[k] = Point{(sceneQuad[k].x + 1.0) * pxPerUnit, (sceneQuad[k].y + 1.0) * pxPerUnit};
  }
  return px;
}

double InsideDistancePx(const Quad& quadPx, double x, double y) {
  double nearest = std::numeric_limits<double>::infinity();
  for (std::size_t k = 0; k < quadPx.size(); ++k) {
    const Point& a = quadPx[k];
    const Point& b = quadPx[(k + 1) % quadPx.size()];
    const double ex = b.x - a.x;
    const double ey = b.y - a.y;
    // Left of a counter-clockwise edge is inside.
    const double cross = ex * (y - a.y) - ey * (x - a.x);
    nearest = std::min(nearest, cross / std::hypot(ex, ey));
  }
  return nearest;
}

int AxisWidthPx(int viewportPx) {
  return std::max(1, (viewportPx + kViewportPx / 2) / kViewportPx);
}

bool InAxisBand(int i, int j, int viewportPx) {
  const int axisPx = viewportPx / 2;
  const int lastPx = axisPx + AxisWidthPx(viewportPx);
  const bool nearXAxis = i >= axisPx - 2 && j >= axisPx - 2 && j <= lastPx;
  const bool nearYAxis = j >= axisPx - 2 && i >= axisPx - 2 && i <= lastPx;
  return nearXAxis || nearYAxis;
}

std::string SceneReport::Describe() const {
  std::string text = std::to_string(wrongPixels) + " wrong pixel(s)";
  for (const std::string& sample : samples) text += "\n  " + sample;
  return text;
}

SceneReport CheckScene(const xharness::RgbImage& image, const Quad& quadPx, double marginPx,
                       int viewportPx) {
  SceneReport report;
  for (int j = 0; j < viewportPx; ++j) {
    for (int i = 0; i < viewportPx; ++i) {
      const xharness::Rgb& got = image.AtFromBottom(i, j);
      const double d = InsideDistancePx(quadPx, i + 0.5, j + 0.5);
      if (d >= marginPx) {
        if (got != xharness::kRed) Note(report, i, j, "red (cube)", got);
      } else if (d <= -marginPx && !InAxisBand(i, j, viewportPx)) {
        if (got != xharness::kWhite) Note(report, i, j, "white", got);
      }
    }
  }
  // The axis line lies on the boundary between rows (columns) 149 and 150; either may carry it.
  const int axisPx = viewportPx / 2;
  const int widthPx = AxisWidthPx(viewportPx);
  const double clearPx = marginPx + 3.0;
  for (int along = axisPx + widthPx + 2; along < viewportPx; ++along) {
    bool xAxisClear = true;
    bool yAxisClear = true;
    int xAxisRed = 0;
    int yAxisRed = 0;
    for (int across = axisPx - 2; across <= axisPx + widthPx; ++across) {
      xAxisClear = xAxisClear && InsideDistancePx(quadPx, along + 0.5, across + 0.5) < -clearPx;
      yAxisClear = yAxisClear && InsideDistancePx(quadPx, across + 0.5, along + 0.5) < -clearPx;
      xAxisRed += image.AtFromBottom(along, across) == xharness::kRed ? 1 : 0;
      yAxisRed += image.AtFromBottom(across, along) == xharness::kRed ? 1 : 0;
    }
    if (xAxisClear && xAxisRed != widthPx) {
      Note(report, along, axisPx, "red (x axis, its width)", image.AtFromBottom(along, axisPx));
    }
    if (yAxisClear && yAxisRed != widthPx) {
      Note(report, axisPx, along, "red (y axis, its width)", image.AtFromBottom(axisPx, along));
    }
  }
  return report;
}

SceneReport CheckOutsideViewportWhite(const xharness::RgbImage& image) {
  SceneReport report;
  for (int j = 0; j < image.height(); ++j) {
    for (int i = 0; i < image.width(); ++i) {
      if (i < kViewportPx && j < kViewportPx) continue;
      const xharness::Rgb& got = image.AtFromBottom(i, j);
      if (got != xharness::kWhite) Note(report, i, j, "white (outside viewport)", got);
    }
  }
  return report;
}

namespace {

struct FitScore {
  int mismatches = 0;  // Pixels clearly inside or outside whose redness disagrees.
  int doubtful = 0;    // Pixels whose centre lies on an edge.
  bool operator<(const FitScore& other) const {
    return mismatches != other.mismatches ? mismatches < other.mismatches
                                          : doubtful < other.doubtful;
  }
};

FitScore Score(const xharness::RgbImage& image, const Quad& quadPx, int viewportPx) {
  // Red pixels far from the outline's bounding box cannot be inside it, so the edge distances
  // are worked out only within the box.
  double minX = viewportPx;
  double minY = viewportPx;
  double maxX = 0.0;
  double maxY = 0.0;
  for (const Point& p : quadPx) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
  }
  const int i0 = std::max(0, static_cast<int>(std::floor(minX)) - 1);
  const int j0 = std::max(0, static_cast<int>(std::floor(minY)) - 1);
  const int i1 = std::min(viewportPx - 1, static_cast<int>(std::ceil(maxX)) + 1);
  const int j1 = std::min(viewportPx - 1, static_cast<int>(std::ceil(maxY)) + 1);
  FitScore score;
  for (int j = 0; j < viewportPx; ++j) {
    for (int i = 0; i < viewportPx; ++i) {
      if (InAxisBand(i, j, viewportPx)) continue;
      const bool red = IsRed(image.AtFromBottom(i, j));
      const bool inBox = i >= i0 && i <= i1 && j >= j0 && j <= j1;
      if (!inBox) {
        score.mismatches += red ? 1 : 0;
        continue;
      }
      const double d = InsideDistancePx(quadPx, i + 0.5, j + 0.5);
      if (std::fabs(d) < kEdgeDoubtPx) {
        ++score.doubtful;
      } else if (red != (d > 0.0)) {
        ++score.mismatches;
      }
    }
  }
  return score;
}

}  // namespace

int CountMismatches(const xharness::RgbImage& image, const Quad& quadPx) {
  return Score(image, quadPx, kViewportPx).mismatches;
}

AngleFit FitAngle(const xharness::RgbImage& image, int drawMode, double scale, int viewportPx) {
  // An outline whose edges run through rows of pixel centres leaves those pixels in doubt and so
  // fits its 2-degree neighbours as well; the outline with fewer doubtful pixels is the better
  // determined, and wins a tie.
  AngleFit best;
  FitScore bestScore{std::numeric_limits<int>::max(), 0};
  for (int angle = 0; angle < 360; angle += kAngleStepDeg) {
    const FitScore score =
        Score(image, ToViewportPx(CubeOutline(drawMode, angle, scale), viewportPx), viewportPx);
    if (score < bestScore) {
      bestScore = score;
      best = AngleFit{static_cast<double>(angle), score.mismatches};
    }
  }
  return best;
}

std::string SaveForInspection(const xharness::RgbImage& image, const std::string& name) {
  std::string path = name + ".ppm";
  std::replace(path.begin(), path.end(), '/', '_');
  image.WritePpm(path);
  return path;
}

}  // namespace scenecheck
