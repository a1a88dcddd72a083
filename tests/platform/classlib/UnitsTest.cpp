// Unit start-up and shut-down, hidden utility windows, interfaced persistent
// objects and resource strings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Recorder.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/SysUtils.h"
#include "platform/classlib/System.h"
#include "platform/com/Dispatch.h"
#include "platform/os/user/User.h"

using qv::classlib::FinalizeUnits;
using qv::classlib::InitializeUnit;
using qv::classlib::TUnitInfo;
using qv::classlib::UnitInitialized;

namespace {

std::vector<std::string> unitLog;
bool failStart = false;

void baseStart() { unitLog.push_back("+base"); }
void baseEnd() { unitLog.push_back("-base"); }
void midStart() { unitLog.push_back("+mid"); }
void midEnd() {
  unitLog.push_back("-mid");
  throw EInvalidOperation("mid failed");
}
void topStart() {
  unitLog.push_back("+top");
  if (failStart) throw EInvalidOperation("top failed");
}
void topEnd() { unitLog.push_back("-top"); }
void fragileStart() {
  unitLog.push_back("+fragile");
  if (failStart) throw EInvalidOperation("fragile failed");
}
void fragileEnd() { unitLog.push_back("-fragile"); }

extern const TUnitInfo topUnit;
const TUnitInfo baseUnit{"base", {}, &baseStart, &baseEnd};
// mid uses top, which uses mid again: the cycle must not recurse.
const TUnitInfo* const midUses[] = {&baseUnit, &topUnit};
const TUnitInfo midUnit{"mid", midUses, &midStart, &midEnd};
const TUnitInfo* const topUses[] = {&baseUnit, &midUnit};
const TUnitInfo topUnit{"top", topUses, &topStart, &topEnd};
const TUnitInfo sturdyUnit{"sturdy", {}, &baseStart, &baseEnd};
const TUnitInfo* const fragileUses[] = {&sturdyUnit};
const TUnitInfo fragileUnit{"fragile", fragileUses, &fragileStart, &fragileEnd};

}  // namespace

TEST(Units, StartOnceAfterTheirUsesAndShutDownInReverse) {
  unitLog.clear();
  InitializeUnit(midUnit);
  InitializeUnit(topUnit);
  InitializeUnit(baseUnit);
  EXPECT_EQ(unitLog, (std::vector<std::string>{"+base", "+top", "+mid"}));
  EXPECT_TRUE(UnitInitialized(topUnit));

  unitLog.clear();
  // A failing shut-down does not keep the others from theirs; its error comes
  // out at the end.
  EXPECT_THROW(FinalizeUnits(), EInvalidOperation);
  EXPECT_EQ(unitLog, (std::vector<std::string>{"-mid", "-top", "-base"}));
  EXPECT_FALSE(UnitInitialized(baseUnit));

  // Once per process: neither starts nor ends again.
  unitLog.clear();
  InitializeUnit(midUnit);
  FinalizeUnits();
  EXPECT_TRUE(unitLog.empty());
}

TEST(Units, AFailingStartUpLeavesTheUnitUnstarted) {
  unitLog.clear();
  failStart = true;
  EXPECT_THROW(InitializeUnit(fragileUnit), EInvalidOperation);
  EXPECT_FALSE(UnitInitialized(fragileUnit));
  EXPECT_TRUE(UnitInitialized(sturdyUnit));
  failStart = false;
  InitializeUnit(fragileUnit);
  EXPECT_EQ(unitLog, (std::vector<std::string>{"+base", "+fragile", "+fragile"}));
  unitLog.clear();
  FinalizeUnits();
  EXPECT_EQ(unitLog, (std::vector<std::string>{"-fragile", "-base"}));
}

namespace {

class UnitResetTest : public qvtest::DesktopTest {};

}  // namespace

