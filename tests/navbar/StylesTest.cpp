#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "NavBarTestSupport.h"

using namespace navbartest;

namespace {

struct Reported {
  std::vector<TuiNavBarChangeType> types;
  void listen(TuiBaseNavBarStyle& Style) {
    Style.OnValuesChanged = [this](TObject*, TuiNavBarChangeType AType) { types.push_back(AType); };
  }
};

// Each value: the level its change reports and the bit it assigns; setting
// it again to the same value does neither.
TEST(StyleTest, EachValueReportsItsLevelAndAssignsItsBitOnlyWhenItChanges) {
  struct Case {
    const char* name;
    std::function<void(TuiNavBarStyle&)> set;
    TuiNavBarChangeType level;
    TuiBarStyleAssignedValue bit;
    bool repeatable;  // a repeat of the same value changes nothing
  };
  TFont bold;
  bold.SetStyle(TFontStyles{fsBold});
  TPicture picture;
  const std::vector<Case> cases = {
      {"AlphaBlending", [](TuiNavBarStyle& s) { s.SetAlphaBlending(100); }, doRedraw, savAlphaBlending, true},
      {"AlphaBlending2", [](TuiNavBarStyle& s) { s.SetAlphaBlending2(7); }, doRedraw, savAlphaBlending2, true},
      {"BackColor", [](TuiNavBarStyle& s) { s.SetBackColor(clRed); }, doRedraw, savBackColor, true},
      {"BackColor2", [](TuiNavBarStyle& s) { s.SetBackColor2(clBlue); }, doRedraw, savBackColor2, true},
      {"GradientMode", [](TuiNavBarStyle& s) { s.SetGradientMode(gmVertical); }, doRedraw, savGradientMode, true},
      {"HAlignment", [](TuiNavBarStyle& s) { s.SetHAlignment(haRight); }, doRedraw, savHAlignment, true},
      {"VAlignment", [](TuiNavBarStyle& s) { s.SetVAlignment(vaTop); }, doRedraw, savVAlignment, true},
      {"Font", [&](TuiNavBarStyle& s) { s.SetFont(&bold); }, doRecalc, savFont, false},
      {"Font.Size", [](TuiNavBarStyle& s) { s.Font()->SetSize(12); }, doRecalc, savFont, true},
      {"Image", [&](TuiNavBarStyle& s) { s.SetImage(&picture); }, doRecalc, savImage, false},
  };
  for (const Case& c : cases) {
    TuiNavBarStyle style;
    Reported reported;
    reported.listen(style);
    c.set(style);
    EXPECT_EQ(reported.types, (std::vector<TuiNavBarChangeType>{c.level})) << c.name;
    EXPECT_EQ(style.AssignedValues(), TuiBarStyleAssignedValues{c.bit}) << c.name;
    if (!c.repeatable) continue;
    style.SetAssignedValues({});
    reported.types.clear();
    c.set(style);
    EXPECT_TRUE(reported.types.empty()) << c.name;
    EXPECT_TRUE(style.AssignedValues().Empty()) << c.name;
  }
}

TEST(StyleTest, ResetAndAssignGiveAllValuesAndAssignedValuesLast) {
  TuiNavBarStyle source;
  source.SetBackColor(clRed);
  source.SetHAlignment(haCenter);
  source.Font()->SetName("Tahoma");
  source.SetAssignedValues({savBackColor});

  TuiNavBarStyle copy;
  Reported reported;
  reported.listen(copy);
  copy.Assign(&source);
  EXPECT_EQ(copy.BackColor(), clRed);
  EXPECT_EQ(copy.HAlignment(), haCenter);
  EXPECT_EQ(copy.Font()->Name(), "Tahoma");
  EXPECT_EQ(copy.AssignedValues(), TuiBarStyleAssignedValues{savBackColor});
  EXPECT_FALSE(reported.types.empty());

  copy.ResetValues();
  EXPECT_EQ(copy.BackColor(), 0xFFFFFF);
  EXPECT_EQ(copy.HAlignment(), haLeft);
  EXPECT_EQ(copy.VAlignment(), vaCenter);
  EXPECT_EQ(copy.Font()->Name(), "MS Sans Serif");
  EXPECT_EQ(copy.Font()->Height(), -11);
  EXPECT_EQ(copy.Font()->Color(), clWindowText);
  EXPECT_TRUE(copy.AssignedValues().Empty());

  EXPECT_THROW(copy.Assign(copy.Font()), EConvertError);
}

// A value comes from the element's style item when it assigns that value,
// otherwise from the default style.
TEST(StyleTest, ResolutionTakesAssignedValuesFromTheItemAndTheRestFromTheDefault) {
  TNavForm form(nullptr);
  TuiNavBarDefaultStyle fallback;
  auto* item = new TuiNavBarStyleItem(&form);
  item->Style()->SetBackColor(clRed);
  item->Style()->SetFont(item->Style()->Font());
  item->Style()->SetAssignedValues({savBackColor, savFont});
  struct Case {
    TuiNavBarStyleItem* item;
    TuiBarStyleAssignedValue value;
    TuiBaseNavBarStyle* expected;
  };
  const std::vector<Case> cases = {
      {item, savBackColor, item->Style()},   {item, savFont, item->Style()},
      {item, savBackColor2, &fallback},      {item, savImage, &fallback},
      {nullptr, savBackColor, &fallback},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NavBarStyleFor(c.item, &fallback, c.value), c.expected) << static_cast<int>(c.value);
}

class StylesTest : public NavBarTest {};

TEST_F(StylesTest, DefaultStylesHoldTheViewsValuesUntilChanged) {
  TuiNavBarDefaultStyles* defaults = bar->DefaultStyles();
  ASSERT_EQ(defaults->Count(), 20);
  EXPECT_EQ(defaults->Background()->BackColor(), 0x100);
  EXPECT_EQ(defaults->NavigationPaneHeader()->BackColor(), 0x100 + 19);
  EXPECT_TRUE(defaults->Item()->HoldsViewDefaults());
  EXPECT_FALSE(defaults->IsStyleStored(13));

  bar->defaultStyleChanges.clear();
  defaults->Item()->SetBackColor(clRed);
  EXPECT_EQ(bar->defaultStyleChanges, (std::vector<TuiNavBarChangeType>{doRedraw}));
  EXPECT_TRUE(defaults->IsStyleStored(13));

  // After loading only the styles still holding the view's values follow a
  // new view; a change of view outside loading takes them all.
  bar->viewColor = 0x200;
  bar->defaultStyleChanges.clear();
  defaults->AssignDefaultValues(true);
  EXPECT_TRUE(bar->defaultStyleChanges.empty());  // one bracket, no reports
  EXPECT_EQ(defaults->Item()->BackColor(), clRed);
  EXPECT_EQ(defaults->Hint()->BackColor(), 0x200 + 12);
  defaults->AssignDefaultValues(false);
  EXPECT_EQ(defaults->Item()->BackColor(), 0x200 + 13);
  EXPECT_TRUE(defaults->Item()->HoldsViewDefaults());

  EXPECT_THROW(defaults->Styles(20), EListError);
}

TEST_F(StylesTest, StyleItemsReportToTheirCollectionAndLeaveTheGroupsAndItemsThatUseThem) {
  TuiNavBarStyleItem* style = bar->NavBarStyles()->Add();
  EXPECT_EQ(style->Name(), "uiNavBarStyleItem1");
  TuiNavBarGroup* group = bar->NavBarGroups()->Add();
  TuiNavBarItem* item = bar->NavBarItems()->Add();
  group->SetGroupStyle(2, style);
  item->SetItemStyle(3, style);
  EXPECT_EQ(group->StyleHeader(), style);
  EXPECT_EQ(item->StylePressed(), style);

  bar->heard.clear();
  style->Style()->SetBackColor(clGreen);
  ASSERT_EQ(bar->heard.size(), 1u);
  EXPECT_EQ(bar->heard[0].collection, "styles");
  EXPECT_EQ(bar->heard[0].item, style);
  EXPECT_EQ(bar->heard[0].action, caItemChanged);

  delete style;
  EXPECT_EQ(group->StyleHeader(), nullptr);
  EXPECT_EQ(item->StylePressed(), nullptr);
}

}  // namespace
