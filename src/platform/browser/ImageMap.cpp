#include "platform/browser/ImageMap.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/browser/PresentationalHints.h"

namespace qv::browser {

namespace {

// Numbers of a coords list: separated by commas and blanks, junk skipped.
std::vector<long> coords(const std::string& text) {
  std::vector<long> out;
  const char* p = text.c_str();
  while (*p && out.size() < 20000) {
    if (std::isdigit(static_cast<unsigned char>(*p)) || ((*p == '-' || *p == '+') && std::isdigit(static_cast<unsigned char>(p[1])))) {
      char* end = nullptr;
      long v = std::strtol(p, &end, 10);
      out.push_back(v < -1000000 ? -1000000 : v > 1000000 ? 1000000 : v);
      p = end;
      while (*p == '.' || std::isdigit(static_cast<unsigned char>(*p))) ++p;  // decimals dropped
    } else {
      ++p;
    }
  }
  return out;
}

}  // namespace

Element* mapOf(const Element& picture) {
  std::string name = trimBlanks(picture.attribute("usemap"));
  if (!name.empty() && name[0] == '#') name.erase(0, 1);
  if (name.empty()) return nullptr;
  name = lowerAscii(name);
  for (Element* m : picture.document().elementsByTagName("MAP"))
    if (lowerAscii(m->name()) == name || lowerAscii(m->id()) == name) return m;
  return nullptr;
}

bool areaHolds(const Element& area, POINT pt) {
  std::string shape = lowerAscii(trimBlanks(area.attribute("shape")));
  const std::vector<long> c = coords(area.attribute("coords"));
  const long x = pt.x, y = pt.y;
  if (shape == "default") return true;
  if (shape == "circle" || shape == "circ") {
    if (c.size() < 3 || c[2] < 0) return false;
    const long long dx = x - c[0], dy = y - c[1];
    return dx * dx + dy * dy <= static_cast<long long>(c[2]) * c[2];
  }
  if (shape == "poly" || shape == "polygon") {
    const size_t n = c.size() / 2;
    if (n < 3) return false;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      const double xi = c[2 * i], yi = c[2 * i + 1], xj = c[2 * j], yj = c[2 * j + 1];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  }
  if (c.size() < 4) return false;
  const long left = std::min(c[0], c[2]), right = std::max(c[0], c[2]);
  const long top = std::min(c[1], c[3]), bottom = std::max(c[1], c[3]);
  return x >= left && x < right && y >= top && y < bottom;
}

Element* areaAt(const Element& map, POINT pt) {
  for (Element* e : map.descendants())
    if ((e->tagName() == "AREA" || (e->tagName() == "A" && e->hasAttribute("coords"))) && areaHolds(*e, pt)) return e;
  return nullptr;
}

}  // namespace qv::browser
