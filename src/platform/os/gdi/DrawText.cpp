#include "platform/os/gdi/DrawText.h"

#include <algorithm>
#include <cstring>

#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/FontEngine.h"
#include "platform/os/gdi/Text.h"

namespace qv::os::gdi {

namespace {

// A line of shown characters with the position of its "&"-marked one.
struct Marked {
  std::string s;
  int mark = -1;
};

class Layouter {
 public:
  Layouter(UINT format, int width, const TextMeasure& m)
      : format_(format),
        width_(width),
        m_(m),
        tabWidth_(std::max(1, std::max(1, m.tabLength) * std::max(1, m.aveCharWidth))),
        tabs_((format & DT_EXPANDTABS) != 0) {}

  // Width of s[a, b) drawn from a line start at s[a].
  int width(const std::string& s, size_t a, size_t b) const {
    int x = 0;
    for (size_t i = a; i < b; ++i) x = advance(x, static_cast<unsigned char>(s[i]));
    return x;
  }
  int width(const std::string& s) const { return width(s, 0, s.size()); }

  TextLayout run(std::string_view text) {
    TextLayout out;
    std::vector<Marked> hard = splitLines(text);
    std::vector<Marked> lines;
    const bool wrap = (format_ & DT_WORDBREAK) && !(format_ & DT_SINGLELINE);
    for (Marked& h : hard) {
      if (wrap)
        wordWrap(h, lines);
      else
        lines.push_back(std::move(h));
    }
    for (Marked& l : lines) {
      if (width(l.s) > width_ && (format_ & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))) {
        ellipsize(l);
        out.ellipsized = true;
      }
      out.lines.push_back(finish(l));
    }
    for (const TextLine& l : out.lines) out.width = std::max(out.width, l.width);
    out.height = static_cast<int>(out.lines.size()) * m_.lineHeight;
    return out;
  }

 private:
  int advance(int x, unsigned char c) const {
    if (tabs_ && c == '\t') return (x / tabWidth_ + 1) * tabWidth_;
    return x + m_.charWidth(c);
  }

  Marked prefixed(std::string_view line) const {
    Marked m;
    if (format_ & DT_NOPREFIX) {
      m.s.assign(line);
      return m;
    }
    for (size_t i = 0; i < line.size(); ++i) {
      char c = line[i];
      if (c != '&') {
        m.s += c;
        continue;
      }
      if (i + 1 < line.size() && line[i + 1] == '&') {
        m.s += '&';
        ++i;
      } else if (i + 1 < line.size()) {
        // The last marked character of a line is the one underlined.
        m.mark = static_cast<int>(m.s.size());
      }
      // A lone "&" at the end of a line shows nothing.
    }
    return m;
  }

  std::vector<Marked> splitLines(std::string_view text) const {
    std::vector<Marked> lines;
    if (format_ & DT_SINGLELINE) {
      lines.push_back(prefixed(text));
      return lines;
    }
    size_t start = 0;
    while (true) {
      size_t end = text.find_first_of("\r\n", start);
      if (end == std::string_view::npos) {
        lines.push_back(prefixed(text.substr(start)));
        break;
      }
      lines.push_back(prefixed(text.substr(start, end - start)));
      size_t next = end + 1;
      if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
      // A break at the very end starts no further line.
      if (next >= text.size()) break;
      start = next;
    }
    return lines;
  }

  static Marked piece(const Marked& m, size_t a, size_t b) {
    Marked p;
    p.s = m.s.substr(a, b - a);
    if (m.mark >= static_cast<int>(a) && m.mark < static_cast<int>(b)) p.mark = m.mark - static_cast<int>(a);
    return p;
  }

  void wordWrap(const Marked& m, std::vector<Marked>& out) const {
    const std::string& s = m.s;
    const size_t n = s.size();
    if (n == 0) {
      out.push_back(m);
      return;
    }
    size_t start = 0;
    while (start < n) {
      // Widths of s[start, p) for growing p, stopping past the rectangle.
      size_t lastBreak = std::string::npos;  // end of the last word that fits
      size_t fitChars = start;               // end of the characters that fit
      int x = 0;
      size_t p = start;
      bool all = true;
      for (; p < n; ++p) {
        if (s[p] == ' ' && p > start && s[p - 1] != ' ') {
          if (x <= width_) lastBreak = p;
        }
        int nx = advance(x, static_cast<unsigned char>(s[p]));
        if (nx > width_ && s[p] != ' ') {
          all = false;
          break;
        }
        x = nx;
        fitChars = p + 1;
      }
      size_t end;
      if (all) {
        end = n;
      } else if (lastBreak != std::string::npos) {
        end = lastBreak;
      } else if (format_ & DT_EDITCONTROL) {
        // An edit control breaks a word longer than the line inside it.
        end = std::max(fitChars, start + 1);
      } else {
        // Otherwise the word stays whole and runs past the edge.
        end = s.find(' ', p);
        if (end == std::string::npos) end = n;
      }
      out.push_back(piece(m, start, end));
      size_t next = end;
      while (next < n && s[next] == ' ') ++next;
      start = next;
    }
  }

