// TControl on the headless desktop: alignment and anchors, the properties a
// parent hands down, mouse clicks, capture and the mouse enter/leave
// tracking through injected input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Controls.h"
#include "platform/os/user/User.h"

namespace {

std::vector<std::string> g_log;

std::string cmName(UINT msg) {
  switch (msg) {
    case CM_MOUSEENTER:
      return "enter";
    case CM_MOUSELEAVE:
      return "leave";
    case CM_COLORCHANGED:
      return "color";
    case CM_PARENTCOLORCHANGED:
      return "parentcolor";
    case CM_FONTCHANGED:
      return "font";
    case CM_PARENTFONTCHANGED:
      return "parentfont";
    case CM_VISIBLECHANGED:
      return "visible";
    case CM_ENABLEDCHANGED:
      return "enabled";
    case CM_TEXTCHANGED:
      return "text";
    default:
      return "";
  }
}

// Records the component messages it gets as "Name:message".
template <class Base>
class Probe : public Base {
 public:
  explicit Probe(TComponent* AOwner) : Base(AOwner) {}
  void WndProc(TMessage& Message) override {
    std::string n = cmName(Message.Msg);
    if (!n.empty() && !this->Name().empty()) g_log.push_back(this->Name() + ":" + n);
    Base::WndProc(Message);
  }
};
// A top-level windowed control, as a form will be.
class TRootControl : public Probe<TCustomControl> {
  QV_CLASS(TRootControl, Probe<TCustomControl>)
  explicit TRootControl(TComponent* AOwner) : Probe<TCustomControl>(AOwner) {
    FControlStyle.Include(csAcceptsControls);
  }
  std::function<void(TControl*, int&, int&, int&, int&, TRect&)> customPosition;

 protected:
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
  }
  void CustomAlignPosition(TControl* Control, int& NewLeft, int& NewTop, int& NewWidth, int& NewHeight,
                           TRect& AlignRect) override {
    if (customPosition) customPosition(Control, NewLeft, NewTop, NewWidth, NewHeight, AlignRect);
  }
};

class TProbeGraphic : public Probe<TGraphicControl> {
  QV_CLASS(TProbeGraphic, Probe<TGraphicControl>)
  using Probe<TGraphicControl>::Probe;
};
class TProbePanel : public Probe<TCustomControl> {
  QV_CLASS(TProbePanel, Probe<TCustomControl>)
  explicit TProbePanel(TComponent* AOwner) : Probe<TCustomControl>(AOwner) { FControlStyle.Include(csAcceptsControls); }
};

template <class T>
T* make(TComponent* owner, TWinControl* parent, const char* name, TRect bounds, TAlign align = alNone) {
  T* c = new T(owner);
  c->SetName(name);
  c->SetBounds(bounds.left, bounds.top, bounds.right, bounds.bottom);
  c->SetAlign(align);
  c->SetParent(parent);
  return c;
}

std::string str(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

class ControlsTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    g_log.clear();
    owner = new TComponent(nullptr);
    root = new TRootControl(owner);
    root->SetName("Root");
    root->SetBounds(100, 100, 200, 100);
  }
  void TearDown() override {
    delete owner;
    qvtest::DesktopTest::TearDown();
  }
  POINT screen(int x, int y) { return {100 + x, 100 + y}; }
  void mouse(UINT msg, POINT p) {
    qv::os::injectMouse(msg, p);
    qv::os::pumpMessages();
  }
  TComponent* owner = nullptr;
  TRootControl* root = nullptr;
};

