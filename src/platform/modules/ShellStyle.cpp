#include "platform/modules/ShellStyle.h"

#include <cmath>
#include <cstring>
#include <string>

#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/kernel/ResFile.h"

namespace qv::modules {

namespace {

constexpr WORD kEnglish = 1033;
constexpr std::uint32_t kKey = 0x00FF00FFu;  // magenta, alpha 0

struct Picture {
  int width;
  int height;
  int bits;  // 24 or 32
  std::vector<std::uint32_t> px;  // top-down 0xAARRGGBB
  std::uint32_t& at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
};

constexpr std::uint32_t argb(int a, int r, int g, int b) {
  return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
         (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

std::uint32_t mix(std::uint32_t a, std::uint32_t b, int num, int den) {
  std::uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) {
    const int ca = (a >> s) & 0xFF, cb = (b >> s) & 0xFF;
    out |= static_cast<std::uint32_t>(ca + (cb - ca) * num / den) << s;
  }
  return out;
}

// A packed device-independent bitmap, bottom-up, as resource compilers store one.
std::vector<BYTE> packDib(const Picture& p) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = p.width;
  h.biHeight = p.height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(p.bits);
  h.biCompression = BI_RGB;
  const size_t stride = ((static_cast<size_t>(p.width) * p.bits / 8) + 3) & ~size_t{3};
  h.biSizeImage = static_cast<DWORD>(stride * p.height);
  std::vector<BYTE> out(sizeof h + stride * p.height, 0);
  std::memcpy(out.data(), &h, sizeof h);
  for (int y = 0; y < p.height; ++y) {
    BYTE* row = out.data() + sizeof h + stride * (p.height - 1 - y);
    for (int x = 0; x < p.width; ++x) {
      const std::uint32_t v = p.px[static_cast<size_t>(y) * p.width + x];
      BYTE* o = row + x * (p.bits / 8);
      o[0] = static_cast<BYTE>(v);
      o[1] = static_cast<BYTE>(v >> 8);
      o[2] = static_cast<BYTE>(v >> 16);
      if (p.bits == 32) o[3] = static_cast<BYTE>(v >> 24);
    }
  }
  return out;
}

// A round button with a double chevron pointing up (collapse) or down.
Picture sign(bool up, bool special, int look /* 0 normal, 1 hot, 2 pressed */) {
  Picture p{22, 22, 32, std::vector<std::uint32_t>(22 * 22, kKey)};
  const std::uint32_t face = special ? (look == 2 ? argb(255, 33, 72, 170) : argb(255, 66, 113, 214))
                                     : (look == 2 ? argb(255, 214, 223, 247) : argb(255, 255, 255, 255));
  const std::uint32_t rim = special ? argb(255, 255, 255, 255) : argb(255, 198, 211, 247);
  const std::uint32_t arrow = special ? (look == 0 ? argb(255, 255, 255, 255) : argb(255, 198, 211, 247))
                                      : (look == 0 ? argb(255, 33, 93, 198) : argb(255, 66, 142, 255));
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 22; ++x) {
      const double d = std::hypot(x + 0.5 - 11.0, y + 0.5 - 11.0);
      if (d <= 8.5) p.at(x, y) = face;
      else if (d <= 9.5) p.at(x, y) = rim;
    }
  const int cx = 10, cy = 11;
  for (int pass = 0; pass < 2; ++pass) {
    const int base = up ? cy - 3 + pass * 4 : cy + 2 - pass * 4;  // apex row
    for (int k = 0; k <= 3; ++k)
      for (int thick = 0; thick < 2; ++thick) {
        const int y = up ? base + k + thick : base - k - thick;
        p.at(cx - k, y) = arrow;
        p.at(cx + 1 + k, y) = arrow;
      }
  }
  return p;
}

Picture horizontalGradient(int w, int h, std::uint32_t left, std::uint32_t right) {
  Picture p{w, h, 24, std::vector<std::uint32_t>(static_cast<size_t>(w) * h)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.at(x, y) = mix(left, right, x, w - 1);
  return p;
}

Picture verticalGradient(int w, int h, std::uint32_t top, std::uint32_t bottom) {
  Picture p{w, h, 24, std::vector<std::uint32_t>(static_cast<size_t>(w) * h)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.at(x, y) = mix(top, bottom, y, h - 1);
  return p;
}

std::vector<BYTE> styleResources() {
  std::vector<std::pair<WORD, Picture>> pics = {
      {100, sign(true, false, 0)},
      {101, sign(true, false, 1)},
      {102, sign(false, false, 0)},
      {103, sign(false, false, 1)},
      {104, sign(true, true, 0)},
      {105, sign(true, true, 1)},
      {106, sign(false, true, 0)},
      {107, sign(false, true, 1)},
      {108, sign(true, true, 2)},
      {109, sign(false, true, 2)},
      {110, horizontalGradient(186, 25, argb(255, 0, 73, 181), argb(255, 41, 93, 206))},
      {111, horizontalGradient(186, 25, argb(255, 33, 99, 206), argb(255, 74, 125, 231))},
      {112, horizontalGradient(186, 25, argb(255, 255, 255, 255), argb(255, 198, 211, 247))},
      {113, horizontalGradient(186, 25, argb(255, 255, 255, 255), argb(255, 214, 223, 247))},
      {114, verticalGradient(16, 256, argb(255, 123, 162, 231), argb(255, 99, 117, 214))},
  };
  std::vector<qv::os::ResEntry> entries;
  for (auto& [id, pic] : pics) {
    qv::os::ResEntry e;
    e.type = qv::os::ResId::id(2);  // RT_BITMAP
    e.name = qv::os::ResId::id(id);
    e.language = kEnglish;
    e.data = packDib(pic);
    entries.push_back(std::move(e));
  }
  qv::os::ResEntry css;
  css.type = qv::os::ResId::id(23);  // RT_HTML
  css.name = qv::os::ResId::text(u"CPWEBVW.CSS");
  css.language = kEnglish;
  const std::string text = kShellStyleSheet;
  css.data.assign(text.begin(), text.end());
  entries.push_back(std::move(css));
  return qv::os::writeResContainer(entries);
}

std::vector<qv::os::StandInExport>& shell32Exports() {
  static std::vector<qv::os::StandInExport> e = {
      qv::os::StandInExport::of("SHGetShellStyleHInstance", &::SHGetShellStyleHInstance)};
  return e;
}

void registerShell32() {
  qv::os::StandInModule m;
  m.fileName = "shell32.dll";
  m.exports = shell32Exports();
  qv::os::registerStandInModule(std::move(m));
}

const bool kRegistered = (registerShellStyle(), true);

}  // namespace

void registerShellStyle() {
  registerShell32();
  qv::os::StandInModule m;
  m.fileName = "ShellStyle.dll";
  m.makeResources = [] {
    static const std::vector<BYTE> resources = styleResources();
    return resources;
  };
  m.available = [] { return qv::desktop::profile().shellStyle; };
  qv::os::registerStandInModule(std::move(m));
}

void addShell32Export(qv::os::StandInExport e) {
  auto& list = shell32Exports();
  for (auto& have : list)
    if (have.name == e.name && have.ordinal == e.ordinal) {
      have = std::move(e);
      registerShell32();
      return;
    }
  list.push_back(std::move(e));
  registerShell32();
}

}  // namespace qv::modules

HINSTANCE SHGetShellStyleHInstance() {
  if (!qv::desktop::profile().shellStyle) return nullptr;
  return LoadLibrary("ShellStyle.dll");
}
