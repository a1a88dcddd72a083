// The tool bar: buttons laid out by the bar (sizes, separators, wrapping,
// order of insertion), images per button with the disabled and greyed
// looks, and clicks on plain and check buttons.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BareForm.h"
#include "DesktopTest.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Forms.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/user/Screen.h"
#include "platform/os/user/User.h"

namespace {

std::string box(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class ToolBarTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    owner = new TComponent(nullptr);
    bar = new TToolBar(owner);
    bar->SetAlign(alNone);
  }
  void TearDown() override {
    delete owner;
    qvtest::DesktopTest::TearDown();
  }
  TToolButton* add(TToolButtonStyle style = tbsButton, const std::string& caption = "") {
    auto* b = new TToolButton(owner);
    if (bar->ButtonCount() > 0) {
      TToolButton* last = bar->Buttons(bar->ButtonCount() - 1);
      b->SetLeft(last->Left() + last->Width());
      b->SetTop(last->Top());
    }
    b->SetStyle(style);
    b->SetCaption(caption);
    b->SetParent(bar);
    return b;
  }
  // Paints the whole bar into a bitmap as its WM_PAINT would.
  void paint(TBitmap& bmp) {
    bmp.SetSize(bar->Width(), bar->Height());
    bmp.Canvas()->Brush()->SetColor(clBlack);
    bmp.Canvas()->FillRect(RECT{0, 0, bar->Width(), bar->Height()});
    bar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp.Canvas()->Handle()), 0);
  }
  static void solid(TBitmap& b, int w, int h, TColor c) {
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(RECT{0, 0, w, h});
  }
  TComponent* owner = nullptr;
  TToolBar* bar = nullptr;
};

struct LayoutCase {
  const char* name;
  int barWidth, buttonWidth, buttonHeight, indent;
  bool wrapable;
  std::vector<TToolButtonStyle> styles;
  int wrapAfter;  // index of a button with Wrap, or -1
  std::vector<TRect> expected;  // left, top, width, height
  int rows;
};

TEST_F(ToolBarTest, LaysOutButtonsSeparatorsAndRows) {
  const LayoutCase cases[] = {
      {"one row with separator and drop-down", 300, 23, 22, 0, true,
       {tbsButton, tbsSeparator, tbsCheck, tbsDivider, tbsDropDown}, -1,
       {{0, 0, 23, 22}, {23, 0, 8, 22}, {31, 0, 23, 22}, {54, 0, 8, 22}, {62, 0, 37, 22}}, 1},
      {"wrapable bar breaks before the button that would cross", 60, 25, 30, 5, true,
       {tbsButton, tbsButton, tbsButton}, -1, {{5, 0, 25, 30}, {30, 0, 25, 30}, {5, 30, 25, 30}}, 2},
      {"without Wrapable the row runs on", 60, 25, 30, 5, false,
       {tbsButton, tbsButton, tbsButton}, -1, {{5, 0, 25, 30}, {30, 0, 25, 30}, {55, 0, 25, 30}}, 1},
      {"a button with Wrap ends its row", 300, 39, 38, 0, false,
       {tbsButton, tbsButton, tbsButton}, 0, {{0, 0, 39, 38}, {0, 38, 39, 38}, {39, 38, 39, 38}}, 2},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    delete bar;
    bar = new TToolBar(owner);
    bar->SetAlign(alNone);
    bar->SetWidth(c.barWidth);
    bar->SetEdgeBorders({});
    bar->SetButtonWidth(c.buttonWidth);
    bar->SetButtonHeight(c.buttonHeight);
    bar->SetIndent(c.indent);
    bar->SetWrapable(c.wrapable);
    for (TToolButtonStyle s : c.styles) add(s);
    if (c.wrapAfter >= 0) bar->Buttons(c.wrapAfter)->SetWrap(true);
    ASSERT_EQ(bar->ButtonCount(), static_cast<int>(c.expected.size()));
    for (int i = 0; i < bar->ButtonCount(); ++i) {
      TToolButton* b = bar->Buttons(i);
      const TRect& e = c.expected[i];
      EXPECT_EQ(box(b->BoundsRect()), box({e.left, e.top, e.left + e.right, e.top + e.bottom}))
          << "button " << i;
    }
    EXPECT_EQ(bar->RowCount(), c.rows);
  }
}

