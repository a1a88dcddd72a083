// Lines up the outputs of a conformance program on our layer and on the
// reference, case by case, and says for each whether they agree. A picture
// that differs is saved as a small PNG: ours, the reference, and the
// differing pixels in red over a faded reference. Differences listed in the
// file of known differences are reported with their reason; any other
// difference, a case that only one side has, and a known difference that no
// longer shows all fail the run.
//
//   conf_compare --known FILE --pictures DIR NAME OURS REFERENCE [NAME OURS REFERENCE ...]
//
// Known differences: an entry is a line "NAME: CASE-PATTERN" (optionally
// "... @ LABEL", excusing only the values of the case whose labels match),
// '*' matching any run of characters; the indented lines after one or more
// entries give their reason. Lines starting with '#' are comments.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Entry {
  std::string label;
  std::string value;  // plain values; for pictures the size
  bool isPicture = false;
  int w = 0, h = 0;
  std::vector<std::uint32_t> rgb;
};

struct Case {
  std::string name;
  std::vector<Entry> entries;
};

std::string stripCr(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
  return s;
}

bool readOutput(const std::string& path, std::vector<Case>& cases, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    error = path + ":" + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    line = stripCr(line);
    if (line.empty()) continue;
    if (line.rfind("case ", 0) == 0) {
      cases.push_back({line.substr(5), {}});
      continue;
    }
    if (cases.empty() || line.rfind("  ", 0) != 0) return fail("unexpected line: " + line);
    line = line.substr(2);
    Entry e;
    if (line.rfind("pixels ", 0) == 0) {
      std::istringstream head(line.substr(7));
      std::string mode;
      head >> e.label >> e.w >> e.h >> mode;
      if (!head && !head.eof()) return fail("bad picture header");
      if (e.w <= 0 || e.h <= 0 || e.w > 4096 || e.h > 4096) return fail("bad picture size");
      e.isPicture = true;
      e.value = std::to_string(e.w) + "x" + std::to_string(e.h);
      std::map<char, std::uint32_t> palette{{'.', 0xFFFFFFu}, {'#', 0x000000u}};
      if (mode != "hex") {
        if (!std::getline(in, line)) return fail("picture without palette");
        ++lineNo;
        line = stripCr(line);
        if (line.rfind("  palette", 0) != 0) return fail("picture without palette");
        std::istringstream pal(line.substr(9));
        std::string item;
        while (pal >> item) {
          if (item.size() != 8 || item[1] != '=') return fail("bad palette entry " + item);
          palette[item[0]] = static_cast<std::uint32_t>(std::strtoul(item.c_str() + 2, nullptr, 16));
        }
      }
      for (int y = 0; y < e.h; ++y) {
        if (!std::getline(in, line)) return fail("picture cut short");
        ++lineNo;
        line = stripCr(line);
        if (line.rfind("  ", 0) != 0) return fail("picture cut short");
        line = line.substr(2);
        if (mode == "hex") {
          if (line.size() != static_cast<std::size_t>(e.w) * 6) return fail("bad picture row");
          for (int x = 0; x < e.w; ++x)
            e.rgb.push_back(static_cast<std::uint32_t>(std::strtoul(line.substr(x * 6, 6).c_str(), nullptr, 16)));
        } else {
          if (line.size() != static_cast<std::size_t>(e.w)) return fail("bad picture row");
          for (char c : line) {
            auto it = palette.find(c);
            if (it == palette.end()) return fail(std::string("colour not in palette: ") + c);
            e.rgb.push_back(it->second);
          }
        }
      }
    } else {
      std::size_t eq = line.find(" = ");
      if (eq == std::string::npos) return fail("unexpected line: " + line);
      e.label = line.substr(0, eq);
      e.value = line.substr(eq + 3);
    }
    cases.back().entries.push_back(std::move(e));
  }
  return true;
}

struct Known {
  std::string program, pattern, label, reason;
  int used = 0;
};