  void ellipsize(Marked& l) const {
    const std::string dots = "...";
    const int dotsWidth = width(dots);
    auto endCut = [&](Marked& line, bool words) {
      const std::string& s = line.s;
      size_t best = 0;
      bool found = false;
      int x = 0;
      // Prefix widths grow with their length, so the first one that no longer
      // fits ends the search.
      for (size_t k = 0; k <= s.size(); ++k) {
        if (k > 0) x = advance(x, static_cast<unsigned char>(s[k - 1]));
        if (x + dotsWidth > width_) break;
        bool wordEnd = k == 0 || (k < s.size() && s[k] == ' ' && s[k - 1] != ' ');
        if (!words || wordEnd) {
          best = k;
          found = true;
        }
      }
      if (words && (!found || best == 0)) {
        // No whole word fits: cut inside the first one.
        x = 0;
        best = 0;
        for (size_t k = 1; k <= s.size(); ++k) {
          x = advance(x, static_cast<unsigned char>(s[k - 1]));
          if (x + dotsWidth > width_) break;
          best = k;
        }
      }
      line.s = s.substr(0, best) + dots;
      if (line.mark >= static_cast<int>(best)) line.mark = -1;
    };

    if (format_ & DT_PATH_ELLIPSIS) {
      size_t slash = l.s.find_last_of("\\/");
      if (slash != std::string::npos) {
        // Keep the file name; give up characters of the folders before it.
        const std::string tail = l.s.substr(slash);
        const int tailWidth = width(tail);
        size_t best = 0;
        int x = 0;
        for (size_t k = 1; k <= slash; ++k) {
          x = advance(x, static_cast<unsigned char>(l.s[k - 1]));
          if (x + dotsWidth + tailWidth > width_) break;
          best = k;
        }
        int mark = l.mark;
        if (mark >= static_cast<int>(slash))
          mark = mark - static_cast<int>(slash) + static_cast<int>(best + dots.size());
        else if (mark >= static_cast<int>(best))
          mark = -1;
        l.s = l.s.substr(0, best) + dots + tail;
        l.mark = mark;
        if (width(l.s) > width_ && (format_ & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)))
          endCut(l, (format_ & DT_WORD_ELLIPSIS) != 0);
        return;
      }
    }
    endCut(l, (format_ & DT_WORD_ELLIPSIS) != 0 && !(format_ & DT_END_ELLIPSIS));
  }

  TextLine finish(const Marked& l) const {
    TextLine line;
    line.text = l.s;
    line.width = width(l.s);
    if (tabs_) {
      int x = 0;
      size_t runStart = 0;
      int runX = 0;
      for (size_t i = 0; i <= l.s.size(); ++i) {
        if (i == l.s.size() || l.s[i] == '\t') {
          if (i > runStart) line.runs.push_back({l.s.substr(runStart, i - runStart), runX});
          if (i == l.s.size()) break;
          x = advance(x, '\t');
          runStart = i + 1;
          runX = x;
        } else {
          x = advance(x, static_cast<unsigned char>(l.s[i]));
        }
      }
    } else if (!l.s.empty()) {
      line.runs.push_back({l.s, 0});
    }
    if (l.mark >= 0 && l.mark < static_cast<int>(l.s.size())) {
      line.underlineX = width(l.s, 0, static_cast<size_t>(l.mark));
      line.underlineWidth = advance(line.underlineX, static_cast<unsigned char>(l.s[l.mark])) - line.underlineX;
    }
    return line;
  }

  UINT format_;
  int width_;
  const TextMeasure& m_;
  int tabWidth_;
  bool tabs_;
};

}  // namespace

TextLayout layoutText(std::string_view text, UINT format, int width, const TextMeasure& measure) {
  return Layouter(format, width, measure).run(text);
}

