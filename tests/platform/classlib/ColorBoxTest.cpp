// The colour box: which colours each style lists, in which order and under
// which names, and a selected colour the list does not have kept as an
// extra item.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/ExtCtrls.h"

namespace {

class ColorBoxTest : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    delete box;
    qvtest::DesktopTest::TearDown();
  }
  std::vector<TColor> colors() const {
    std::vector<TColor> v;
    for (int i = 0; i < box->Items()->Count(); ++i) v.push_back(box->Colors(i));
    return v;
  }
  TColorBox* box = new TColorBox(nullptr);
};

TEST_F(ColorBoxTest, StylesListTheirColoursInOrder) {
  struct Case {
    TColorBoxStyle style;
    int count;
    std::vector<std::string> first;
    std::string last;
  } cases[] = {
      {{cbStandardColors}, 16, {"clBlack", "clMaroon"}, "clWhite"},
      {{cbExtendedColors}, 4, {"clMoneyGreen", "clSkyBlue", "clCream", "clMedGray"}, "clMedGray"},
      {{cbStandardColors, cbExtendedColors, cbPrettyNames}, 20, {"Black"}, "MedGray"},
      {{cbIncludeNone, cbIncludeDefault, cbStandardColors}, 18, {"clNone", "clDefault", "clBlack"}, "clWhite"},
      {{cbCustomColor, cbIncludeNone, cbPrettyNames, cbStandardColors}, 18, {"Custom...", "None", "Black"}, "White"},
      // System colours: every clSystemColor value, without clNone and clDefault.
      {{cbSystemColors}, 30, {"clActiveBorder", "clActiveCaption"}, "clWindowText"},
  };
  for (const Case& c : cases) {
    box->SetStyle(c.style);
    SCOPED_TRACE(c.first[0]);
    ASSERT_EQ(box->Items()->Count(), c.count);
    for (std::size_t i = 0; i < c.first.size(); ++i) EXPECT_EQ(box->ColorNames(static_cast<int>(i)), c.first[i]);
    EXPECT_EQ(box->ColorNames(c.count - 1), c.last);
  }
  box->SetStyle({cbSystemColors});
  for (TColor col : colors()) EXPECT_LT(col, 0);
  box->SetStyle({cbIncludeNone, cbStandardColors});
  EXPECT_EQ(box->Colors(0), clNone);
  EXPECT_EQ(box->Colors(1), clBlack);
}

TEST_F(ColorBoxTest, SelectionFollowsColoursAndKeepsACustomOne) {
  box->SetStyle({cbCustomColor, cbIncludeNone, cbStandardColors});
  EXPECT_EQ(box->Selected(), clBlack);
  EXPECT_EQ(box->Text(), "clBlack");
  box->SetSelected(clNone);
  EXPECT_EQ(box->ItemIndex(), 1);
  int before = box->Items()->Count();
  box->SetSelected(static_cast<TColor>(0x123456));
  EXPECT_EQ(box->Selected(), 0x123456);
  EXPECT_EQ(box->Items()->Count(), before + 1);
  EXPECT_EQ(box->ItemIndex(), 1);  // right after "Custom..."
  EXPECT_EQ(box->ColorNames(1), "$00123456");
  // Another custom colour replaces the kept one; a listed colour leaves it.
  box->SetSelected(static_cast<TColor>(0x654321));
  EXPECT_EQ(box->Items()->Count(), before + 1);
  box->SetSelected(clRed);
  EXPECT_EQ(box->Text(), "clRed");
  box->SetSelected(static_cast<TColor>(0x654321));
  EXPECT_EQ(box->ItemIndex(), 1);
  // A new style lists again and keeps the selection.
  box->SetStyle({cbStandardColors, cbPrettyNames});
  EXPECT_EQ(box->Selected(), 0x654321);
  box->SetSelected(clTeal);
  box->SetStyle({cbStandardColors, cbExtendedColors});
  EXPECT_EQ(box->Selected(), clTeal);
  EXPECT_EQ(box->Text(), "clTeal");
}

}  // namespace
