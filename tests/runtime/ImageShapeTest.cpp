// The shaping picture control: the window region it cuts from a skin
// bitmap, how a second shape joins what a window already has, dragging the
// window by the picture, and where the picture is drawn.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Graphics.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/User.h"
#include "runtime/ImageShape.h"

namespace {

constexpr TColor kMagenta = 0xFF00FF;
constexpr TColor kBlue = 0x803000;

// One character per pixel: '.' magenta, anything else blue. The key is the
// bottom-left pixel's colour, so every picture here starts its last row
// with '.'.
void drawArt(TBitmap& b, const std::vector<std::string>& rows) {
  b.SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) b.Canvas()->SetPixels(x, y, rows[y][x] == '.' ? kMagenta : kBlue);
}

// Rows of the window region: '#' inside, '.' outside.
std::vector<std::string> regionArt(HWND wnd, int width, int height) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  std::vector<std::string> rows;
  if (GetWindowRgn(wnd, rgn) != ERROR) {
    for (int y = 0; y < height; ++y) {
      std::string row;
      for (int x = 0; x < width; ++x) row += PtInRegion(rgn, x, y) ? '#' : '.';
      rows.push_back(row);
    }
  }
  DeleteObject(rgn);
  return rows;
}

class ImageShapeTest : public qvtest::DesktopTest {
 protected:
  // A frameless form at (100, 100) with a shape control at its top-left.
  TImageShape* shapedForm(std::unique_ptr<TForm>& form, int width, int height) {
    form.reset(TForm::CreateNew(nullptr));
    form->SetBorderStyle(bsNone);
    form->SetBounds(100, 100, width, height);
    auto* image = new TImageShape(form.get());
    image->SetParent(form.get());
    image->SetBounds(0, 0, 105, 105);
    image->SetAutoSize(true);
    form->Show();
    return image;
  }
  static void setArt(TImageShape* image, const std::vector<std::string>& rows) {
    TBitmap b;
    drawArt(b, rows);
    image->Picture()->SetBitmap(&b);
  }
};

TEST_F(ImageShapeTest, AMagentaKeyedSkinCutsTheWindowToItsShapeWithHoles) {
  std::unique_ptr<TForm> form;
  TImageShape* image = shapedForm(form, 10, 7);
  const std::vector<std::string> skin = {
      "..####..",
      ".######.",
      "###.####",  // a key-coloured pixel inside is a hole too
      ".######.",
      "........",
  };
  setArt(image, skin);
  EXPECT_EQ(image->Width(), 8);
  EXPECT_EQ(image->Height(), 5);
  // Beyond the picture the window is cut away as well.
  EXPECT_EQ(regionArt(form->Handle(), 10, 7), (std::vector<std::string>{
                                                  "..####....",
                                                  ".######...",
                                                  "###.####..",
                                                  ".######...",
                                                  "..........",
                                                  "..........",
                                                  "..........",
                                              }));
  EXPECT_STREQ(std::getenv(qv::runtime::kImageShapeRegionVariable), "set");
}

TEST_F(ImageShapeTest, OnlyTheBottomLeftPixelKeyedLosesThatPixelAlone) {
  std::unique_ptr<TForm> form;
  TImageShape* image = shapedForm(form, 4, 3);
  setArt(image, {"####", "####", ".###"});
  HRGN expected = CreateRectRgn(0, 0, 4, 3);
  HRGN pixel = CreateRectRgn(0, 2, 1, 3);
  CombineRgn(expected, expected, pixel, RGN_DIFF);
  HRGN actual = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(form->Handle(), actual), ERROR);
  EXPECT_TRUE(EqualRgn(actual, expected));
  for (HRGN r : {expected, pixel, actual}) DeleteObject(r);
}

TEST_F(ImageShapeTest, TheShapeSitsOnTheClientAreaOfAFramedParent) {
  std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
  form->SetBorderStyle(bsSingle);
  form->SetBounds(50, 50, 200, 150);
  auto* image = new TImageShape(form.get());
  image->SetParent(form.get());
  image->SetBounds(5, 7, 105, 105);
  image->SetAutoSize(true);
  form->Show();
  setArt(image, {"###", "###", "..#"});

  RECT window{}, client{};
  GetWindowRect(form->Handle(), &window);
  GetClientRect(form->Handle(), &client);
  int border = (window.right - window.left - client.right) / 2;
  int caption = (window.bottom - window.top - client.bottom) - border;
  ASSERT_GT(caption, border);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(form->Handle(), rgn), ERROR);
  RECT box{};
  GetRgnBox(rgn, &box);
  EXPECT_EQ((std::vector<long>{box.left, box.top, box.right, box.bottom}),
            (std::vector<long>{border + 5, caption + 7, border + 8, caption + 10}));
  EXPECT_FALSE(PtInRegion(rgn, border + 5, caption + 9));
  EXPECT_TRUE(PtInRegion(rgn, border + 7, caption + 9));
  DeleteObject(rgn);
}

TEST_F(ImageShapeTest, LaterShapesJoinWhatTheWindowHasAndReplaceOnlyTheirOwnPart) {
  // The first shape of the process replaces the window's region outright.
  std::unique_ptr<TForm> first;
  TImageShape* firstImage = shapedForm(first, 4, 2);
  SetWindowRgn(first->Handle(), CreateRectRgn(3, 0, 4, 2), FALSE);
  setArt(firstImage, {"##..", ".#.."});
  EXPECT_EQ(regionArt(first->Handle(), 4, 2), (std::vector<std::string>{"##..", ".#.."}));

  // A second window: its own region (here the right-hand block) stays, and
  // the control's shape joins it; a new picture replaces the control's part.
  std::unique_ptr<TForm> second;
  TImageShape* image = shapedForm(second, 8, 3);
  SetWindowRgn(second->Handle(), CreateRectRgn(6, 0, 8, 3), FALSE);
  setArt(image, {"###", "#..", "..."});
  EXPECT_EQ(regionArt(second->Handle(), 8, 3), (std::vector<std::string>{"###...##", "#.....##", "......##"}));
  setArt(image, {"...", ".##", "..."});
  EXPECT_EQ(regionArt(second->Handle(), 8, 3), (std::vector<std::string>{"......##", ".##...##", "......##"}));
}