// (name, parent 200x100, then 300x150): each aligned control in the class
// library's order: tops by position, then bottoms, lefts, rights, the client
// and custom controls; anchored controls move or stretch with the parent.
TEST_F(ControlsTest, AlignsNestedControlsAndFollowsAnchorsOnResize) {
  auto* top2 = make<TProbeGraphic>(owner, root, "Top2", {0, 50, 10, 20}, alTop);
  auto* top1 = make<TProbeGraphic>(owner, root, "Top1", {0, 0, 10, 10}, alTop);
  auto* bottom = make<TProbeGraphic>(owner, root, "Bottom", {0, 0, 10, 15}, alBottom);
  auto* left = make<TProbeGraphic>(owner, root, "Left", {0, 0, 30, 10}, alLeft);
  auto* right = make<TProbeGraphic>(owner, root, "Right", {0, 0, 40, 10}, alRight);
  auto* client = make<TProbePanel>(owner, root, "Client", {0, 0, 10, 10}, alClient);
  auto* inner = make<TProbeGraphic>(owner, client, "Inner", {0, 0, 10, 5}, alBottom);
  auto* custom = make<TProbeGraphic>(owner, root, "Custom", {0, 0, 8, 8}, alCustom);
  root->customPosition = [](TControl*, int& l, int& t, int&, int&, TRect& r) {
    l = r.right - 8;
    t = r.top;
  };
  // Nothing is laid out before the parent has its window.
  EXPECT_EQ(str(top1->BoundsRect()), "0,0,10x10");
  root->HandleNeeded();
  // Placed in the client panel once it is 130x55.
  auto* stay = make<TProbeGraphic>(owner, client, "Stay", {5, 5, 10, 10});
  auto* corner = make<TProbeGraphic>(owner, client, "Corner", {80, 30, 20, 10});
  corner->SetAnchors({akRight, akBottom});
  auto* stretch = make<TProbeGraphic>(owner, client, "Stretch", {10, 0, 60, 10});
  stretch->SetAnchors({akLeft, akTop, akRight});
  auto* centre = make<TProbeGraphic>(owner, client, "Centre", {40, 20, 20, 10});
  centre->SetAnchors(TAnchors{});

  struct Case {
    TControl* control;
    const char* small;
    const char* large;
  };
  // The client panel: 200-30-40 = 130 wide, 100-10-20-15 = 55 high at first.
  const Case cases[] = {
      {top1, "0,0,200x10", "0,0,300x10"},       {top2, "0,10,200x20", "0,10,300x20"},
      {bottom, "0,85,200x15", "0,135,300x15"},  {left, "0,30,30x55", "0,30,30x105"},
      {right, "160,30,40x55", "260,30,40x105"}, {client, "30,30,130x55", "30,30,230x105"},
      {inner, "0,50,130x5", "0,100,230x5"},     {custom, "152,30,8x8", "252,30,8x8"},
  };
  for (const Case& c : cases) EXPECT_EQ(str(c.control->BoundsRect()), c.small) << c.control->Name();

  root->SetBounds(100, 100, 300, 150);
  for (const Case& c : cases) EXPECT_EQ(str(c.control->BoundsRect()), c.large) << c.control->Name();
  // The client grew by 100x50: anchored controls keep their distances to
  // the anchored edges; one without anchors keeps its centre's proportion
  // (50 of 130 -> 88 of 230, 25 of 55 -> 48 of 105).
  EXPECT_EQ(str(stay->BoundsRect()), "5,5,10x10");
  EXPECT_EQ(str(corner->BoundsRect()), "180,80,20x10");
  EXPECT_EQ(str(stretch->BoundsRect()), "10,0,160x10");
  EXPECT_EQ(str(centre->BoundsRect()), "78,43,20x10");
}

TEST_F(ControlsTest, HiddenAndConstrainedAlignedControlsGiveUpTheirSpace) {
  root->HandleNeeded();
  auto* a = make<TProbeGraphic>(owner, root, "A", {0, 0, 10, 30}, alTop);
  auto* b = make<TProbeGraphic>(owner, root, "B", {0, 40, 10, 10}, alTop);
  EXPECT_EQ(b->Top(), 30);
  a->Hide();
  EXPECT_EQ(b->Top(), 0);
  a->Show();
  a->Constraints()->SetMaxHeight(12);
  EXPECT_EQ(a->Height(), 12);
  EXPECT_EQ(b->Top(), 12);
}

