// TWinControl and TCustomControl on the headless desktop: windows made on
// first need (parents first), RecreateWnd, painting a control and its
// graphic children into the window's pixels (also double-buffered), the
// control canvas, system-colour changes and keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Controls.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/User.h"

namespace {

std::vector<std::string> g_events;

// Window DCs over the screen surface at each window's client origin, as the
// desktop will hand them out.
void installScreenDCs() {
  auto& hooks = qv::os::paintHooks();
  hooks.getDC = [](HWND hwnd, DWORD) -> HDC {
    if (!hwnd) return qv::os::gdi::createScreenDC();
    RECT rc{};
    GetClientRect(hwnd, &rc);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    HRGN visible = CreateRectRgn(0, 0, rc.right, rc.bottom);
    HDC dc = qv::os::gdi::createSurfaceDC(qv::os::gdi::screenSurface(), origin, visible);
    DeleteObject(visible);
    return dc;
  };
  hooks.releaseDC = [](HWND, HDC dc) { return DeleteDC(dc) ? 1 : 0; };
  hooks.fillRect = [](HDC dc, const RECT& r, HBRUSH brush) { FillRect(dc, &r, brush); };
}

// Black where the tests' windows go, so that no earlier painting passes
// for a new one.
void clearScreen() {
  HDC dc = GetDC(nullptr);
  RECT r{0, 0, 400, 300};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(nullptr, dc);
}

COLORREF screenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

class TRootControl : public TCustomControl {
  QV_CLASS(TRootControl, TCustomControl)
  explicit TRootControl(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle.Include(csAcceptsControls); }
  TColor fill = clNone;

 protected:
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
  }
  void Paint() override {
    if (fill == clNone) return;
    Canvas()->Brush()->SetColor(fill);
    Canvas()->FillRect(ClientRect());
  }
};

// Windowed control that logs its window's creation and system colours.
class TLogPanel : public TCustomControl {
  QV_CLASS(TLogPanel, TCustomControl)
  explicit TLogPanel(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle.Include(csAcceptsControls); }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_CREATE) g_events.push_back("create " + Name());
    if (Message.Msg == CM_SYSCOLORCHANGE) g_events.push_back("syscolor " + Name());
    inherited::WndProc(Message);
  }
  void DefaultHandler(TMessage& Message) override {
    if (Message.Msg == WM_CHAR) g_events.push_back(std::string("default ") + static_cast<char>(Message.WParam));
    inherited::DefaultHandler(Message);
  }
};

class TBox : public TGraphicControl {
  QV_CLASS(TBox, TGraphicControl)
  explicit TBox(TComponent* AOwner) : TGraphicControl(AOwner) {}
  TColor fill = clBlack;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_SYSCOLORCHANGE) g_events.push_back("syscolor " + Name());
    inherited::WndProc(Message);
  }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(fill);
    // Wider than the control: the parent clips it to the bounds.
    Canvas()->FillRect({-5, -5, Width() + 5, Height() + 5});
  }
};

class WinControlTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    installScreenDCs();
    clearScreen();
    g_events.clear();
    owner = new TComponent(nullptr);
    root = new TRootControl(owner);
    root->SetName("Root");
    root->SetBounds(100, 100, 100, 60);
  }
  void TearDown() override {
    delete owner;
    qv::os::paintHooks() = {};
    qvtest::DesktopTest::TearDown();
  }
  template <class T>
  T* add(TWinControl* parent, const char* name, TRect r) {
    T* c = new T(owner);
    c->SetName(name);
    c->SetBounds(r.left, r.top, r.right, r.bottom);
    c->SetParent(parent);
    return c;
  }
  TComponent* owner = nullptr;
  TRootControl* root = nullptr;
};

