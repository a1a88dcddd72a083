// The look-and-feel scroll bar on the headless desktop: its layout, what it
// asks the painter to draw, and the scroll steps that injected mouse input
// and the virtual clock give, with the OnScroll codes and positions in
// order.
#include "lookandfeel/lkScrollBar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Filer.h"
#include "platform/desktop/Clock.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/User.h"

using qv::desktop::Clock;

namespace {

// What the painter was asked to draw, one entry a call.
struct Drawn {
  TlkScrollBarArea Area;
  TlkPartDrawState State;
  TRect R;
  bool Horizontal;
};
std::vector<Drawn> drawn;
bool hotTrack = false;
int minThumb = 8;

COLORREF areaColour(TlkScrollBarArea AArea) {
  static const COLORREF colours[] = {RGB(0, 0, 0),   RGB(255, 0, 0),   RGB(0, 255, 0),
                                     RGB(0, 0, 255), RGB(255, 255, 0), RGB(255, 0, 255)};
  return colours[AArea];
}

// Writes down every scroll bar part and fills it with a colour of its area.
class TRecordingPainter : public TlkCustomLookAndFeelPainter {
  LK_PAINTER_CLASS(TRecordingPainter, TlkCustomLookAndFeelPainter)
  bool ButtonsHotTrack() const override { return hotTrack; }
  int ScrollBarMinimalThumbSize(bool) const override { return minThumb; }
  void DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R, TlkScrollBarArea AArea,
                         TlkPartDrawState AState) const override {
    drawn.push_back({AArea, AState, R, AHorizontal});
    ACanvas->FillRectColor(R, static_cast<TColor>(areaColour(AArea)));
  }
};

std::string rect(const TRect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

const char* codeName(TScrollCode c) {
  static const char* names[] = {"LineUp", "LineDown", "PageUp",  "PageDown", "Position",
                                "Track",  "Top",      "Bottom",  "EndScroll"};
  return names[c];
}

// The bar lies at (100, 200) on a frameless form at the screen's top-left,
// so that pointer positions well beyond its ends are still on the screen.
TForm* newBareForm(int width, int height) {
  TForm* form = TForm::CreateNew(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetPosition(poDesigned);
  form->SetBounds(0, 0, width, height);
  return form;
}

constexpr int kLeft = 100;
constexpr int kTop = 200;

class ScrollBarTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    qv::modules::registerUxTheme();
    qv::desktop::profile().visualStyles = qv::desktop::ModuleProfile::Classic;
    qv::classlib::InitializeUnit(lkScrollBarUnit);
    NamedPainterList()->Add(new TlkPainterInfo("Recorder", TRecordingPainter::Class()));
    drawn.clear();
    hotTrack = false;
    minThumb = 8;
    form.reset(newBareForm(400, 400));
    form->SetName("F");
    sb = new TlkScrollBar(form.get());
    sb->LookAndFeel()->SetSkinName("Recorder");
    sb->SetBounds(kLeft, kTop, 121, 16);
    sb->SetParent(form.get());
    sb->OnScroll = [this](TObject*, TScrollCode c, int& p) {
      events.push_back(std::string(codeName(c)) + ":" + std::to_string(p));
      if (onScroll) onScroll(c, p);
    };
    sb->OnChange = [this](TObject*) { events.push_back("Change:" + std::to_string(sb->Position())); };
    form->Show();
    qv::os::pumpMessages();
  }
  void TearDown() override {
    form.reset();
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }

  static POINT at(int x, int y) { return {kLeft + x, kTop + y}; }
  static void mouse(UINT message, int x, int y) {
    qv::os::injectMouse(message, at(x, y));
    qv::os::pumpMessages();
  }
  static void press(int x, int y) { mouse(WM_LBUTTONDOWN, x, y); }
  static void move(int x, int y) { mouse(WM_MOUSEMOVE, x, y); }
  static void release(int x, int y) { mouse(WM_LBUTTONUP, x, y); }
  // The events since the last call.
  std::vector<std::string> take() {
    std::vector<std::string> out;
    out.swap(events);
    return out;
  }
  static COLORREF screenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, kLeft + x, kTop + y);
    ReleaseDC(nullptr, dc);
    return c;
  }
  // The parts of the last paint, as "area state rect" (the thumb, or the
  // whole bar as a page area, comes first).
  static std::vector<std::string> lastPaint() {
    std::vector<std::string> out;
    for (std::size_t i = drawn.size() >= 5 ? drawn.size() - 5 : 0; i < drawn.size(); ++i)
      out.push_back(std::to_string(drawn[i].Area) + " " + std::to_string(drawn[i].State) + " " + rect(drawn[i].R));
    return out;
  }

  std::unique_ptr<TForm> form;
  TlkScrollBar* sb = nullptr;
  std::vector<std::string> events;
  std::function<void(TScrollCode, int&)> onScroll;
};

