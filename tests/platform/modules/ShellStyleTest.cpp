// The shell's style module: found through shell32's entry point per
// profile, with its bitmaps and its style sheet as module resources.
#include <gtest/gtest.h>

#include <string>

#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/ShellStyle.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/PredefinedBitmaps.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Resource.h"

using qv::desktop::profile;

namespace {

class ShellStyle : public qvtest::DesktopTest {
 protected:
  // The style module as a program finds it: shell32, then its entry point.
  static HINSTANCE styleModule() {
    HMODULE shell = LoadLibrary("shell32.dll");
    if (!shell) return nullptr;
    auto get = qv::os::procAs<HINSTANCE (*)()>(GetProcAddress(shell, "SHGetShellStyleHInstance"));
    HINSTANCE h = get ? get() : nullptr;
    FreeLibrary(shell);
    return h;
  }
};

TEST_F(ShellStyle, TheEntryPointAnswersTheModuleOnlyWhenTheProfileHasIt) {
  HINSTANCE h = styleModule();
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(FreeLibrary(h));

  profile().shellStyle = false;
  EXPECT_NE(LoadLibrary("shell32.dll"), nullptr);  // the shell itself stays
  EXPECT_EQ(styleModule(), nullptr);
  EXPECT_EQ(LoadLibrary("ShellStyle.dll"), nullptr);
}

TEST_F(ShellStyle, BitmapsOneHundredToOneHundredFourteenLoadFromTheModule) {
  HINSTANCE h = styleModule();
  ASSERT_NE(h, nullptr);
  for (int id = 100; id <= 114; ++id) {
    HBITMAP b = LoadBitmap(h, MAKEINTRESOURCE(id));
    ASSERT_NE(b, nullptr) << id;
    BITMAP bm{};
    ASSERT_EQ(GetObject(b, sizeof bm, &bm), static_cast<int>(sizeof bm));
    const SIZE want = id <= 109 ? SIZE{22, 22} : id <= 113 ? SIZE{186, 25} : SIZE{16, 256};
    EXPECT_EQ(bm.bmWidth, want.cx) << id;
    EXPECT_EQ(bm.bmHeight, want.cy) << id;
    DeleteObject(b);
  }
  EXPECT_EQ(LoadBitmap(h, MAKEINTRESOURCE(99)), nullptr);
  EXPECT_EQ(LoadBitmap(h, MAKEINTRESOURCE(115)), nullptr);

  // A sign: magenta, fully transparent, around an opaque button.
  HBITMAP sign = LoadBitmap(h, MAKEINTRESOURCE(100));
  qv::os::gdi::Image img;
  ASSERT_TRUE(qv::os::gdi::imageFromBitmap(sign, img));
  EXPECT_EQ(img.at(0, 0), 0x00FF00FFu);
  EXPECT_EQ(img.at(11, 3) >> 24, 0xFFu);
  DeleteObject(sign);
  FreeLibrary(h);
}

TEST_F(ShellStyle, TheStyleSheetHoldsOneRuleALineForEverySelectorTheParserReads) {
  HINSTANCE h = styleModule();
  HRSRC res = FindResource(h, "cpwebvw.css", RT_HTML);
  ASSERT_NE(res, nullptr);
  const DWORD size = SizeofResource(h, res);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(h, res)));
  ASSERT_NE(bytes, nullptr);
  const std::string sheet(bytes, size);

  // Selectors are matched at the start of a line, case ignored, with the
  // blank after them: "A " must not be taken for "A:HOVER".
  for (const char* selector : {"body ", "a ", "a:hover ", ".learnaboutcaption ", ".learnaboutbox"}) {
    bool found = false;
    size_t start = 0;
    while (start < sheet.size()) {
      size_t end = sheet.find('\n', start);
      if (end == std::string::npos) end = sheet.size();
      const std::string line = sheet.substr(start, end - start);
      if (line.rfind(selector, 0) == 0) {
        found = true;
        EXPECT_NE(line.find('}'), std::string::npos) << line;
      }
      start = end + 1;
    }
    EXPECT_TRUE(found) << selector;
  }
  EXPECT_NE(sheet.find("a:hover {color: #428EFF; text-decoration: underline}"), std::string::npos);
  EXPECT_NE(sheet.find(".learnaboutbox {border: 1px solid #FFFFFF;"), std::string::npos);
  FreeLibrary(h);
}

}  // namespace
