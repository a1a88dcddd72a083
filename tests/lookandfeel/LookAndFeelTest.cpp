// The look-and-feel object: effective values down a chain of masters to the
// root, the painter they choose (the native one only with visual styles),
// change listeners told once per change, masters that go or would close a
// cycle, skin names, the controller on the root and the unit.
#include "lookandfeel/lkLookAndFeels.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "lookandfeel/lkControls.h"
#include "platform/classlib/TypInfo.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/user/User.h"

using qv::desktop::ModuleProfile;
using qv::desktop::profile;

namespace {

using Values = TlkLookAndFeelValues;

std::string str(Values v) {
  std::string s;
  if (v.Contains(lfvKind)) s += "K";
  if (v.Contains(lfvNativeStyle)) s += "N";
  if (v.Contains(lfvSkinName)) s += "S";
  return s;
}

// A change listener that writes down what it hears and may act on it.
struct Listener : public TObject, public IlkLookAndFeelChangeListener {
  explicit Listener(std::string AName, std::vector<std::string>* ALog) : Name(std::move(AName)), Log(ALog) {}
  HRESULT QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TlkLookAndFeel*, TlkLookAndFeelValues AValues) override {
    Log->push_back(Name + ":" + str(AValues));
    if (OnChanged) OnChanged();
  }
  void MasterLookAndFeelDestroying(TlkLookAndFeel*) override { Log->push_back(Name + ":gone"); }

  std::string Name;
  std::vector<std::string>* Log;
  std::function<void()> OnChanged;
};

// Starts the units with visual styles absent, or themed in
// ThemedLookAndFeelTest.
class LookAndFeelTest : public qvtest::DesktopTest {
 protected:
  explicit LookAndFeelTest(ModuleProfile styles = ModuleProfile::Absent) : styles_(styles) {}
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    qv::modules::registerUxTheme();
    profile().visualStyles = styles_;
    qv::classlib::InitializeUnit(lkLookAndFeelsUnit);
    ASSERT_NE(RootLookAndFeel(), nullptr);
  }
  void TearDown() override {
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }
  // Every OnChanged of a look and feel as "name:values".
  void record(TlkLookAndFeel& lf, const std::string& name) {
    lf.OnChanged = [this, name](TlkLookAndFeel*, Values v) { log.push_back(name + ":" + str(v)); };
  }
  static void switchTheme(ModuleProfile styles) {
    qv::modules::ThemeProfile t;
    t.visualStyles = styles;
    qv::modules::setThemeProfile(t);
  }
  static void changeSystemColours() {
    int index = COLOR_BTNFACE;
    COLORREF value = RGB(200, 190, 180);
    SetSysColors(1, &index, &value);
  }
  std::vector<std::string> log;

 private:
  ModuleProfile styles_;
};

class ThemedLookAndFeelTest : public LookAndFeelTest {
 protected:
  ThemedLookAndFeelTest() : LookAndFeelTest(ModuleProfile::Themed) {}
};

TlkLookAndFeelPainterClass flat() { return TlkFlatLookAndFeelPainter::Class(); }
TlkLookAndFeelPainterClass standard() { return TlkStandardLookAndFeelPainter::Class(); }
TlkLookAndFeelPainterClass ultraFlat() { return TlkUltraFlatLookAndFeelPainter::Class(); }
TlkLookAndFeelPainterClass office11() { return TlkOffice11LookAndFeelPainter::Class(); }
TlkLookAndFeelPainterClass native() { return TlkWinXPLookAndFeelPainter::Class(); }

// ---------------------------------------------------------------------------
// Values and painters.

TEST_F(LookAndFeelTest, ANewOneIsUltraFlatUnderTheRootAndAssigningTheSameKindAnnouncesNothing) {
  TlkLookAndFeel lf(nullptr);
  record(lf, "lf");
  EXPECT_EQ(lf.Kind(), lfUltraFlat);
  EXPECT_FALSE(lf.NativeStyle());
  EXPECT_EQ(lf.SkinName(), "");
  EXPECT_TRUE(lf.AssignedValues().Empty());
  EXPECT_EQ(lf.Painter(), ultraFlat());
  EXPECT_EQ(lf.Master(), RootLookAndFeel());
  EXPECT_EQ(RootLookAndFeel()->Master(), nullptr);
  EXPECT_EQ(RootLookAndFeel()->ChangeListenerCount(), 1);

  lf.SetKind(lfUltraFlat);
  EXPECT_EQ(lf.AssignedValues(), Values{lfvKind});
  EXPECT_TRUE(log.empty());
}