TEST_F(ControlsTest, ColourAndFontFollowTheParentWhileParentColorAndParentFont) {
  auto* panel = make<TProbePanel>(owner, root, "Panel", {0, 0, 100, 50});
  auto* follower = make<TProbeGraphic>(owner, panel, "Follower", {0, 0, 10, 10});
  auto* own = make<TProbeGraphic>(owner, panel, "Own", {0, 0, 10, 10});
  own->SetColor(clRed);
  own->Font()->SetHeight(-30);
  EXPECT_FALSE(own->ParentColor());
  EXPECT_FALSE(own->ParentFont());
  g_log.clear();

  root->SetColor(clYellow);
  root->Font()->SetHeight(-20);
  // Down two levels: the panel follows the root, the follower the panel.
  EXPECT_EQ(panel->Color(), clYellow);
  EXPECT_EQ(follower->Color(), clYellow);
  EXPECT_TRUE(follower->ParentColor());
  EXPECT_EQ(own->Color(), clRed);
  EXPECT_EQ(follower->Font()->Height(), -20);
  EXPECT_TRUE(follower->ParentFont());
  EXPECT_EQ(own->Font()->Height(), -30);
  const std::vector<std::string> expected = {
      "Root:color", "Panel:parentcolor", "Panel:color", "Follower:parentcolor", "Follower:color", "Own:parentcolor",
      "Root:font",  "Panel:parentfont",  "Panel:font",  "Follower:parentfont",  "Follower:font",  "Own:parentfont"};
  EXPECT_EQ(g_log, expected);

  // Turning ParentColor back on takes the parent's colour at once.
  own->SetParentColor(true);
  EXPECT_EQ(own->Color(), clYellow);
}

