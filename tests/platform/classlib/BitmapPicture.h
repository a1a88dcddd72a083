// Small class-library bitmaps for pixel tests: filled bitmaps, and a bitmap
// as rows of characters so that a failure shows the picture.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/classlib/Graphics.h"

// A bitmap of the size, filled with one colour.
inline void makeFilledBitmap(TBitmap& b, int w, int h, TColor fill = clWhite) {
  b.SetSize(w, h);
  b.Canvas()->Brush()->SetColor(fill);
  b.Canvas()->FillRect(RECT{0, 0, w, h});
}

// One character per pixel from `legend`, '?' for colours it does not name.
inline std::vector<std::string> bitmapPicture(TBitmap& b, const std::vector<std::pair<TColor, char>>& legend) {
  std::vector<std::string> rows;
  for (int y = 0; y < b.Height(); ++y) {
    std::string row;
    for (int x = 0; x < b.Width(); ++x) {
      COLORREF c = static_cast<COLORREF>(b.Canvas()->Pixels(x, y));
      char ch = '?';
      for (const auto& [colour, mark] : legend)
        if (ColorToRGB(colour) == c) ch = mark;
      row += ch;
    }
    rows.push_back(row);
  }
  return rows;
}