TEST_F(LookAndFeelTest, EachKindChoosesItsPainter) {
  TlkLookAndFeel lf(nullptr);
  const std::vector<std::pair<TlkLookAndFeelKind, TlkLookAndFeelPainterClass>> kinds = {
      {lfFlat, flat()}, {lfStandard, standard()}, {lfUltraFlat, ultraFlat()}, {lfOffice11, office11()}};
  for (const auto& [kind, painter] : kinds) {
    lf.SetKind(kind);
    EXPECT_EQ(lf.Painter(), painter) << kind;
    EXPECT_EQ(lf.PainterForThemeKind(thkScrollBar), painter) << kind;
  }
  // Native style without visual styles keeps the kind's painter.
  lf.SetNativeStyle(true);
  EXPECT_EQ(lf.Painter(), office11());
}

// A -> B -> root: each value comes from the nearest look and feel that
// assigns it; a change reaches only those that take the value from above.
TEST_F(LookAndFeelTest, AChainOfMastersResolvesKindAndNativeStyleFromTheNearestAssigningOne) {
  TlkLookAndFeel& root = *RootLookAndFeel();
  TlkLookAndFeel b(nullptr);
  TlkLookAndFeel a(nullptr);
  a.SetMaster(&b);
  record(root, "root");
  record(b, "B");
  record(a, "A");

  struct Step {
    const char* what;
    std::function<void()> act;
    TlkLookAndFeelKind aKind, bKind;
    bool aNative, bNative;
    std::vector<std::string> announced;
  };
  const std::vector<Step> steps = {
      {"root kind", [&] { root.SetKind(lfStandard); }, lfStandard, lfStandard, false, false,
       {"A:K", "B:K", "root:K"}},
      {"B kind", [&] { b.SetKind(lfFlat); }, lfFlat, lfFlat, false, false, {"A:K", "B:K"}},
      {"root kind under B's", [&] { root.SetKind(lfOffice11); }, lfFlat, lfFlat, false, false, {"root:K"}},
      {"A kind", [&] { a.SetKind(lfUltraFlat); }, lfUltraFlat, lfFlat, false, false, {"A:K"}},
      {"root native", [&] { root.SetNativeStyle(true); }, lfUltraFlat, lfFlat, true, true,
       {"A:N", "B:N", "root:N"}},
      {"A native", [&] { a.SetNativeStyle(false); }, lfUltraFlat, lfFlat, false, true, {"A:N"}},
      {"B back to the root", [&] { b.SetAssignedValues({}); }, lfUltraFlat, lfOffice11, false, true, {"B:K"}},
      {"A back to B", [&] { a.SetAssignedValues({}); }, lfOffice11, lfOffice11, true, true, {"A:KN"}},
  };
  for (const Step& s : steps) {
    log.clear();
    s.act();
    EXPECT_EQ(a.Kind(), s.aKind) << s.what;
    EXPECT_EQ(b.Kind(), s.bKind) << s.what;
    EXPECT_EQ(a.NativeStyle(), s.aNative) << s.what;
    EXPECT_EQ(b.NativeStyle(), s.bNative) << s.what;
    EXPECT_EQ(log, s.announced) << s.what;
  }
}

TEST_F(ThemedLookAndFeelTest, TheNativePainterNeedsVisualStylesAndTheKindsTheme) {
  profile().themeClasses = "BUTTON;HEADER;GLOBALS";  // no scroll bar classes
  TlkLookAndFeel lf(nullptr);
  lf.SetKind(lfFlat);
  lf.SetNativeStyle(true);
  EXPECT_EQ(lf.Painter(), native());
  EXPECT_EQ(lf.PainterForThemeKind(thkButton), native());
  EXPECT_EQ(lf.PainterForThemeMask(1u << thkHeader), native());
  EXPECT_EQ(lf.PainterForThemeKind(thkScrollBar), flat());
  EXPECT_EQ(lf.PainterForThemeMask((1u << thkButton) | (1u << thkScrollBar)), flat());
}