TEST_F(ToolBarTest, OrderFollowsLeftEdgesAndAutoSizeFollowsRows) {
  TToolButton* a = add();
  TToolButton* b = add();
  // Left 0 puts a new button in front.
  auto* first = new TToolButton(owner);
  first->SetParent(bar);
  EXPECT_EQ(first->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(b->Index(), 2);
  EXPECT_EQ(b->Left(), 46);
  delete first;
  EXPECT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(a->Left(), 0);
  EXPECT_THROW(bar->Buttons(2), EListError);

  // The top edge (raised inner, lowered outer) takes two pixels outside
  // the client area; AutoSize fits two rows.
  bar->SetWidth(30);
  bar->SetAutoSize(true);
  EXPECT_EQ(box(b->BoundsRect()), "0,22,23,44");
  EXPECT_EQ(bar->Height(), 2 * 22 + 2);
  EXPECT_EQ(box(bar->ClientRect()), "0,0,30,44");
  bar->SetEdgeBorders({ebTop, ebBottom});
  EXPECT_EQ(bar->Height(), 2 * 22 + 4);
}

TEST_F(ToolBarTest, CaptionsWidenEveryButtonToTheWidest) {
  bar->SetWidth(400);
  bar->SetShowCaptions(true);
  TToolButton* a = add(tbsButton, "Go");
  TToolButton* b = add(tbsButton, "A much longer caption");
  TBitmap probe;
  probe.SetSize(1, 1);
  probe.Canvas()->Font()->Assign(bar->Font());
  int widest = probe.Canvas()->TextWidth("A much longer caption");
  EXPECT_GT(widest, 23);
  EXPECT_EQ(a->Width(), b->Width());
  EXPECT_EQ(a->Width(), widest + 7);
  EXPECT_EQ(b->Left(), a->Width());
}

// Each button shows its image from Images, centred; a disabled one the image
// of DisabledImages, or, without that list, its own image greyed.
TEST_F(ToolBarTest, DrawsImagesAndDisabledImages) {
  TImageList images(16, 16), disabled(16, 16);
  TBitmap red, blue, green;
  solid(red, 16, 16, clRed);
  solid(blue, 16, 16, clBlue);
  solid(green, 16, 16, clLime);
  images.Add(&red, nullptr);
  images.Add(&blue, nullptr);
  disabled.Add(&green, nullptr);
  disabled.Add(&green, nullptr);
  bar->SetEdgeBorders({});
  bar->SetWidth(100);
  bar->SetHeight(22);
  bar->SetImages(&images);
  TToolButton* a = add();
  TToolButton* b = add();
  TToolButton* c = add();
  a->SetImageIndex(0);
  b->SetImageIndex(1);
  c->SetImageIndex(0);
  c->SetEnabled(false);

  TBitmap shot;
  paint(shot);
  // Images sit at (3, 3) in each 23 x 22 button.
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(3, 3)), RGB(255, 0, 0));
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(11, 11)), RGB(255, 0, 0));
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(2, 11)), ColorToRGB(clBtnFace));
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(23 + 11, 11)), RGB(0, 0, 255));
  EXPECT_NE(static_cast<COLORREF>(shot.Canvas()->Pixels(46 + 11, 11)), RGB(255, 0, 0));  // greyed

  bar->SetDisabledImages(&disabled);
  paint(shot);
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(46 + 11, 11)), RGB(0, 255, 0));
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(11, 11)), RGB(255, 0, 0));
  // A freed list is let go.
  bar->SetImages(nullptr);
  EXPECT_EQ(bar->Images(), nullptr);
}

// Buttons are at least as large as the bar's images with the platform's
// margins, also when the list changes its size after it was given to the
// bar: 32-pixel images make 39 x 38 buttons that show the whole image.
TEST_F(ToolBarTest, ButtonsTakeTheImageListsSize) {
  TImageList images(16, 16);
  bar->SetEdgeBorders({});
  bar->SetWidth(200);
  bar->SetHeight(40);
  bar->SetImages(&images);
  TToolButton* a = add();
  TToolButton* b = add();
  EXPECT_EQ(box(a->BoundsRect()), "0,0,23,22");
  images.SetWidth(32);
  images.SetHeight(32);
  TBitmap red;
  solid(red, 32, 32, clRed);
  images.Add(&red, nullptr);
  a->SetImageIndex(0);
  EXPECT_EQ(box(a->BoundsRect()), "0,0,39,38");
  EXPECT_EQ(box(b->BoundsRect()), "39,0,78,38");
  TBitmap shot;
  paint(shot);
  // The image lies at (3, 3) and ends with its 32nd pixel.
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(3, 3)), RGB(255, 0, 0));
  EXPECT_EQ(static_cast<COLORREF>(shot.Canvas()->Pixels(34, 34)), RGB(255, 0, 0));
  EXPECT_NE(static_cast<COLORREF>(shot.Canvas()->Pixels(35, 35)), RGB(255, 0, 0));
  // Larger sizes set on the bar still win.
  bar->SetButtonWidth(50);
  bar->SetButtonHeight(40);
  EXPECT_EQ(box(a->BoundsRect()), "0,0,50,40");
}

