// Every caption that the designer's form gives a fixed place fits that place
// in the font it is drawn with, in German and in English: the text beside a
// check box's or radio button's mark, a fixed-width label's text (all its
// lines for a word-wrapping one), a group box's title within its frame, a
// button's text, and an auto-sized label's text, which must not run under
// the control beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DesignerFixture.h"
#include "platform/classlib/Buttons.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Registry.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/os/gdi/Gdi.h"

namespace {

// The platform's check mark and the gap after it.
constexpr int kMarkSpace = 13 + 4;
// A group box's title starts 9 pixels in; as much stays free at its end.
constexpr int kGroupTitleInset = 9;
// A push button keeps its text off its 3-D frame.
constexpr int kButtonMargin = 8;

SIZE measure(TControl* Control, TFont* Font, const std::string& Text, UINT Flags, int Width = 0) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  RECT r{0, 0, Width, 0};
  DrawText(dc, Text.c_str(), -1, &r, Flags | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteDC(dc);
  (void)Control;
  return {r.right - r.left, r.bottom - r.top};
}

bool intersects(const TRect& a, const TRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string fault(TControl* c, const std::string& what, long need, long have) {
  return c->Name() + " \"" + c->Caption() + "\": " + what + " needs " + std::to_string(need) + " of " +
         std::to_string(have) + " pixels";
}

// The captions of the form that do not fit their places.
std::vector<std::string> cutCaptions(TForm* Form) {
  std::vector<std::string> faults;
  int measured = 0;
  for (int i = 0; i < Form->ComponentCount(); ++i) {
    auto* c = dynamic_cast<TControl*>(Form->Components(i));
    if (!c || c->Caption().empty() || dynamic_cast<TCustomEdit*>(c) || dynamic_cast<TCustomComboBox*>(c)) continue;
    const std::string text = c->Caption();
    TFont* font = c->Font();
    if (auto* label = dynamic_cast<TCustomLabel*>(c)) {
      ++measured;
      if (!label->AutoSize()) {
        if (label->WordWrap()) {
          SIZE s = measure(c, font, text, DT_WORDBREAK, c->Width());
          if (s.cy > c->Height()) faults.push_back(fault(c, "its lines", s.cy, c->Height()));
        } else {
          SIZE s = measure(c, font, text, DT_SINGLELINE);
          if (s.cx > c->Width()) faults.push_back(fault(c, "its text", s.cx, c->Width()));
        }
        continue;
      }
      // An auto-sized label is as wide as its text; nothing beside it may
      // cover that text.
      SIZE s = measure(c, font, text, DT_SINGLELINE);
      TRect box{c->Left(), c->Top(), c->Left() + s.cx, c->Top() + s.cy};
      TWinControl* parent = c->Parent();
      for (int k = 0; parent && k < parent->ControlCount(); ++k) {
        TControl* other = parent->Controls(k);
        if (other == c || !other->Visible()) continue;
        TRect r = other->BoundsRect();
        if (intersects(box, r) && r.left > c->Left())
          faults.push_back(fault(c, "its text up to " + other->Name(), s.cx, r.left - c->Left()));
      }
      continue;
    }
    if (dynamic_cast<TCustomCheckBox*>(c) || dynamic_cast<TRadioButton*>(c)) {
      ++measured;
      SIZE s = measure(c, font, text, DT_SINGLELINE);
      if (s.cx + kMarkSpace > c->Width()) faults.push_back(fault(c, "mark and text", s.cx + kMarkSpace, c->Width()));
      continue;
    }
    if (dynamic_cast<TCustomGroupBox*>(c)) {
      ++measured;
      SIZE s = measure(c, font, text, DT_SINGLELINE);
      if (s.cx + 2 * kGroupTitleInset > c->Width())
        faults.push_back(fault(c, "its title", s.cx + 2 * kGroupTitleInset, c->Width()));
      continue;
    }
    if (dynamic_cast<TButton*>(c) || dynamic_cast<TSpeedButton*>(c)) {
      ++measured;
      SIZE s = measure(c, font, text, DT_SINGLELINE);
      if (s.cx + kButtonMargin > c->Width()) faults.push_back(fault(c, "its text", s.cx + kButtonMargin, c->Width()));
      continue;
    }
  }
  // The form has dozens of captions; a walk that finds none measured nothing.
  if (measured < 40) faults.push_back("only " + std::to_string(measured) + " captions measured");
  return faults;
}

class CaptionsTest : public qvtest::DesignerTest {};

TEST_F(CaptionsTest, EveryFixedPlaceCaptionFitsInGerman) {
  std::vector<std::string> faults{"not run"};
  step([&](TQVDesigner* d) { faults = cutCaptions(d); });
  launch();
  EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

TEST_F(CaptionsTest, EveryFixedPlaceCaptionFitsInEnglish) {
  {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey("Software\\Borland\\Locales", true));
    registry.WriteString(programPath(), "ENU");
  }
  std::filesystem::copy_file(QV_DESIGNER_ENGLISH_MODULE, hostPath("prog/qvdesigner.ENU"));
  std::vector<std::string> faults{"not run"};
  std::string hint;
  step([&](TQVDesigner* d) {
    hint = d->BtnNew->Hint();
    faults = cutCaptions(d);
  });
  launch();
  ASSERT_EQ(hint, "Create a new project");
  EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

}  // namespace