TEST_F(ThemedLookAndFeelTest, AfterASwitchToTheClassicStyleTheKindsPainterComesBack) {
  TlkLookAndFeel lf(nullptr);
  lf.SetKind(lfStandard);
  lf.SetNativeStyle(true);
  record(lf, "lf");
  ASSERT_EQ(lf.PainterForThemeKind(thkScrollBar), native());

  switchTheme(ModuleProfile::Classic);
  // Asked anew, the kind's painter at once; the one in force follows with
  // the next change, here of the system colours.
  EXPECT_EQ(lf.PainterForThemeKind(thkScrollBar), standard());
  changeSystemColours();
  EXPECT_EQ(lf.Painter(), standard());
  // From its own notifier; the root's announcement stops at the native
  // style it assigns itself.
  EXPECT_EQ(log, (std::vector<std::string>{"lf:N"}));

  switchTheme(ModuleProfile::Themed);
  changeSystemColours();
  EXPECT_EQ(lf.Painter(), native());
}

// ---------------------------------------------------------------------------
// Listeners.

TEST_F(LookAndFeelTest, AListenerIsToldEachChangeOnceAndOnlyWhileListed) {
  // The listeners outlive the look and feel, which tells those still listed
  // that it goes.
  Listener first("1", &log), second("2", &log), third("3", &log), late("late", &log);
  TlkLookAndFeel lf(nullptr);
  lf.AddChangeListener(&first);
  lf.AddChangeListener(&first);  // once
  lf.AddChangeListener(&second);
  lf.AddChangeListener(&third);
  EXPECT_EQ(lf.ChangeListenerCount(), 3);

  // The first takes itself off and brings a late one in, the second takes
  // the third off: nobody is skipped, told twice, or told after leaving.
  first.OnChanged = [&] {
    lf.RemoveChangeListener(&first);
    lf.AddChangeListener(&late);
  };
  second.OnChanged = [&] { lf.RemoveChangeListener(&third); };
  lf.SetKind(lfFlat);
  EXPECT_EQ(log, (std::vector<std::string>{"1:K", "2:K"}));

  log.clear();
  second.OnChanged = nullptr;
  lf.SetNativeStyle(true);
  EXPECT_EQ(log, (std::vector<std::string>{"2:N", "late:N"}));

  log.clear();
  lf.RemoveChangeListener(&late);
  lf.RemoveChangeListener(&late);  // absent: nothing
  lf.SetKind(lfStandard);
  EXPECT_EQ(log, (std::vector<std::string>{"2:K"}));
}

TEST_F(LookAndFeelTest, FreeingAMasterDetachesItsSlavesToTheRoot) {
  RootLookAndFeel()->SetKind(lfOffice11);
  auto master = std::make_unique<TlkLookAndFeel>(nullptr);
  master->SetKind(lfFlat);
  TlkLookAndFeel a(nullptr), b(nullptr);
  a.SetMaster(master.get());
  b.SetMaster(master.get());
  b.SetNativeStyle(true);
  Listener watcher("watcher", &log);
  master->AddChangeListener(&watcher);
  record(a, "A");
  record(b, "B");
  EXPECT_EQ(master->ChangeListenerCount(), 3);
  const int rootListeners = RootLookAndFeel()->ChangeListenerCount();

  master.reset();
  EXPECT_EQ(a.Master(), RootLookAndFeel());
  EXPECT_EQ(b.Master(), RootLookAndFeel());
  EXPECT_EQ(a.Kind(), lfOffice11);
  EXPECT_EQ(a.Painter(), office11());
  EXPECT_EQ(log, (std::vector<std::string>{"A:K", "B:K", "watcher:gone"}));
  // Both hear the root again, the freed master is off its list.
  EXPECT_EQ(RootLookAndFeel()->ChangeListenerCount(), rootListeners + 1);
  log.clear();
  RootLookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(log, (std::vector<std::string>{"A:K", "B:K"}));
}