// ---------------------------------------------------------------------------
// Layout

TEST_F(ScrollBarTest, StartsAsTheDefaultsSay) {
  TlkScrollBar fresh(nullptr);
  EXPECT_EQ(fresh.Kind(), sbHorizontal);
  EXPECT_EQ(fresh.Width(), 121);
  EXPECT_EQ(fresh.Height(), GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(fresh.Min(), 0);
  EXPECT_EQ(fresh.Max(), 100);
  EXPECT_EQ(fresh.PageSize(), 0);
  EXPECT_EQ(fresh.Position(), 0);
  EXPECT_EQ(fresh.SmallChange(), 1);
  EXPECT_EQ(fresh.LargeChange(), 1);
  EXPECT_FALSE(fresh.UnlimitedTracking());
  EXPECT_EQ(fresh.ControlStyle(), (TControlStyle{csCaptureMouse, csFramed, csOpaque}));
  EXPECT_EQ(fresh.LookAndFeel()->Painter(), TlkUltraFlatLookAndFeelPainter::Class());
  EXPECT_EQ(fresh.ViewInfo()->MinThumbSize(), 8);  // the ultra-flat painter inherits the base's
}

// Arrows of the system size (at most half the bar), the thumb from the page
// or the system thumb size, the page areas either side of it.
TEST_F(ScrollBarTest, LaysOutArrowsThumbAndPageAreas) {
  struct Case {
    const char* name;
    TScrollBarKind kind;
    int width, height, min, max, page, position;
    bool enabled;
    const char *arrow1, *arrow2, *thumb, *before, *after;
  };
  const Case cases[] = {
      {"fixed thumb at the start", sbHorizontal, 121, 16, 0, 100, 0, 0, true,  //
       "(0,0,16,16)", "(105,0,121,16)", "(16,0,32,16)", "(16,0,16,16)", "(32,0,105,16)"},
      {"fixed thumb at the end", sbHorizontal, 121, 16, 0, 100, 0, 100, true,  //
       "(0,0,16,16)", "(105,0,121,16)", "(89,0,105,16)", "(16,0,89,16)", "(105,0,105,16)"},
      {"fixed thumb, offset from Min", sbHorizontal, 121, 16, 50, 150, 0, 100, true,  //
       "(0,0,16,16)", "(105,0,121,16)", "(53,0,69,16)", "(16,0,53,16)", "(69,0,105,16)"},
      {"page 10 of 101 on a 200-pixel track", sbVertical, 16, 232, 0, 100, 10, 0, true,  //
       "(0,0,16,16)", "(0,216,16,232)", "(0,16,16,36)", "(0,16,16,16)", "(0,36,16,216)"},
      {"page thumb at the last page", sbVertical, 16, 232, 0, 100, 10, 91, true,  //
       "(0,0,16,16)", "(0,216,16,232)", "(0,196,16,216)", "(0,16,16,196)", "(0,216,16,216)"},
      {"page thumb beyond the last page stays there", sbVertical, 16, 232, 0, 100, 10, 100, true,  //
       "(0,0,16,16)", "(0,216,16,232)", "(0,196,16,216)", "(0,16,16,196)", "(0,216,16,216)"},
      {"a tiny page gets the minimal thumb", sbVertical, 16, 232, 0, 1000, 1, 0, true,  //
       "(0,0,16,16)", "(0,216,16,232)", "(0,16,16,24)", "(0,16,16,16)", "(0,24,16,216)"},
      {"track of exactly the minimal thumb", sbVertical, 16, 40, 0, 100, 1, 0, true,  //
       "(0,0,16,16)", "(0,24,16,40)", "(0,16,16,24)", "(0,16,16,16)", "(0,24,16,24)"},
      {"track shorter than the minimal thumb", sbVertical, 16, 39, 0, 100, 10, 0, true,  //
       "(0,0,16,16)", "(0,23,16,39)", "(0,0,0,0)", "(0,0,0,0)", "(0,0,0,0)"},
      {"track shorter than the system thumb", sbHorizontal, 47, 16, 0, 100, 0, 0, true,  //
       "(0,0,16,16)", "(31,0,47,16)", "(0,0,0,0)", "(0,0,0,0)", "(0,0,0,0)"},
      {"fixed thumb with Max = Min sits at the start", sbHorizontal, 121, 16, 5, 5, 0, 5, true,  //
       "(0,0,16,16)", "(105,0,121,16)", "(16,0,32,16)", "(16,0,16,16)", "(32,0,105,16)"},
      {"arrows share a short bar", sbHorizontal, 20, 16, 0, 100, 0, 0, true,  //
       "(0,0,10,16)", "(10,0,20,16)", "(0,0,0,0)", "(0,0,0,0)", "(0,0,0,0)"},
      {"disabled: no thumb", sbHorizontal, 121, 16, 0, 100, 0, 50, false,  //
       "(0,0,16,16)", "(105,0,121,16)", "(0,0,0,0)", "(0,0,0,0)", "(0,0,0,0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TlkScrollBar bar(nullptr);
    bar.LookAndFeel()->SetSkinName("Recorder");
    bar.SetKind(c.kind);
    bar.SetBounds(0, 0, c.width, c.height);
    bar.SetScrollParams(c.min, c.max, c.page, c.position, false);
    bar.SetEnabled(c.enabled);
    const TlkScrollBarViewInfo* vi = bar.ViewInfo();
    EXPECT_EQ(rect(vi->TopLeftArrowRect()), c.arrow1);
    EXPECT_EQ(rect(vi->BottomRightArrowRect()), c.arrow2);
    EXPECT_EQ(rect(vi->ThumbRect()), c.thumb);
    EXPECT_EQ(rect(vi->PageBeforeRect()), c.before);
    EXPECT_EQ(rect(vi->PageAfterRect()), c.after);
  }
}

TEST_F(ScrollBarTest, HitTestsFollowTheLayoutAndFindNothingBetweenTheArrowsWithoutAThumb) {
  sb->SetPosition(50);  // thumb (53,0,69,16)
  struct Case {
    int x, y;
    TlkScrollBarArea area;
  };
  const Case cases[] = {{0, 0, sbaTopLeftArrow},   {15, 15, sbaTopLeftArrow}, {16, 8, sbaPageBefore},
                        {52, 8, sbaPageBefore},    {53, 8, sbaThumb},         {68, 8, sbaThumb},
                        {69, 8, sbaPageAfter},     {104, 8, sbaPageAfter},    {105, 8, sbaBottomRightArrow},
                        {120, 15, sbaBottomRightArrow}, {121, 8, sbaNone},    {60, 16, sbaNone},
                        {-1, 8, sbaNone}};
  for (const Case& c : cases) EXPECT_EQ(sb->AreaAtPoint({c.x, c.y}), c.area) << c.x << "," << c.y;

  sb->SetBounds(kLeft, kTop, 47, 16);  // the track is shorter than the system thumb
  EXPECT_EQ(sb->AreaAtPoint({20, 8}), sbaNone);
  EXPECT_EQ(sb->AreaAtPoint({10, 8}), sbaTopLeftArrow);
  EXPECT_EQ(sb->AreaAtPoint({40, 8}), sbaBottomRightArrow);
}

// The minimal thumb length is the painter's, read again when the look and
// feel or the platform's theme changes.
TEST_F(ScrollBarTest, TheMinimalThumbComesFromThePainterAfterALookAndFeelOrThemeChange) {
  sb->SetKind(sbVertical);
  sb->SetBounds(kLeft, kTop, 16, 232);
  sb->SetScrollParams(0, 100, 10, 0, true);
  EXPECT_EQ(sb->ViewInfo()->ThumbLength(), 20);  // MulDiv(10, 200, 101)

  minThumb = 30;
  EXPECT_EQ(sb->ViewInfo()->ThumbLength(), 20);  // nothing asked the painter yet
  sb->LookAndFeel()->SetKind(lfFlat);            // the skin still chooses the painter
  EXPECT_EQ(sb->ViewInfo()->ThumbLength(), 30);

  minThumb = 40;
  qv::modules::ThemeProfile themed;
  themed.visualStyles = qv::desktop::ModuleProfile::Themed;
  qv::modules::setThemeProfile(themed);
  qv::os::pumpMessages();
  EXPECT_EQ(sb->ViewInfo()->ThumbLength(), 40);
}

// ---------------------------------------------------------------------------
// Painting

// Thumb, arrows, then the page areas that are not empty, each in its
// state; all reach the screen from the off-screen bitmap.
TEST_F(ScrollBarTest, PaintsEveryAreaThroughThePainterInOrder) {
  sb->SetPosition(50);
  drawn.clear();
  sb->Repaint();
  EXPECT_EQ(lastPaint(), (std::vector<std::string>{"3 1 (53,0,69,16)", "1 1 (0,0,16,16)", "2 1 (105,0,121,16)",
                                                   "4 1 (16,0,53,16)", "5 1 (69,0,105,16)"}));
  for (const Drawn& d : drawn) EXPECT_TRUE(d.Horizontal);
  EXPECT_EQ(screenPixel(60, 8), areaColour(sbaThumb));
  EXPECT_EQ(screenPixel(8, 8), areaColour(sbaTopLeftArrow));
  EXPECT_EQ(screenPixel(110, 8), areaColour(sbaBottomRightArrow));
  EXPECT_EQ(screenPixel(30, 8), areaColour(sbaPageBefore));
  EXPECT_EQ(screenPixel(80, 8), areaColour(sbaPageAfter));

  // At the start the page-before area is empty and not drawn.
  sb->SetPosition(0);
  drawn.clear();
  sb->Repaint();
  ASSERT_EQ(drawn.size(), 4u);
  EXPECT_EQ(drawn[3].Area, sbaPageAfter);

  // Disabled: no thumb, so the whole bar is one page area first; every
  // part is disabled but that one.
  sb->SetEnabled(false);
  drawn.clear();
  sb->Repaint();
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(std::to_string(drawn[0].Area) + " " + std::to_string(drawn[0].State) + " " + rect(drawn[0].R),
            "4 1 (0,0,121,16)");
  EXPECT_EQ(drawn[1].State, pdsDisabled);
  EXPECT_EQ(drawn[2].State, pdsDisabled);
  // Erasing the background is left to the painting.
  HDC dc = GetDC(sb->Handle());
  EXPECT_EQ(SendMessage(sb->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  ReleaseDC(sb->Handle(), dc);
  EXPECT_EQ(screenPixel(8, 8), areaColour(sbaTopLeftArrow));

  sb->SetKind(sbVertical);
  drawn.clear();
  sb->Repaint();
  ASSERT_FALSE(drawn.empty());
  EXPECT_FALSE(drawn[0].Horizontal);
}

// Hot parts repaint only for a painter that hot-tracks; the thumb never
// shows hot or pressed for one that does not.
TEST_F(ScrollBarTest, HoverRepaintsOnlyWhenThePainterHotTracks) {
  sb->SetPosition(50);
  move(110, 8);
  drawn.clear();
  move(8, 8);
  move(60, 8);
  EXPECT_TRUE(drawn.empty());
  EXPECT_EQ(sb->HotArea(), sbaThumb);
  press(60, 8);
  EXPECT_EQ(sb->AreaState(sbaThumb), pdsNormal);
  release(60, 8);

  hotTrack = true;
  move(8, 8);
  EXPECT_EQ(lastPaint()[1], "1 2 (0,0,16,16)");
  move(60, 8);
  EXPECT_EQ(lastPaint()[0], "3 2 (53,0,69,16)");
  // Pressed shows only while the pointer is on the pressed part.
  press(110, 8);
  EXPECT_EQ(lastPaint()[2], "2 3 (105,0,121,16)");
  move(80, 8);
  EXPECT_EQ(lastPaint()[2], "2 1 (105,0,121,16)");
  EXPECT_EQ(lastPaint()[4], "5 1 (69,0,105,16)");  // hot, but another part is pressed
  release(80, 8);
  EXPECT_EQ(sb->HotArea(), sbaPageAfter);
  move(200, 8);  // off the bar
  EXPECT_EQ(sb->HotArea(), sbaNone);
}

// ---------------------------------------------------------------------------
// Scrolling with the mouse

TEST_F(ScrollBarTest, ArrowsAndPageAreasStepOnceAPressAndEndWithEndScroll) {
  sb->SetLargeChange(10);
  sb->SetSmallChange(3);
  struct Case {
    int x;
    int from;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {110, 50, {"LineDown:53", "Change:53", "EndScroll:53"}},
      {8, 50, {"LineUp:47", "Change:47", "EndScroll:47"}},
      {100, 50, {"PageDown:60", "Change:60", "EndScroll:60"}},
      {20, 50, {"PageUp:40", "Change:40", "EndScroll:40"}},
      {8, 1, {"LineUp:0", "Change:0", "EndScroll:0"}},  // clamped at Min
      {110, 99, {"LineDown:100", "Change:100", "EndScroll:100"}},
      {110, 100, {"LineDown:100", "EndScroll:100"}},  // already at Max: no change
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    sb->SetPosition(c.from);
    take();
    press(c.x, 8);
    release(c.x, 8);
    EXPECT_EQ(take(), c.events);
    EXPECT_EQ(sb->PressedArea(), sbaNone);
  }
  // Other buttons do not scroll.
  mouse(WM_RBUTTONDOWN, 110, 8);
  mouse(WM_RBUTTONUP, 110, 8);
  EXPECT_TRUE(take().empty());
}

// The step at the press, one after 400 ms, then one every 60 ms; off the
// arrow the repeat pauses without ending the press, back on it resumes.
TEST_F(ScrollBarTest, HoldingAnArrowRepeatsAfter400MsThenEvery60MsAndPausesOffTheArrow) {
  std::vector<std::string> timed;
  const std::uint64_t t0 = Clock::now();
  onScroll = [&](TScrollCode c, int& p) {
    timed.push_back(std::string(codeName(c)) + ":" + std::to_string(p) + "@" + std::to_string(Clock::now() - t0));
  };
  press(110, 8);
  qv::os::runFor(399);
  EXPECT_EQ(timed, std::vector<std::string>{"LineDown:1@0"});
  qv::os::runFor(1);
  qv::os::runFor(120);
  move(80, 8);  // onto the page area at 520
  qv::os::runFor(300);
  move(112, 10);  // back on the arrow at 820
  qv::os::runFor(60);
  release(112, 10);
  qv::os::runFor(500);
  EXPECT_EQ(timed, (std::vector<std::string>{"LineDown:1@0", "LineDown:2@400", "LineDown:3@460", "LineDown:4@520",
                                              "LineDown:5@880", "EndScroll:5@880"}));
  EXPECT_EQ(sb->Position(), 5);
}

// The page repeat stops once the thumb reaches the pointer: the part under
// it is then the thumb, and the press goes on until the release.
TEST_F(ScrollBarTest, HoldingAPageAreaStopsWhenTheThumbReachesThePointer) {
  sb->SetLargeChange(10);
  press(80, 8);
  qv::os::runFor(400 + 60 * 10);
  EXPECT_EQ(take(), (std::vector<std::string>{"PageDown:10", "Change:10", "PageDown:20", "Change:20", "PageDown:30",
                                              "Change:30", "PageDown:40", "Change:40", "PageDown:50", "Change:50",
                                              "PageDown:60", "Change:60", "PageDown:70", "Change:70"}));
  EXPECT_EQ(sb->AreaAtPoint({80, 8}), sbaThumb);
  EXPECT_EQ(sb->PressedArea(), sbaPageAfter);
  release(80, 8);
  EXPECT_EQ(take(), std::vector<std::string>{"EndScroll:70"});
}

// Dragging the thumb tracks the pointer's distance from the press; 35
// pixels beyond an end (or 136 across) the position of the press comes
// back, and inside again the tracking resumes.
TEST_F(ScrollBarTest, DraggingTheThumbTracksWithinTheMarginAndSnapsBackBeyondIt) {
  sb->SetPosition(50);  // thumb (53,0,69,16): 73 pixels of travel for 100 positions
  take();
  press(60, 8);
  EXPECT_EQ(take(), std::vector<std::string>{"Track:50"});
  struct Step {
    int x, y;
    std::vector<std::string> events;
    int thumbLeft;
  };
  const Step steps[] = {
      {70, 8, {"Track:64"}, 63},
      {60, 8, {"Track:50"}, 53},                 // back at the press: the press position
      {100, 8, {"Track:100"}, 89},               // limited at the end
      {154, 8, {}, 89},                          // 33 beyond the end: still inside
      {155, 8, {"Change:50", "Track:50"}, 53},   // 34 beyond: snaps back
      {154, 8, {"Track:100"}, 89},               // inside again
      {-34, 8, {"Track:0"}, 16},
      {-35, 8, {"Change:50", "Track:50"}, 53},
      {-34, 151, {"Track:0"}, 16},               // 135 below
      {-34, 152, {"Change:50", "Track:50"}, 53}, // 136 below
      {-34, -136, {"Track:0"}, 16},
      {-34, -137, {"Change:50", "Track:50"}, 53},
      {80, 8, {"Track:78"}, 73},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(std::to_string(s.x) + "," + std::to_string(s.y));
    move(s.x, s.y);
    EXPECT_EQ(take(), s.events);
    EXPECT_EQ(sb->ViewInfo()->ThumbRect().left, s.thumbLeft);
  }
  release(80, 8);
  EXPECT_EQ(take(), (std::vector<std::string>{"Position:78", "EndScroll:78"}));
  EXPECT_EQ(sb->Position(), 78);
  EXPECT_EQ(sb->ViewInfo()->ThumbRect().left, 16 + MulDiv(73, 78, 100));
}

TEST_F(ScrollBarTest, UnlimitedTrackingFollowsThePointerAnywhere) {
  sb->SetUnlimitedTracking(true);
  press(20, 8);
  move(300, 200);
  move(-90, -90);
  release(-90, -90);
  EXPECT_EQ(take(), (std::vector<std::string>{"Track:0", "Track:100", "Track:0", "Position:0", "EndScroll:0"}));
}

// OnChange comes from a drag only when OnScroll moves the position, and
// what OnScroll asks for is kept within [Min, Max].
TEST_F(ScrollBarTest, OnScrollMayMoveThePositionWithinTheRange) {
  onScroll = [](TScrollCode c, int& p) {
    if (c == scTrack) p = p / 10 * 10;
    if (c == scPosition) p = 1000;
  };
  sb->SetPosition(50);
  take();
  press(60, 8);
  move(70, 8);
  EXPECT_EQ(sb->Position(), 60);
  release(70, 8);
  // Each code with the position the bar proposed.
  EXPECT_EQ(take(), (std::vector<std::string>{"Track:50", "Track:64", "Position:64", "Change:100",
                                              "EndScroll:100"}));

  onScroll = [](TScrollCode, int& p) { p = -5; };
  press(8, 8);
  EXPECT_EQ(sb->Position(), 0);
  release(8, 8);
}

// A thumb that fills its track cannot move: pressing it keeps the
// position (the platform's MulDiv would answer -1 for the division by 0).
TEST_F(ScrollBarTest, AThumbFillingTheTrackKeepsThePositionWhenPressed) {
  struct Case {
    const char* name;
    int width, page;
  };
  const Case cases[] = {{"system thumb", 48, 0}, {"minimal thumb", 40, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sb->SetBounds(kLeft, kTop, c.width, 16);
    sb->SetScrollParams(0, 100, c.page, 37, true);
    ASSERT_EQ(sb->ViewInfo()->ThumbLength(), sb->ViewInfo()->TrackLength());
    take();
    press(20, 8);
    move(22, 8);
    move(10, 8);
    release(10, 8);
    EXPECT_EQ(take(), (std::vector<std::string>{"Track:37", "Position:37", "EndScroll:37"}));
    EXPECT_EQ(sb->Position(), 37);
  }
}

// A click on the thumb without a move never changes the position, also
// where the track is shorter than the range and positions share a place.
TEST_F(ScrollBarTest, ClickingTheThumbKeepsThePosition) {
  for (int position : {1, 2, 50, 99}) {
    sb->SetPosition(position);
    const int left = sb->ViewInfo()->ThumbRect().left;
    take();
    press(left + 4, 8);
    release(left + 4, 8);
    EXPECT_EQ(sb->Position(), position);
    EXPECT_EQ(take().back(), "EndScroll:" + std::to_string(position));
  }
}

// A press ends when the bar is disabled or hidden or the mode is
// cancelled: the repeat stops and EndScroll follows.
TEST_F(ScrollBarTest, DisablingHidingOrCancellingEndsAPress) {
  const std::vector<std::pair<const char*, std::function<void(TlkScrollBar*)>>> endings = {
      {"disabled", [](TlkScrollBar* b) { b->SetEnabled(false); }},
      {"hidden", [](TlkScrollBar* b) { b->SetVisible(false); }},
      {"cancel mode", [](TlkScrollBar* b) { SendMessage(b->Handle(), WM_CANCELMODE, 0, 0); }},
  };
  for (const auto& [name, end] : endings) {
    SCOPED_TRACE(name);
    sb->SetEnabled(true);
    sb->SetVisible(true);
    sb->SetPosition(50);
    take();
    press(110, 8);
    end(sb);
    qv::os::runFor(1000);
    EXPECT_EQ(take(), (std::vector<std::string>{"LineDown:51", "Change:51", "EndScroll:51"}));
    EXPECT_EQ(sb->PressedArea(), sbaNone);
    release(110, 8);
  }
}

// Scroll messages reflected from the parent step the bar as the mouse
// would; codes it does not know do nothing.
TEST_F(ScrollBarTest, ReflectedScrollMessagesStepThePosition) {
  sb->SetLargeChange(10);
  sb->SetPosition(50);
  take();
  sb->Perform(CN_HSCROLL, scPageDown);
  sb->Perform(CN_VSCROLL, scTop);
  sb->Perform(CN_HSCROLL, scBottom);
  sb->Perform(CN_HSCROLL, 42);
  EXPECT_EQ(take(), (std::vector<std::string>{"PageDown:60", "Change:60", "Top:0", "Change:0", "Bottom:100",
                                              "Change:100"}));
}

// ---------------------------------------------------------------------------
// Parameters

TEST_F(ScrollBarTest, SetScrollParamsClampsThePositionAndFiresOnChangeOnlyForANewOne) {
  sb->SetEnabled(false);
  sb->SetScrollParams(10, 20, 0, 5, true);
  EXPECT_EQ(sb->Position(), 10);
  EXPECT_TRUE(sb->Enabled());  // a new position enables the bar
  EXPECT_EQ(take(), std::vector<std::string>{"Change:10"});
  sb->SetScrollParams(10, 30, 5, 10, true);
  sb->SetMax(40);
  EXPECT_TRUE(take().empty());
  sb->SetPosition(99);
  EXPECT_EQ(sb->Position(), 40);
  EXPECT_EQ(take(), std::vector<std::string>{"Change:40"});
  sb->SetSmallChange(0);
  sb->SetLargeChange(40000);
  EXPECT_EQ(sb->SmallChange(), 1);
  EXPECT_EQ(sb->LargeChange(), 32767);
}

// A range that does not hold its page, a maximum below the minimum or a
// negative page: EInvalidOperation with the class library's text, and
// nothing changed.
TEST_F(ScrollBarTest, BadParametersRaiseAndChangeNothing) {
  sb->SetScrollParams(0, 100, 10, 40, true);
  take();
  struct Case {
    int min, max, page;
  };
  const Case bad[] = {{10, 5, 0}, {0, 10, 11}, {50, 100, 51}, {-10, 5, 10}, {0, 10, -1}};
  const std::string text = qv::os::ansi(u8"Eigenschaft Scrollbar außerhalb des zulässigen Bereichs");
  for (const Case& c : bad) {
    SCOPED_TRACE(std::to_string(c.min) + ".." + std::to_string(c.max) + " page " + std::to_string(c.page));
    try {
      sb->SetScrollParams(c.min, c.max, c.page, 0, true);
      ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& e) {
      EXPECT_EQ(e.Message(), text);
    }
    EXPECT_EQ(sb->Min(), 0);
    EXPECT_EQ(sb->Max(), 100);
    EXPECT_EQ(sb->PageSize(), 10);
    EXPECT_EQ(sb->Position(), 40);
  }
  EXPECT_THROW(sb->SetMax(5), EInvalidOperation);
  EXPECT_THROW(sb->SetPageSize(101), EInvalidOperation);
  EXPECT_THROW(sb->SetMin(95), EInvalidOperation);
  EXPECT_TRUE(take().empty());
  // The edges that hold.
  sb->SetScrollParams(50, 100, 50, 0, true);
  sb->SetScrollParams(0, 0, 0, 0, true);
  sb->SetScrollParams(INT_MIN, INT_MAX, 0, 0, true);
  sb->SetPosition(INT_MAX);
  EXPECT_EQ(sb->ViewInfo()->ThumbRect().right, 105);
}

// ---------------------------------------------------------------------------
// Kind and streaming

TEST_F(ScrollBarTest, KindSwapsWidthAndHeightAtRunTimeButNotWhileLoading) {
  sb->SetKind(sbVertical);
  EXPECT_EQ(sb->Width(), 16);
  EXPECT_EQ(sb->Height(), 121);
  EXPECT_EQ(rect(sb->ViewInfo()->BottomRightArrowRect()), "(0,105,16,121)");
  sb->SetKind(sbVertical);
  EXPECT_EQ(sb->Width(), 16);

  // A square bar keeps its bounds but still lays out for the new kind.
  sb->SetBounds(kLeft, kTop, 40, 40);
  sb->SetKind(sbHorizontal);
  EXPECT_EQ(rect(sb->ViewInfo()->BottomRightArrowRect()), "(24,0,40,40)");

  std::unique_ptr<TForm> read(newBareForm(200, 200));
  qv::classlib::readComponentText(
      "object F: TForm\n"
      "  object SB: TlkScrollBar\n"
      "    Left = 5\n    Top = 6\n    Width = 16\n    Height = 150\n"
      "    Kind = sbVertical\n"
      "  end\n"
      "end\n",
      read.get());
  auto* loaded = static_cast<TlkScrollBar*>(read->FindComponent("SB"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Kind(), sbVertical);
  EXPECT_EQ(loaded->Width(), 16);
  EXPECT_EQ(loaded->Height(), 150);
  EXPECT_EQ(rect(loaded->ViewInfo()->BottomRightArrowRect()), "(0,134,16,150)");
}

// Everything published goes out and comes back, also a range above the
// default maximum.
TEST_F(ScrollBarTest, PublishedPropertiesRoundTripThroughAForm) {
  sb->SetName("SB");
  sb->SetKind(sbVertical);
  sb->SetScrollParams(200, 300, 20, 250, true);
  sb->SetSmallChange(2);
  sb->SetLargeChange(25);
  sb->SetUnlimitedTracking(true);
  sb->LookAndFeel()->SetKind(lfOffice11);
  const std::string text = qv::classlib::writeComponentText(form.get());
  EXPECT_NE(text.find("    Kind = sbVertical\n    LargeChange = 25\n    SmallChange = 2\n    Min = 200\n"
                      "    Max = 300\n    PageSize = 20\n    Position = 250\n    UnlimitedTracking = True\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("LookAndFeel.Kind = lfOffice11"), std::string::npos) << text;

  std::unique_ptr<TForm> again(newBareForm(400, 400));
  qv::classlib::readComponentText(text, again.get());
  auto* loaded = static_cast<TlkScrollBar*>(again->FindComponent("SB"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Min(), 200);
  EXPECT_EQ(loaded->Max(), 300);
  EXPECT_EQ(loaded->PageSize(), 20);
  EXPECT_EQ(loaded->Position(), 250);
  EXPECT_EQ(loaded->SmallChange(), 2);
  EXPECT_EQ(loaded->LargeChange(), 25);
  EXPECT_TRUE(loaded->UnlimitedTracking());
  EXPECT_EQ(loaded->LookAndFeel()->Kind(), lfOffice11);
  EXPECT_EQ(loaded->Width(), 16);
  // Min = 200 comes before Max = 300: read one at a time, it would not fit
  // the default maximum.
  auto chunk = [](const std::string& t) {
    const std::size_t from = t.find("  object SB");
    return t.substr(from, t.find("  end\n", from) - from);
  };
  EXPECT_EQ(chunk(qv::classlib::writeComponentText(again.get())), chunk(text));

  // A stored range that does not hold its page.
  std::unique_ptr<TForm> bad(newBareForm(400, 400));
  EXPECT_ANY_THROW(qv::classlib::readComponentText(
      "object F: TForm\n  object SB: TlkScrollBar\n    Max = 10\n    PageSize = 50\n  end\nend\n", bad.get()));
}

}  // namespace