TEST_F(WinControlTest, ChildHandleCreatesParentsFirst) {
  auto* outer = add<TLogPanel>(root, "Outer", {10, 10, 60, 40});
  auto* inner = add<TLogPanel>(outer, "Inner", {5, 5, 20, 20});
  auto* hidden = add<TLogPanel>(outer, "Hidden", {30, 5, 20, 20});
  hidden->Hide();
  EXPECT_FALSE(root->HandleAllocated());
  HWND h = inner->Handle();
  EXPECT_EQ(g_events, (std::vector<std::string>{"create Outer", "create Inner"}));
  EXPECT_EQ(GetParent(h), outer->Handle());
  EXPECT_EQ(GetParent(outer->Handle()), root->Handle());
  EXPECT_EQ(FindControl(h), inner);
  // A hidden control gets its window when it is shown.
  EXPECT_FALSE(hidden->HandleAllocated());
  hidden->Show();
  EXPECT_TRUE(hidden->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(hidden->Handle()));
  char cls[64];
  GetClassName(h, cls, sizeof cls);
  EXPECT_STREQ(cls, "TLogPanel");
  // Without a parent or parent window a child window cannot be made.
  TLogPanel orphan(nullptr);
  EXPECT_THROW(orphan.HandleNeeded(), EInvalidOperation);
}

TEST_F(WinControlTest, RecreateWndKeepsChildrenAndState) {
  auto* panel = add<TLogPanel>(root, "Panel", {10, 10, 60, 40});
  auto* child = add<TLogPanel>(panel, "Child", {5, 5, 20, 20});
  root->HandleNeeded();
  child->SetText("Hello");
  child->SetEnabled(false);
  HWND oldPanel = panel->Handle();
  g_events.clear();

  panel->RecreateWnd();
  EXPECT_FALSE(IsWindow(oldPanel) && FindControl(oldPanel) == panel);
  EXPECT_EQ(g_events, (std::vector<std::string>{"create Panel", "create Child"}));
  EXPECT_EQ(GetParent(child->Handle()), panel->Handle());
  EXPECT_EQ(panel->ControlCount(), 1);
  char text[16];
  GetWindowText(child->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "Hello");
  EXPECT_FALSE(IsWindowEnabled(child->Handle()));
  RECT r{};
  GetWindowRect(child->Handle(), &r);
  EXPECT_EQ(r.left, 100 + 10 + 5);
  EXPECT_EQ(r.right - r.left, 20);
}

// The window paints itself, then its graphic children in z-order, each
// clipped to its bounds; double buffering gives the same pixels.
TEST_F(WinControlTest, PaintsControlThenGraphicChildrenInZOrder) {
  for (bool buffered : {false, true}) {
    SCOPED_TRACE(buffered ? "double-buffered" : "direct");
    clearScreen();
    auto* form = new TRootControl(owner);
    form->SetBounds(100, 100, 100, 60);
    form->fill = clBlue;
    form->SetDoubleBuffered(buffered);
    auto* a = add<TBox>(form, "A", {10, 10, 30, 20});
    a->fill = clRed;
    auto* b = add<TBox>(form, "B", {30, 20, 30, 20});
    b->fill = clLime;
    form->HandleNeeded();
    form->Repaint();
    struct Case {
      int x, y;
      COLORREF colour;
    };
    const Case before[] = {{110, 110, RGB(255, 0, 0)}, {135, 125, RGB(0, 255, 0)}, {155, 135, RGB(0, 255, 0)},
                           {105, 105, RGB(0, 0, 255)}, {160, 140, RGB(0, 0, 255)}, {109, 110, RGB(0, 0, 255)}};
    for (const Case& c : before) EXPECT_EQ(screenPixel(c.x, c.y), c.colour) << c.x << "," << c.y;
    a->BringToFront();
    form->Repaint();
    EXPECT_EQ(screenPixel(135, 125), RGB(255, 0, 0));
    delete form;
  }
}