TEST_F(LookAndFeelTest, SetMasterIgnoresItselfTheRootAndMastersThatWouldCloseACycle) {
  TlkLookAndFeel a(nullptr), b(nullptr), c(nullptr);
  a.SetMaster(&a);
  EXPECT_EQ(a.Master(), RootLookAndFeel());
  RootLookAndFeel()->SetMaster(&a);
  EXPECT_EQ(RootLookAndFeel()->Master(), nullptr);

  // a -> b -> c: neither b nor c may take a as master.
  a.SetMaster(&b);
  b.SetMaster(&c);
  c.SetMaster(&a);
  b.SetMaster(&a);
  EXPECT_EQ(c.Master(), RootLookAndFeel());
  EXPECT_EQ(b.Master(), &c);
  c.SetKind(lfStandard);
  EXPECT_EQ(a.Kind(), lfStandard);

  // Leaving the chain is allowed.
  b.SetMaster(nullptr);
  EXPECT_EQ(b.Master(), RootLookAndFeel());
  EXPECT_EQ(a.Kind(), lfUltraFlat);
}

TEST_F(LookAndFeelTest, AssignCopiesTheAssignedValuesAndTheMaster) {
  TlkLookAndFeel master(nullptr), source(nullptr), target(nullptr);
  master.SetNativeStyle(true);
  source.SetMaster(&master);
  source.SetKind(lfOffice11);
  record(target, "target");

  target.Assign(&source);
  EXPECT_EQ(target.AssignedValues(), Values{lfvKind});
  EXPECT_EQ(target.Kind(), lfOffice11);
  EXPECT_EQ(target.Master(), &master);
  EXPECT_TRUE(target.NativeStyle());
  EXPECT_EQ(log, (std::vector<std::string>{"target:KN"}));

  // A source whose master is the target would close a cycle: the values
  // come over, the master stays.
  TlkLookAndFeel slave(nullptr);
  slave.SetMaster(&target);
  slave.SetSkinName("x");
  TlkLookAndFeel other(nullptr);
  other.Assign(&slave);
  target.Assign(&slave);
  EXPECT_EQ(target.Master(), &master);
  EXPECT_EQ(target.SkinName(), "x");
  EXPECT_EQ(other.Master(), &target);

  TStringList notALookAndFeel;
  EXPECT_THROW(target.Assign(&notALookAndFeel), EConvertError);
}

// ---------------------------------------------------------------------------
// Skins, streaming, the controller, the unit.

TEST_F(LookAndFeelTest, ASkinNameChoosesANamedPainterIgnoringCaseUnlessNativeStyleOrSkinsAreOff) {
  TlkLookAndFeel lf(nullptr);
  lf.SetSkinName("Carbon");
  EXPECT_EQ(lf.SkinPainter(), nullptr);  // nothing registered
  EXPECT_EQ(lf.Painter(), ultraFlat());

  NamedPainterList()->Add(new TlkPainterInfo("CARBON", standard()));
  lf.SetSkinName("carbon");
  EXPECT_EQ(lf.SkinPainter(), standard());
  EXPECT_EQ(lf.Painter(), standard());
  EXPECT_EQ(lf.PainterForThemeKind(thkScrollBar), standard());
  EXPECT_EQ(NamedPainterList()->PainterListenerCount(), 1);

  lf.SetNativeStyle(true);
  EXPECT_EQ(lf.SkinPainter(), nullptr);
  EXPECT_EQ(NamedPainterList()->PainterListenerCount(), 0);

  lf.SetNativeStyle(false);
  lkSkinsEnabled = false;
  lf.SetSkinName("Carbon");
  EXPECT_EQ(lf.SkinPainter(), nullptr);
  lkSkinsEnabled = true;
}

