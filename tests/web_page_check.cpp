// web_page_check.cpp: what the browser page's tests (tests/web_page_test.py) compare with, from the
// same expectations and footprint geometry as the desktop tests, as a small native tool.
//
//   web_page_check report                   the 44 lines of the start-up report
//   web_page_check trace                    the first twelve ticks of a scale trace from 1.0
//   web_page_check frame IMAGE.ppm MODE SCALE...
//       fits the square image (top row first), 300 pixels a side or more, to the cube of draw
//       mode MODE at the best of the given scales and any angle the timer produces; prints the
//       fit and exits 0 when every pixel clear of the outline's edges is right.
//   web_page_check mode-calls MODE          the calls of draw mode MODE as the program writes them
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "call_list.h"
#include "program_facts.h"
#include "scene_footprint.h"

namespace {

using scenecheck::kCleanFrameMismatches;
using scenecheck::kMarginPx;

// A binary PPM (P6, maxval 255).
std::optional<xharness::RgbImage> ReadPpm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0;
  int height = 0;
  int maxValue = 0;
  if (!(in >> magic >> width >> height >> maxValue) || magic != "P6" || maxValue != 255) {
    return std::nullopt;
  }
  in.get();
  xharness::RgbImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      char rgb[3];
      if (!in.read(rgb, 3)) return std::nullopt;
      image.At(x, y) = {static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                        static_cast<std::uint8_t>(rgb[2])};
    }
  }
  return image;
}

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::printf("%s\n", line.c_str());
  }
}

int CheckFrame(const std::string& path, int drawMode, const std::vector<double>& scales) {
  const std::optional<xharness::RgbImage> image = ReadPpm(path);
  const int edgePx = image ? image->width() : 0;
  if (!image || edgePx != image->height() || edgePx < scenecheck::kViewportPx) {
    std::fprintf(stderr, "%s: not a square binary PPM of %d pixels a side or more\n", path.c_str(),
                 scenecheck::kViewportPx);
    return 2;
  }
  double bestScale = 0.0;
  scenecheck::AngleFit best{0.0, std::numeric_limits<int>::max()};
  for (double scale : scales) {
    const scenecheck::AngleFit fit = scenecheck::FitAngle(*image, drawMode, scale, edgePx);
    if (fit.mismatches < best.mismatches) {
      best = fit;
      bestScale = scale;
    }
  }
  const scenecheck::SceneReport report = scenecheck::CheckScene(
      *image,
      scenecheck::ToViewportPx(scenecheck::CubeOutline(drawMode, best.angleDeg, bestScale), edgePx),
      kMarginPx, edgePx);
  std::printf("mode %d scale %.6f angle %.0f mismatches %d wrong %d\n", drawMode, bestScale,
              best.angleDeg, best.mismatches, report.wrongPixels);
  if (report.wrongPixels != 0) {
    std::printf("%s\n", report.Describe().c_str());
  }
  return report.wrongPixels == 0 && best.mismatches <= kCleanFrameMismatches ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "report" && argc == 2) {
    PrintLines(facts::ExpectedReport());
    return 0;
  }
  if (command == "trace" && argc == 2) {
    PrintLines(facts::ExpectedTraceFromOne());
    return 0;
  }
  if (command == "mode-calls" && argc == 3) {
    std::printf("%s\n", call_list::ModeCalls(std::atoi(argv[2])));
    return 0;
  }
  if (command == "frame" && argc >= 5) {
    std::vector<double> scales;
    for (int k = 4; k < argc; ++k) {
      scales.push_back(std::strtod(argv[k], nullptr));
    }
    return CheckFrame(argv[2], std::atoi(argv[3]), scales);
  }
  std::fprintf(stderr,
               "usage: %s report | trace | mode-calls MODE | frame IMAGE.ppm MODE SCALE...\n",
               argv[0]);
  return 2;
}