namespace {

int drawTextImpl(HDC dc, LPSTR writable, LPCSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params) {
  Dc* d = dcOf(dc);
  auto font = realizedFontOf(dc);
  if (!d || !font || !rect) return 0;
  if (count == -1) count = text ? static_cast<int>(std::strlen(text)) : 0;
  if (count < 0 || (count > 0 && !text)) return 0;
  const TEXTMETRICA& tm = font->metrics();
  TextMeasure measure;
  RealizedFont* f = font.get();
  measure.charWidth = [f](unsigned char c) { return f->charWidth(c); };
  measure.lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  measure.aveCharWidth = tm.tmAveCharWidth;
  int leftMargin = 0, rightMargin = 0;
  if (params) {
    if (params->iTabLength > 0) measure.tabLength = params->iTabLength;
    leftMargin = params->iLeftMargin;
    rightMargin = params->iRightMargin;
    params->uiLengthDrawn = static_cast<UINT>(count);
  }
  const int lh = measure.lineHeight;
  const bool single = (format & DT_SINGLELINE) != 0;

  if (count == 0) {
    if (format & DT_CALCRECT) {
      rect->right = rect->left;
      rect->bottom = rect->top + (single ? lh : 0);
    }
    return lh;
  }

  RECT area = *rect;
  area.left += leftMargin;
  area.right -= rightMargin;
  const int areaWidth = area.right - area.left;
  TextLayout layout = layoutText(std::string_view(text, static_cast<size_t>(count)), format, areaWidth, measure);

  if ((format & DT_MODIFYSTRING) && writable && layout.ellipsized && layout.lines.size() == 1) {
    // The caller's buffer holds count + 4 bytes by contract.
    const std::string& shown = layout.lines[0].text;
    size_t n = std::min(shown.size(), static_cast<size_t>(count) + 3);
    std::memcpy(writable, shown.data(), n);
    writable[n] = 0;
  }

  if (format & DT_CALCRECT) {
    // Only the size is computed: alignment moves nothing, and DT_VCENTER and
    // DT_BOTTOM add no offset, as on the platform.
    rect->right = rect->left + leftMargin + layout.width + rightMargin;
    rect->bottom = rect->top + layout.height;
    return layout.height;
  }

  int yOffset = 0;
  if (single && (format & DT_VCENTER))
    yOffset = (rect->bottom - rect->top - layout.height) / 2;
  else if (single && (format & DT_BOTTOM))
    yOffset = rect->bottom - rect->top - layout.height;

  const UINT savedAlign = d->state.textAlign;
  d->state.textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  const bool clip = !(format & DT_NOCLIP);
  RECT clipRect = *rect;
  // DT_PREFIXONLY draws the prefix underlines alone.
  const bool underline = !(format & (DT_NOPREFIX | DT_HIDEPREFIX));
  int y = rect->top + yOffset;
  for (size_t i = 0; i < layout.lines.size(); ++i, y += lh) {
    if ((format & DT_EDITCONTROL) && i > 0 && y + lh > rect->bottom) break;  // no partly shown last line
    if (clip && (y >= rect->bottom || y + lh <= rect->top)) continue;
    const TextLine& line = layout.lines[i];
    int x = area.left;
    if (format & DT_CENTER)
      x = area.left + (areaWidth - line.width) / 2;
    else if (format & DT_RIGHT)
      x = area.right - line.width;
    if (!(format & DT_PREFIXONLY))
      for (const TextRun& run : line.runs)
        ExtTextOut(dc, x + run.x, y, clip ? ETO_CLIPPED : 0, clip ? &clipRect : nullptr, run.text.data(),
                   static_cast<UINT>(run.text.size()), nullptr);
    if (underline && line.underlineX >= 0 && line.underlineWidth > 0) {
      RECT u{x + line.underlineX, y + tm.tmAscent + font->underlineOffset(), x + line.underlineX + line.underlineWidth,
             y + tm.tmAscent + font->underlineOffset() + font->underlineThickness()};
      if (clip) {
        u.left = std::max(u.left, clipRect.left);
        u.top = std::max(u.top, clipRect.top);
        u.right = std::min(u.right, clipRect.right);
        u.bottom = std::min(u.bottom, clipRect.bottom);
      }
      if (u.left < u.right && u.top < u.bottom) fillDeviceRect(dc, d->toDevice(u), d->state.textColor);
    }
  }
  d->state.textAlign = savedAlign;
  if (single && (format & (DT_VCENTER | DT_BOTTOM))) return yOffset + layout.height;
  return layout.height;
}

}  // namespace

}  // namespace qv::os::gdi

int DrawText(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
  // The platform writes a DT_MODIFYSTRING result into this buffer too, though
  // it is declared constant; callers that ask for it pass a writable one.
  return qv::os::gdi::drawTextImpl(dc, (format & DT_MODIFYSTRING) ? const_cast<LPSTR>(text) : nullptr, text, count,
                                   rect, format, nullptr);
}

int DrawTextEx(HDC dc, LPSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params) {
  if (params && params->cbSize != sizeof(DRAWTEXTPARAMS)) return 0;
  return qv::os::gdi::drawTextImpl(dc, text, text, count, rect, format, params);
}