TEST_F(LookAndFeelTest, KindNativeStyleAndSkinNameAreStoredOnlyWhenAssigned) {
  TlkLookAndFeel lf(nullptr);
  auto stored = [&](const char* name) { return IsStoredProp(&lf, GetPropInfo(&lf, name)); };
  const TPropList props = GetPropList(&lf);
  ASSERT_EQ(props.size(), 4u);
  EXPECT_EQ(props[0]->Name, "AssignedValues");
  EXPECT_EQ(props[1]->Name, "Kind");
  EXPECT_EQ(props[2]->Name, "NativeStyle");
  EXPECT_EQ(props[3]->Name, "SkinName");
  EXPECT_FALSE(stored("Kind"));
  EXPECT_FALSE(stored("NativeStyle"));
  EXPECT_FALSE(stored("SkinName"));

  SetEnumProp(&lf, "Kind", "lfOffice11");
  SetStrProp(&lf, "SkinName", "Carbon");
  EXPECT_EQ(GetSetProp(&lf, "AssignedValues"), "lfvKind,lfvSkinName");
  EXPECT_TRUE(stored("Kind"));
  EXPECT_FALSE(stored("NativeStyle"));
  EXPECT_TRUE(stored("SkinName"));
  EXPECT_EQ(lf.Painter(), office11());
}

TEST_F(LookAndFeelTest, TheControllerShowsTheRootAndTheLastOneToGoResetsIt) {
  TlkLookAndFeel& root = *RootLookAndFeel();
  auto one = std::make_unique<TlkLookAndFeelController>(nullptr);
  auto two = std::make_unique<TlkLookAndFeelController>(nullptr);
  SetEnumProp(one.get(), "Kind", "lfFlat");
  two->SetNativeStyle(true);
  EXPECT_EQ(root.Kind(), lfFlat);
  EXPECT_TRUE(root.NativeStyle());
  EXPECT_EQ(two->Kind(), lfFlat);

  // Only the root takes controllers.
  TlkLookAndFeel other(nullptr);
  other.AddChangeListener(one.get());
  EXPECT_EQ(other.ChangeListenerCount(), 0);

  one.reset();
  EXPECT_EQ(root.AssignedValues(), (Values{lfvKind, lfvNativeStyle}));
  two.reset();
  EXPECT_TRUE(root.AssignedValues().Empty());
  EXPECT_EQ(root.Kind(), lfUltraFlat);
  EXPECT_EQ(other.Kind(), lfUltraFlat);
}

struct Container : public TInterfacedPersistent {
  QV_CLASS(Container, TInterfacedPersistent)
 protected:
  bool GetInterface(REFIID IID, void** Obj) override {
    if (IID != IID_IlkLookAndFeelContainer) return false;
    *Obj = static_cast<IUnknown*>(this);
    return true;
  }
};

class LookAndFeelUnitTest : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }
};

TEST_F(LookAndFeelUnitTest, TheUnitMakesTheRootBeforeTheControlsUnitAndFreesItAtTheEnd) {
  // Without the unit a controller reads the defaults and writes nothing.
  TlkLookAndFeelController early(nullptr);
  early.SetKind(lfStandard);
  EXPECT_EQ(early.Kind(), lfUltraFlat);
  EXPECT_FALSE(early.NativeStyle());
  EXPECT_EQ(lkSupportsLookAndFeelContainer, nullptr);

  qv::classlib::InitializeUnit(lkControlsUnit);
  ASSERT_NE(RootLookAndFeel(), nullptr);
  EXPECT_TRUE(RootLookAndFeel()->IsRoot());
  EXPECT_EQ(RootLookAndFeel()->Kind(), lfUltraFlat);
  EXPECT_EQ(GetClass("TlkLookAndFeelController"), TlkLookAndFeelController::StaticClass());
  ASSERT_NE(lkSupportsLookAndFeelContainer, nullptr);
  Container container;
  TStringList plain;
  EXPECT_TRUE(lkSupportsLookAndFeelContainer(&container));
  EXPECT_FALSE(lkSupportsLookAndFeelContainer(&plain));

  // A look and feel that outlives the root falls back to the defaults.
  TlkLookAndFeel survivor(nullptr);
  RootLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(survivor.Kind(), lfFlat);
  qv::classlib::FinalizeUnits();
  EXPECT_EQ(RootLookAndFeel(), nullptr);
  EXPECT_EQ(survivor.Master(), nullptr);
  EXPECT_EQ(survivor.Kind(), lfUltraFlat);
  EXPECT_EQ(GetClass("TlkLookAndFeelController"), nullptr);
  EXPECT_EQ(lkSupportsLookAndFeelContainer, nullptr);
}

}  // namespace