TEST_F(WinControlTest, BackgroundIsErasedWithColorAndCanvasDrawsAtTheControl) {
  root->SetColor(clYellow);
  auto* box = add<TBox>(root, "Box", {20, 10, 10, 10});
  box->Hide();
  root->HandleNeeded();
  root->Repaint();
  EXPECT_EQ(screenPixel(150, 130), RGB(255, 255, 0));

  // A graphic control's canvas outside painting draws in the parent's window
  // at the control's place, clipped to it.
  box->Show();
  qv::os::pumpMessages();
  box->Canvas()->Brush()->SetColor(clFuchsia);
  box->Canvas()->FillRect({0, 0, 50, 50});
  static_cast<TControlCanvas*>(box->Canvas())->FreeHandle();
  EXPECT_EQ(screenPixel(120, 110), RGB(255, 0, 255));
  EXPECT_EQ(screenPixel(129, 119), RGB(255, 0, 255));
  EXPECT_EQ(screenPixel(130, 120), RGB(255, 255, 0));
}

TEST_F(WinControlTest, SysColorChangeReachesEveryNestedControl) {
  auto* panel = add<TLogPanel>(root, "Panel", {10, 10, 60, 40});
  add<TBox>(panel, "Box", {0, 0, 5, 5});
  add<TBox>(root, "Top", {0, 0, 5, 5});
  root->HandleNeeded();
  root->Hide();  // hidden windows get the broadcast too
  g_events.clear();
  qv::os::broadcastSysColorChange();
  qv::os::pumpMessages();
  EXPECT_EQ(g_events, (std::vector<std::string>{"syscolor Top", "syscolor Panel", "syscolor Box"}));
}

TEST_F(WinControlTest, KeysReachTheFocusedControlAndZeroSwallowsThem) {
  auto* panel = add<TLogPanel>(root, "Panel", {10, 10, 60, 40});
  panel->SetTabStop(true);
  root->HandleNeeded();
  g_events.clear();
  panel->SetFocus();
  EXPECT_TRUE(panel->Focused());
  std::string seen;
  panel->OnKeyDown = [&](TObject*, WORD& key, TShiftState shift) {
    seen += "down " + std::to_string(key) + (shift.Contains(ssShift) ? "+shift " : " ");
  };
  panel->OnKeyPress = [&](TObject*, char& key) {
    seen += std::string("press ") + key + " ";
    if (key == 'x') key = 0;
  };
  qv::os::injectKey(VK_SHIFT, true);
  qv::os::injectKey('A', true);
  qv::os::injectKey('A', false);
  qv::os::injectKey(VK_SHIFT, false);
  qv::os::injectChar('x');
  qv::os::pumpMessages();
  EXPECT_EQ(seen, "down 16+shift down 65+shift press A press x ");
  EXPECT_EQ(g_events, (std::vector<std::string>{"default A"}));
  // Disabled or hidden controls cannot take the focus.
  panel->Hide();
  EXPECT_FALSE(panel->CanFocus());
  EXPECT_THROW(panel->SetFocus(), EInvalidOperation);
}

}  // namespace

namespace {

// The window moved or sized from outside: the control reads its new place
// and realigns its children.
TEST_F(WinControlTest, WindowMovedFromOutsideUpdatesBoundsAndRealigns) {
  auto* panel = add<TLogPanel>(root, "Panel", {0, 0, 10, 10});
  panel->SetAlign(alClient);
  auto* bar = add<TBox>(panel, "Bar", {0, 0, 10, 8});
  bar->SetAlign(alBottom);
  root->HandleNeeded();
  int resized = 0;
  root->OnResize = [&](TObject*) { ++resized; };
  SetWindowPos(root->Handle(), nullptr, 50, 60, 120, 80, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(root->Left(), 50);
  EXPECT_EQ(root->Top(), 60);
  EXPECT_EQ(root->Width(), 120);
  EXPECT_EQ(panel->Height(), 80);
  EXPECT_EQ(bar->Top(), 72);
  EXPECT_EQ(bar->Width(), 120);
  EXPECT_EQ(resized, 1);
}

}  // namespace
