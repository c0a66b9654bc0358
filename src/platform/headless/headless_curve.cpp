// Drawing an envelope curve with the mouse, as the batch tool's `points`
// field does it. The editor's rules that matter here: a click within 5 units
// of a point (searched from the first) grabs it; a click within 11 units of
// the line between two points inserts a point on the line and grabs it; a
// grabbed inner point follows the mouse between its neighbours and is
// deleted when dragged out of the frame; the end points move only up and
// down. The plan below never clicks where two points could answer.
#include <cstdlib>

#include "platform/headless/headless_dialogs.h"

namespace kelvora {
namespace {

constexpr int kGrab = 5;     // a click grabs a point this close in x and y
constexpr int kInsert = 11;  // and inserts one this close above or below the line

// Temporary heights while the points are placed: any two points at most 5
// apart in x are at most 5 apart in index, so they sit at different
// heights, 40 apart, and a click on one never grabs another.
int Level(size_t index) { return 8 + 40 * static_cast<int>(index % 6); }

struct Gestures {
  HeadlessDialogWindow& w;
  int id;
  const int32_t* shown;
  int width, height;

  // The first pixel that the editor maps to unit x (or y).
  int Px(int x) const { return (x * width + 255) / 256; }
  int Py(int y) const { return ((256 - y) * height + 255) / 256; }

  void Drag(CurvePoint from, int to_px, int to_py) {
    w.MouseDown(id, Px(from.x), Py(from.y));
    w.MouseMove(id, to_px, to_py);
    w.MouseUp(id, to_px, to_py);
  }
  void Drag(CurvePoint from, CurvePoint to) { Drag(from, Px(to.x), Py(to.y)); }
  std::vector<CurvePoint> Now() const { return ReadCurve(shown); }
};

bool Grabs(const CurvePoint& p, int x, int y) {
  return std::abs(p.x - x) <= kGrab && std::abs(p.y - y) <= kGrab;
}

}  // namespace

bool ParseCurvePoints(const std::string& text, std::vector<CurvePoint>* points,
                      std::string* error) {
  points->clear();
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t slash = text.find('/', pos);
    std::string item = text.substr(pos, slash == std::string::npos ? slash : slash - pos);
    size_t colon = item.find(':');
    int32_t x = 0, y = 0;
    auto whole = [](const std::string& s, int32_t* v) {
      if (s.empty() || s.size() > 4) return false;
      for (char c : s)
        if (c < '0' || c > '9') return false;
      *v = std::atoi(s.c_str());
      return true;
    };
    if (colon == std::string::npos || !whole(item.substr(0, colon), &x) ||
        !whole(item.substr(colon + 1), &y)) {
      *error = "x:y pairs of whole numbers separated by /";
      return false;
    }
    points->push_back({x, y});
    if (slash == std::string::npos) break;
    pos = slash + 1;
  }
  size_t n = points->size();
  if (n < 2 || n > static_cast<size_t>(kCurveMaxPoints)) {
    *error = "2 to 39 points";
    return false;
  }
  if (points->front().x != 0 || points->back().x != 256) {
    *error = "the first x is 0, the last 256";
    return false;
  }
  for (size_t i = 0; i < n; ++i) {
    const CurvePoint& p = (*points)[i];
    bool inner = i > 0 && i + 1 < n;
    if (i > 0 && p.x <= (*points)[i - 1].x) {
      *error = "x rises from point to point";
      return false;
    }
    if (p.y > (inner ? 255 : 256)) {
      *error = "y 0..256 at the ends, 0..255 between";
      return false;
    }
  }
  return true;
}

std::vector<CurvePoint> ReadCurve(const int32_t* curve) {
  std::vector<CurvePoint> points;
  for (int i = 0; i <= kCurveMaxPoints && curve[2 * i] != kCurveEnd; ++i)
    points.push_back({curve[2 * i], curve[2 * i + 1]});
  return points;
}

bool DragCurveTo(HeadlessDialogWindow& w, int area_id, const int32_t* shown,
                 const std::vector<CurvePoint>& wanted) {
  PixelCanvas* canvas = w.Canvas(area_id);
  // Coarser than one pixel per unit, some positions could not be hit.
  if (canvas == nullptr || canvas->width() < 256 || canvas->height() < 256 || wanted.size() < 2)
    return false;
  Gestures g{w, area_id, shown, canvas->width(), canvas->height()};
  std::vector<CurvePoint> now = g.Now();
  if (now.size() < 2) return false;

  // 1. Drag every inner point out of the frame, the first one each time.
  while (now.size() > 2) {
    if (Grabs(now[0], now[1].x, now[1].y)) g.Drag(now[0], CurvePoint{0, now[1].y < 128 ? 256 : 0});
    g.Drag(now[1], -g.width, g.Py(128));
    std::vector<CurvePoint> after = g.Now();
    if (after.size() != now.size() - 1) return false;
    now = after;
  }

  // 2. The ends to their temporary heights.
  size_t n = wanted.size();
  g.Drag(now[1], CurvePoint{256, Level(n - 1)});
  g.Drag(g.Now()[0], CurvePoint{0, Level(0)});

  // 3. Inner points from left to right: a click on the line between the
  // last one placed and the end, then a drag to the point's place.
  for (size_t i = 1; i + 1 < n; ++i) {
    now = g.Now();
    if (now.size() != i + 1) return false;
    const CurvePoint& left = now[i - 1];
    const CurvePoint& right = now[i];
    int x = (left.x + right.x) / 2;
    int line = left.y + (x - left.x) * (right.y - left.y) / (right.x - left.x);
    int y = -1;
    for (int d = 0; d <= kInsert && y<0; d = d> 0 ? -d : 1 - d) {
      int candidate = line + d;
      if (candidate < 0 || candidate > 256) continue;
      bool clear = true;
      for (const CurvePoint& p : now) clear = clear && !Grabs(p, x, candidate);
      if (clear) y = candidate;
    }
    if (y < 0) return false;
    w.MouseDown(area_id, g.Px(x), g.Py(y));
    w.MouseMove(area_id, g.Px(wanted[i].x), g.Py(Level(i)));
    w.MouseUp(area_id, g.Px(wanted[i].x), g.Py(Level(i)));
  }
  now = g.Now();
  if (now.size() != n) return false;

  // 4. Final heights from right to left: a click on point i finds none of
  // the points before it, which still stand at their temporary heights.
  for (size_t i = n; i-- > 0;) g.Drag(now[i], wanted[i]);
  return g.Now() == wanted;
}

}  // namespace kelvora