bool glob(const char* p, const char* s) {
  if (*p == 0) return *s == 0;
  if (*p == '*') return glob(p + 1, s) || (*s != 0 && glob(p, s + 1));
  return *s != 0 && *p == *s && glob(p + 1, s + 1);
}

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool readKnown(const std::string& path, std::vector<Known>& known, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line, reason;
  std::size_t firstOfGroup = 0;
  while (std::getline(in, line)) {
    line = stripCr(line);
    if (trim(line).empty() || line[0] == '#') continue;
    if (line[0] == ' ' || line[0] == '\t') {
      if (known.size() == firstOfGroup) {
        error = path + ": a reason before any entry";
        return false;
      }
      reason += (reason.empty() ? "" : " ") + trim(line);
      for (std::size_t i = firstOfGroup; i < known.size(); ++i) known[i].reason = reason;
      continue;
    }
    // An entry after a reason starts a new group of entries.
    if (!reason.empty()) {
      firstOfGroup = known.size();
      reason.clear();
    }
    std::size_t colon = line.find(": ");
    if (colon == std::string::npos) {
      error = path + ": entry without \"NAME: CASE\": " + line;
      return false;
    }
    Known k;
    k.program = line.substr(0, colon);
    k.pattern = line.substr(colon + 2);
    std::size_t at = k.pattern.rfind(" @ ");
    if (at != std::string::npos) {
      k.label = trim(k.pattern.substr(at + 3));
      k.pattern = k.pattern.substr(0, at);
    }
    k.pattern = trim(k.pattern);
    known.push_back(k);
  }
  for (const Known& k : known)
    if (k.reason.empty()) {
      error = path + ": no reason given for " + k.program + ": " + k.pattern;
      return false;
    }
  return true;
}

std::string fileNameOf(std::string s) {
  for (char& c : s)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-')) c = '_';
  return s;
}

