// The task pane's style sheet: any bytes as the sheet's text, read the way
// the navigation bar reads the shell style's sheet into its fonts and its
// border colour. Nothing raises.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzDesktop.h"
#include "navbar/uiNavBarGraphics.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)qvfuzz::Desktop::get();
  const TuiStyleSheetParser parser(std::string(reinterpret_cast<const char*>(data), size));
  TFont font;
  for (const char* selector : {"BODY ", "A ", ".LEARNABOUTCAPTION ", "A:HOVER "}) parser.ApplyFontStyle(&font, selector);
  TColor border = clNone;
  parser.ReadBorderColor(".LEARNABOUTBOX", border);
  return 0;
}