TEST_F(ControlsTest, VisibleEnabledAndTextSendTheirMessagesAndReachTheWindow) {
  auto* panel = make<TProbePanel>(owner, root, "Panel", {0, 0, 100, 50});
  root->HandleNeeded();
  g_log.clear();
  panel->Hide();
  panel->SetEnabled(false);
  panel->SetText("Hello");
  EXPECT_EQ(g_log, (std::vector<std::string>{"Panel:visible", "Panel:enabled", "Panel:text"}));
  EXPECT_FALSE(IsWindowVisible(panel->Handle()));
  EXPECT_FALSE(IsWindowEnabled(panel->Handle()));
  char buf[4];
  EXPECT_EQ(panel->GetTextBuf(buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "Hel");
  EXPECT_EQ(panel->GetTextLen(), 5);
  // Setting the same value again sends nothing.
  g_log.clear();
  panel->Hide();
  panel->SetText("Hello");
  EXPECT_TRUE(g_log.empty());
}

TEST_F(ControlsTest, ParentTreeRules) {
  auto* a = make<TProbeGraphic>(owner, root, "A", {0, 0, 50, 50});
  auto* b = make<TProbeGraphic>(owner, root, "B", {20, 20, 50, 50});
  EXPECT_THROW(root->SetParent(root), EInvalidOperation);
  EXPECT_EQ(root->ControlAtPos({25, 25}, false), b);
  a->BringToFront();
  EXPECT_EQ(root->ControlAtPos({25, 25}, false), a);
  EXPECT_EQ(root->ControlAtPos({65, 65}, false), b);
  b->SetEnabled(false);
  EXPECT_EQ(root->ControlAtPos({65, 65}, false), nullptr);
  EXPECT_EQ(root->ControlAtPos({65, 65}, true), b);
  EXPECT_EQ(root->FindChildControl("b"), b);
  // A freed child leaves its parent.
  delete a;
  EXPECT_EQ(root->ControlCount(), 1);
  EXPECT_EQ(root->ControlAtPos({25, 25}, true), b);
}

TEST_F(ControlsTest, HintSplitsAtTheBar) {
  struct Case {
    const char* hint;
    const char* shortHint;
    const char* longHint;
  };
  for (const Case& c : {Case{"Open|Opens a file", "Open", "Opens a file"}, Case{"Open", "Open", "Open"},
                        Case{"|Long", "", "Long"}, Case{"a|b|c", "a", "b|c"}}) {
    EXPECT_EQ(TControl::GetShortHint(c.hint), c.shortHint);
    EXPECT_EQ(TControl::GetLongHint(c.hint), c.longHint);
  }
}

// A press and release inside a graphic control clicks it; a release
// outside does not, while the capture keeps the mouse messages coming to it.
TEST_F(ControlsTest, ClickOnGraphicControlThroughInjectedMouse) {
  auto* button = make<TProbeGraphic>(owner, root, "Button", {10, 10, 50, 20});
  root->HandleNeeded();
  int clicks = 0;
  std::vector<std::string> events;
  button->OnClick = [&](TObject*) { ++clicks; };
  button->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    events.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y) +
                     (s.Contains(ssLeft) ? " left" : ""));
  };
  button->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
    events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };

  mouse(WM_LBUTTONDOWN, screen(20, 15));
  EXPECT_EQ(GetCapture(), root->Handle());
  EXPECT_EQ(GetCaptureControl(), button);
  EXPECT_TRUE(button->MouseCapture());
  EXPECT_TRUE(button->ControlState().Contains(csLButtonDown));
  mouse(WM_LBUTTONUP, screen(25, 18));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(button->ControlState().Contains(csLButtonDown));

  // Dragging off the control and the window: the moves still come, in the
  // control's coordinates, and the release there is no click.
  events.clear();
  mouse(WM_LBUTTONDOWN, screen(20, 15));
  mouse(WM_MOUSEMOVE, screen(300, 150));
  mouse(WM_LBUTTONUP, screen(300, 150));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"down 0 10,5 left", "move 290,140"}));

  // Without csCaptureMouse the parent keeps no capture for it.
  button->SetControlStyle(button->ControlStyle() - TControlStyle{csCaptureMouse});
  mouse(WM_LBUTTONDOWN, screen(20, 15));
  EXPECT_EQ(GetCapture(), nullptr);
  mouse(WM_LBUTTONUP, screen(21, 15));
  EXPECT_EQ(clicks, 2);
}

TEST_F(ControlsTest, MouseEnterAndLeaveFollowThePointerAcrossControls) {
  make<TProbeGraphic>(owner, root, "A", {10, 10, 30, 30});
  make<TProbeGraphic>(owner, root, "B", {50, 10, 30, 30});
  make<TProbePanel>(owner, root, "Panel", {100, 10, 50, 50});
  root->HandleNeeded();
  auto* other = new TRootControl(owner);
  other->SetName("Other");
  other->SetBounds(400, 400, 50, 50);
  other->HandleNeeded();
  g_log.clear();
  for (POINT p :
       {screen(20, 20), screen(25, 25), screen(60, 20), screen(5, 80), screen(120, 20), screen(5, 80), POINT{420, 420}})
    mouse(WM_MOUSEMOVE, p);
  const std::vector<std::string> expected = {"A:enter",    "A:leave",    "B:enter",     "B:leave",
                                             "Root:enter", "Root:leave", "Panel:enter", "Panel:leave",
                                             "Root:enter", "Root:leave", "Other:enter"};
  EXPECT_EQ(g_log, expected);
  EXPECT_EQ(qv::classlib::mouseControl(), other);
  // A freed control is forgotten, with no message to it.
  delete other;
  EXPECT_EQ(qv::classlib::mouseControl(), nullptr);
}

}  // namespace