// A transparent bar shows its parent's background beside its buttons, and
// through flat buttons; raised buttons keep their face, as the platform
// draws them. An opaque bar fills with its own colour.
TEST_F(ToolBarTest, TransparentBarShowsItsParentsBackground) {
  struct Case {
    bool transparent, flat;
    COLORREF beside, inButton;
  } cases[] = {
      {true, true, RGB(255, 0, 0), RGB(255, 0, 0)},
      {true, false, RGB(255, 0, 0), ColorToRGB(clBtnFace)},
      {false, true, RGB(0, 255, 0), RGB(0, 255, 0)},
  };
  std::unique_ptr<TForm> form(newBareForm(200, 100));
  auto* holder = new TPanel(form.get());
  holder->SetParent(form.get());
  holder->SetBounds(20, 10, 150, 60);
  holder->SetBevelOuter(bvNone);
  holder->SetParentBackground(false);
  holder->SetColor(clRed);
  auto* shown = new TToolBar(form.get());
  shown->SetParent(holder);
  shown->SetAlign(alClient);
  shown->SetEdgeBorders({});
  shown->SetColor(clLime);
  auto* button = new TToolButton(form.get());
  button->SetParent(shown);
  form->Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.transparent ? "transparent" : "opaque") + (c.flat ? ", flat" : ""));
    shown->SetTransparent(c.transparent);
    shown->SetFlat(c.flat);
    shown->Invalidate();
    button->Invalidate();
    qv::os::pumpMessages();
    qv::os::gdi::Image shot;
    ASSERT_TRUE(qv::os::windowImage(form->Handle(), shot));
    auto at = [&](int x, int y) {
      const std::uint32_t argb = shot.at(x, y);
      return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    };
    // The bar lies at (20, 10) of the form, its first button at its origin.
    EXPECT_EQ(at(20 + 100, 10 + 30), c.beside);
    EXPECT_EQ(at(20 + 11, 10 + 11), c.inButton);
  }
}

// Through the bar's window procedure, which hands the mouse to the button
// under it, as a real click does.
void click(TControl* c, int upX = 5) {
  TWinControl* p = c->Parent();
  p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c->Left() + 5, c->Top() + 5));
  p->Perform(WM_LBUTTONUP, 0, MAKELPARAM(c->Left() + upX, c->Top() + 5));
}

TEST_F(ToolBarTest, ClicksFireOnClickAndCheckButtonsStayDown) {
  std::vector<std::string> log;
  bar->SetParentWindow(Application->Handle());
  TToolButton* plain = add(tbsButton, "plain");
  TToolButton* check = add(tbsCheck, "check");
  add(tbsSeparator);
  TToolButton* g1 = add(tbsCheck, "g1");
  TToolButton* g2 = add(tbsCheck, "g2");
  for (TToolButton* b : {plain, check, g1, g2})
    b->OnClick = [&log, b](TObject* s) { log.push_back(static_cast<TToolButton*>(s)->Caption() + (b->Down() ? " down" : " up")); };
  g1->SetGrouped(true);
  g2->SetGrouped(true);

  click(plain);
  EXPECT_FALSE(plain->Down());
  click(check);
  click(check);
  click(g1);
  click(g2);
  click(g2);  // a grouped button without AllowAllUp stays down
  EXPECT_EQ(log, (std::vector<std::string>{"plain up", "check down", "check up", "g1 down", "g2 down", "g2 down"}));
  EXPECT_FALSE(g1->Down());

  // Down in code fires nothing, and still keeps the group exclusive.
  log.clear();
  g1->SetDown(true);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(g2->Down());
  // A disabled button takes no click; a press released outside is no click.
  plain->SetEnabled(false);
  click(plain);
  click(check, 200);
  EXPECT_EQ(log, std::vector<std::string>{});
}

}  // namespace