// A fresh desktop is a fresh process for the units: the started ones end, a
// shut-down that raises does not stop the reset, and every unit starts again.
TEST_F(UnitResetTest, AFreshDesktopEndsTheStartedUnitsAndLetsThemStartAgain) {
  unitLog.clear();
  InitializeUnit(fragileUnit);
  InitializeUnit(midUnit);
  EXPECT_NO_THROW(qv::desktop::resetDesktop());
  EXPECT_EQ(unitLog, (std::vector<std::string>{"+base", "+fragile", "+base", "+top", "+mid", "-mid", "-top", "-base",
                                               "-fragile", "-base"}));
  EXPECT_FALSE(UnitInitialized(fragileUnit));
  EXPECT_FALSE(UnitInitialized(baseUnit));

  unitLog.clear();
  InitializeUnit(fragileUnit);
  EXPECT_TRUE(UnitInitialized(sturdyUnit));
  EXPECT_EQ(unitLog, (std::vector<std::string>{"+base", "+fragile"}));
}

namespace {

class UtilWindowTest : public qvtest::DesktopTest {};

}  // namespace

TEST_F(UtilWindowTest, MessagesGoToTheMethodOfAHiddenTopLevelWindow) {
  std::vector<UINT> heard;
  HWND wnd = AllocateHWnd([&](TMessage& m) {
    heard.push_back(m.Msg);
    m.Result = m.Msg == WM_USER ? 42 : 0;
  });
  ASSERT_NE(wnd, nullptr);
  EXPECT_FALSE(IsWindowVisible(wnd));
  EXPECT_EQ(GetParent(wnd), nullptr);
  heard.clear();
  EXPECT_EQ(SendMessage(wnd, WM_USER, 0, 0), 42);
  // Top-level, so it hears the desktop's broadcasts.
  qv::os::broadcastSysColorChange();
  qv::os::pumpMessages();
  EXPECT_EQ(heard, (std::vector<UINT>{WM_USER, WM_SYSCOLORCHANGE}));
  DeallocateHWnd(wnd);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_NE(std::find(heard.begin(), heard.end(), static_cast<UINT>(WM_DESTROY)), heard.end());
}

TEST_F(UtilWindowTest, AMethodMayDeallocateItsOwnWindow) {
  HWND wnd = nullptr;
  int calls = 0;
  wnd = AllocateHWnd([&](TMessage& m) {
    ++calls;
    if (m.Msg == WM_USER) DeallocateHWnd(wnd);
  });
  SendMessage(wnd, WM_USER, 0, 0);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_GT(calls, 1);
}

namespace {

// An owner that counts references.
class TCountingOwner : public TPersistent, public IUnknown {
  QV_CLASS(TCountingOwner, TPersistent)
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  ULONG refs = 1;
};

class TOwnedThing : public TInterfacedPersistent {
  QV_CLASS(TOwnedThing, TInterfacedPersistent)
  explicit TOwnedThing(TPersistent* AOwner = nullptr) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  TPersistent* FOwner;
};

}  // namespace

TEST(InterfacedPersistent, ReferencesAreTheOwnersOrNone) {
  TOwnedThing alone;
  IUnknown* unk = nullptr;
  ASSERT_EQ(alone.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unk)), S_OK);
  EXPECT_EQ(unk, static_cast<IUnknown*>(&alone));
  EXPECT_EQ(unk->Release(), static_cast<ULONG>(-1));  // counts nothing, frees nothing
  void* other = nullptr;
  EXPECT_EQ(alone.QueryInterface(IID_IDispatch, &other), E_NOINTERFACE);

  TCountingOwner owner;
  TOwnedThing owned(&owner);
  EXPECT_EQ(owned.AddRef(), 2u);
  EXPECT_EQ(owned.Release(), 1u);
}

TEST(ResourceStrings, TheProgramsStringTableReplacesTheCompiledText) {
  const TResStringRec inTable{61000, "Compiled"};
  const TResStringRec notInTable{61001, "Compiled"};
  EXPECT_EQ(LoadResString(&inTable), "Aus der Tabelle");
  EXPECT_EQ(LoadResString(&notInTable), "Compiled");
  EXPECT_EQ(LoadResString(nullptr), "");
}