namespace {

// What the form reader and writer see: every published property reaches the
// control's own getter and setter.
TEST_F(ControlsTest, PublishedPropertiesReachTheControl) {
  auto* panel = make<TProbePanel>(owner, root, "Panel", {0, 0, 10, 10});
  SetOrdProp(panel, "Left", 7);
  SetOrdProp(panel, "Width", 40);
  SetEnumProp(panel, "Align", "alClient");
  SetSetProp(panel, "Anchors", "[akLeft,akRight]");
  SetStrProp(panel, "Caption", "Go");
  SetOrdProp(panel, "Color", clRed);
  SetOrdProp(panel, "Cursor", crHandPoint);
  SetEnumProp(panel, "Visible", "False");
  SetOrdProp(panel, "Tag", 42);
  SetStrProp(panel, "Hint", "Short|Long");
  SetEnumProp(panel, "TabStop", "True");
  EXPECT_EQ(panel->Left(), 7);
  EXPECT_EQ(panel->Width(), 40);
  EXPECT_EQ(panel->Align(), alClient);
  EXPECT_TRUE(panel->Anchors() == (TAnchors{akLeft, akRight}));
  EXPECT_EQ(panel->Caption(), "Go");
  EXPECT_EQ(panel->Color(), clRed);
  EXPECT_FALSE(panel->ParentColor());
  EXPECT_EQ(panel->Cursor(), crHandPoint);
  EXPECT_FALSE(panel->Visible());
  EXPECT_EQ(panel->Tag(), 42);
  EXPECT_TRUE(panel->TabStop());
  EXPECT_EQ(GetObjectProp(panel, "Font"), panel->Font());
  // Colour and font are stored only when they are the control's own.
  EXPECT_TRUE(IsStoredProp(panel, GetPropInfo(panel, "Color")));
  EXPECT_FALSE(IsStoredProp(panel, GetPropInfo(panel, "Font")));
  for (const char* name : {"OnClick", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnDblClick", "OnKeyPress", "Top",
                           "Height", "Enabled", "ParentFont", "ParentShowHint", "ShowHint", "TabOrder"})
    EXPECT_TRUE(IsPublishedProp(panel, name)) << name;
}

// The cursor of the control under the pointer, else of the window.
TEST_F(ControlsTest, SetCursorTakesTheCursorOfTheControlUnderThePointer) {
  auto* link = make<TProbeGraphic>(owner, root, "Link", {10, 10, 30, 30});
  link->SetCursor(crHandPoint);
  root->SetCursor(crIBeam);
  root->HandleNeeded();
  mouse(WM_MOUSEMOVE, screen(20, 20));
  EXPECT_EQ(GetCursor(), qv::classlib::cursorHandle(crHandPoint));
  mouse(WM_MOUSEMOVE, screen(80, 20));
  EXPECT_EQ(GetCursor(), qv::classlib::cursorHandle(crIBeam));
}

}  // namespace

namespace {

// Two quick presses: a control with csDoubleClicks gets one click and a
// double click; without it, the second press is a plain press and clicks
// again.
TEST_F(ControlsTest, SecondPressIsADoubleClickOnlyWithCsDoubleClicks) {
  auto* button = make<TProbeGraphic>(owner, root, "Button", {10, 10, 50, 20});
  root->HandleNeeded();
  for (bool doubleClicks : {true, false}) {
    SCOPED_TRACE(doubleClicks ? "csDoubleClicks" : "without");
    TControlStyle style = button->ControlStyle() - TControlStyle{csDoubleClicks};
    if (doubleClicks) style.Include(csDoubleClicks);
    button->SetControlStyle(style);
    int clicks = 0, dblClicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    button->OnDblClick = [&](TObject*) { ++dblClicks; };
    for (int i = 0; i < 2; ++i) {
      mouse(WM_LBUTTONDOWN, screen(20, 15));
      mouse(WM_LBUTTONUP, screen(20, 15));
    }
    EXPECT_EQ(clicks, doubleClicks ? 1 : 2);
    EXPECT_EQ(dblClicks, doubleClicks ? 1 : 0);
    qv::os::runFor(2000);  // past the double-click time
  }
}

}  // namespace