TEST_F(ImageShapeTest, PressingAndMovingDragsTheWindowOnlyWhenMovable) {
  for (bool movable : {true, false}) {
    SCOPED_TRACE(movable);
    std::unique_ptr<TForm> form;
    TImageShape* image = shapedForm(form, 40, 40);
    std::vector<std::string> art(40, std::string(40, '#'));
    art.back()[0] = '.';
    setArt(image, art);
    image->SetMovable(movable);
    qv::os::injectMouse(WM_LBUTTONDOWN, POINT{110, 110}, MK_LBUTTON);
    qv::os::pumpMessages();
    qv::os::injectMouse(WM_MOUSEMOVE, POINT{125, 118}, MK_LBUTTON);
    qv::os::pumpMessages();
    qv::os::injectMouse(WM_MOUSEMOVE, POINT{130, 125}, MK_LBUTTON);
    qv::os::pumpMessages();
    qv::os::injectMouse(WM_LBUTTONUP, POINT{130, 125});
    qv::os::pumpMessages();
    // Moving after the release drags nothing.
    qv::os::injectMouse(WM_MOUSEMOVE, POINT{135, 135});
    qv::os::pumpMessages();
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ((std::vector<long>{r.left, r.top}), movable ? (std::vector<long>{120, 115}) : (std::vector<long>{100, 100}));
  }
}

TEST_F(ImageShapeTest, DestRectPlacesThePicture) {
  struct Case {
    int w, h, cw, ch;
    bool stretch, proportional, center;
    RECT expected;
  };
  const Case cases[] = {
      {40, 20, 100, 100, false, false, false, {0, 0, 40, 20}},
      {40, 20, 100, 100, false, false, true, {30, 40, 70, 60}},
      {40, 20, 100, 100, true, false, false, {0, 0, 100, 100}},
      {40, 20, 100, 100, true, true, false, {0, 0, 100, 50}},
      {40, 20, 100, 100, true, true, true, {0, 25, 100, 75}},
      // Proportional alone leaves a picture that fits as it is ...
      {40, 20, 100, 100, false, true, false, {0, 0, 40, 20}},
      // ... and shrinks one that does not, by its longer side first.
      {50, 200, 100, 100, false, true, false, {0, 0, 25, 100}},
      {50, 200, 100, 100, false, true, true, {37, 0, 62, 100}},
      {300, 200, 100, 50, false, true, false, {0, 0, 75, 50}},
      // Centring a picture wider than the control truncates toward zero.
      {121, 20, 100, 100, false, false, true, {-10, 40, 111, 60}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " in " << c.cw << "x" << c.ch << " stretch "
                                    << c.stretch << " proportional " << c.proportional << " center " << c.center);
    TImageShape image(nullptr);
    TBitmap b;
    b.SetSize(c.w, c.h);
    image.Picture()->SetBitmap(&b);
    image.SetBounds(0, 0, c.cw, c.ch);
    image.SetStretch(c.stretch);
    image.SetProportional(c.proportional);
    image.SetCenter(c.center);
    RECT r = image.DestRect();
    EXPECT_EQ((std::vector<long>{r.left, r.top, r.right, r.bottom}),
              (std::vector<long>{c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}));
  }
}

TEST_F(ImageShapeTest, ThePictureTravelsThroughFormTextAndBadDataIsRefused) {
  std::unique_ptr<TForm> form;
  TImageShape* image = shapedForm(form, 6, 3);
  image->SetName("Skin");
  image->SetMovable(false);
  setArt(image, {"######", "#.####", "...###"});
  std::string text = qv::classlib::writeComponentText(form.get());
  ASSERT_NE(text.find("Picture.Data = {"), std::string::npos) << text;

  std::unique_ptr<TForm> copy(TForm::CreateNew(nullptr));
  qv::classlib::readComponentText(text, copy.get());
  auto* read = dynamic_cast<TImageShape*>(copy->FindComponent("Skin"));
  ASSERT_NE(read, nullptr);
  EXPECT_FALSE(read->Movable());
  EXPECT_EQ(read->Picture()->Width(), 6);
  EXPECT_EQ(read->Picture()->Bitmap()->Canvas()->Pixels(1, 1), kMagenta);
  EXPECT_EQ(read->Picture()->Bitmap()->Canvas()->Pixels(3, 2), kBlue);
  EXPECT_EQ(regionArt(copy->Handle(), 6, 3), (std::vector<std::string>{"######", "#.####", "...###"}));

  // An unknown graphic class, and a bitmap longer than its data.
  for (const char* data : {"0454466F6F00", "07544269746D6170FF000000424D"}) {
    SCOPED_TRACE(data);
    std::unique_ptr<TForm> bad(TForm::CreateNew(nullptr));
    std::string badText = std::string("object F: TForm\n  object Skin: TImageShape\n    Picture.Data = {") + data +
                       "}\n  end\nend\n";
    EXPECT_THROW(qv::classlib::readComponentText(badText, bad.get()), Exception);
  }
}

}  // namespace