// Ours | reference | differences, each panel scaled to be readable.
bool savePicture(const std::string& path, const Entry& ours, const Entry& ref) {
  const int w = ours.w, h = ours.h;
  const int scale = std::max(1, std::min(4, 192 / std::max(w, h)));
  const int gap = 4;
  const int W = 3 * w * scale + 2 * gap, H = h * scale;
  std::vector<png_byte> image(static_cast<std::size_t>(W) * H * 3, 0x80);
  auto put = [&](int panel, int x, int y, std::uint32_t c) {
    for (int j = 0; j < scale; ++j)
      for (int i = 0; i < scale; ++i) {
        std::size_t o = (static_cast<std::size_t>(y * scale + j) * W + panel * (w * scale + gap) + x * scale + i) * 3;
        image[o] = static_cast<png_byte>(c >> 16);
        image[o + 1] = static_cast<png_byte>(c >> 8);
        image[o + 2] = static_cast<png_byte>(c);
      }
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t a = ours.rgb[y * w + x], b = ref.rgb[y * w + x];
      put(0, x, y, a);
      put(1, x, y, b);
      std::uint32_t faded = 0;
      for (int s = 0; s < 24; s += 8) faded |= ((((b >> s) & 0xFF) + 3 * 255) / 4) << s;
      put(2, x, y, a == b ? faded : 0xFF0000u);
    }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, W, H, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < H; ++y) png_write_row(png, &image[static_cast<std::size_t>(y) * W * 3]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

// The first difference of two cases in words, with the label it is in;
// empty when they agree.
struct Difference {
  std::string label, what;
};

std::vector<Difference> differences(const std::string& program, const Case& ours, const Case& ref,
                                    const std::string& pictures) {
  std::vector<Difference> out;
  std::size_t n = std::max(ours.entries.size(), ref.entries.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (i >= ours.entries.size() || i >= ref.entries.size()) {
      const Entry& e = i < ours.entries.size() ? ours.entries[i] : ref.entries[i];
      out.push_back({e.label, std::string(i < ours.entries.size() ? "only ours has " : "only the reference has ") +
                                  e.label});
      continue;
    }
    const Entry& a = ours.entries[i];
    const Entry& b = ref.entries[i];
    if (a.label != b.label) {
      out.push_back({a.label, "ours gives " + a.label + " where the reference gives " + b.label});
      continue;
    }
    if (a.isPicture != b.isPicture || a.value != b.value) {
      out.push_back({a.label, a.label + ": ours " + a.value + ", reference " + b.value});
      continue;
    }
    if (!a.isPicture) continue;
    int count = 0;
    for (std::size_t k = 0; k < a.rgb.size(); ++k) count += a.rgb[k] != b.rgb[k];
    if (count == 0) continue;
    std::string file = pictures + "/" + fileNameOf(program + "-" + ours.name + "-" + a.label) + ".png";
    std::string what = a.label + ": " + std::to_string(count) + " pixel" + (count == 1 ? "" : "s") + " differ";
    what += savePicture(file, a, b) ? " (" + file + ")" : " (picture not saved)";
    out.push_back({a.label, what});
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::string knownPath, pictures = ".";
  std::vector<std::string> rest;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--known" && i + 1 < argc) knownPath = argv[++i];
    else if (a == "--pictures" && i + 1 < argc) pictures = argv[++i];
    else rest.push_back(a);
  }
  if (rest.empty() || rest.size() % 3 != 0) {
    std::cerr << "usage: conf_compare --known FILE --pictures DIR NAME OURS REFERENCE ...\n";
    return 2;
  }
  std::vector<Known> known;
  std::string error;
  if (!knownPath.empty() && !readKnown(knownPath, known, error)) {
    std::cerr << error << "\n";
    return 2;
  }
  int total = 0, agree = 0, excused = 0, failed = 0;
  for (std::size_t p = 0; p < rest.size(); p += 3) {
    const std::string& program = rest[p];
    std::vector<Case> ours, ref;
    if (!readOutput(rest[p + 1], ours, error) || !readOutput(rest[p + 2], ref, error)) {
      std::cout << "error   " << error << "\n";
      ++failed;
      continue;
    }
    std::map<std::string, const Case*> refByName;
    for (const Case& c : ref) refByName[c.name] = &c;
    std::map<std::string, bool> seen;
    for (const Case& c : ours) {
      ++total;
      if (seen[c.name]) {
        std::cout << "differ  " << program << ": " << c.name << ": the case is there twice\n";
        ++failed;
        continue;
      }
      seen[c.name] = true;
      auto it = refByName.find(c.name);
      if (it == refByName.end()) {
        std::cout << "differ  " << program << ": " << c.name << ": the reference has no such case\n";
        ++failed;
        continue;
      }
      std::vector<Difference> diffs = differences(program, c, *it->second, pictures);
      if (diffs.empty()) {
        std::cout << "agree   " << program << ": " << c.name << "\n";
        ++agree;
        continue;
      }
      // Every difference must be excused by one entry for the case.
      std::string reason;
      bool allExcused = true;
      for (const Difference& d : diffs) {
        Known* match = nullptr;
        for (Known& k : known)
          if (k.program == program && glob(k.pattern.c_str(), c.name.c_str()) && (k.label.empty() || glob(k.label.c_str(), d.label.c_str())))
            match = &k;
        if (match == nullptr) {
          allExcused = false;
        } else {
          ++match->used;
          reason = match->reason;
        }
      }
      for (const Difference& d : diffs)
        std::cout << (allExcused ? "known   " : "differ  ") << program << ": " << c.name << ": " << d.what << "\n";
      if (allExcused) {
        std::cout << "        known because: " << reason << "\n";
        ++excused;
      } else {
        ++failed;
      }
    }
    for (const Case& c : ref)
      if (!seen[c.name]) {
        ++total;
        ++failed;
        std::cout << "differ  " << program << ": " << c.name << ": only the reference has this case\n";
      }
  }
  int stale = 0;
  for (const Known& k : known)
    if (k.used == 0) {
      bool ran = false;
      for (std::size_t p = 0; p < rest.size(); p += 3) ran = ran || rest[p] == k.program;
      if (!ran) continue;
      std::cout << "stale   " << k.program << ": " << k.pattern << (k.label.empty() ? "" : " @ " + k.label)
                << ": listed as a known difference, but it agrees now\n";
      ++stale;
    }
  std::cout << "conformance: " << total << " cases, " << agree << " agree, " << excused << " known differences, "
            << failed << " differ" << (stale ? ", " + std::to_string(stale) + " stale known differences" : "")
            << "\n";
  return failed == 0 && stale == 0 ? 0 : 1;
}
