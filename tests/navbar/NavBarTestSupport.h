// A stand-in for the navigation bar control: just enough of it for the
// groups, items, links and styles to work against, with what they tell it
// recorded.
#pragma once

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "DesktopTest.h"
#include "navbar/uiNavBarCollns.h"
#include "navbar/uiNavBarStyles.h"
#include "platform/classlib/Filer.h"

namespace navbartest {

// A change the control heard, turned into the level it would invalidate
// with: one item changed recalculates, anything else recreates.
struct Heard {
  std::string collection;  // "groups", "items", "styles"
  TObject* item;
  TlkCollectionChangeAction action;
  TuiNavBarChangeType level() const {
    return action == caItemChanged && item ? doRecalc : doRecreate;
  }
};

class TTestNavBar : public TCustomPanel, public IuiNavBarOwner {
  QV_CLASS(TTestNavBar, TCustomPanel)
  explicit TTestNavBar(TComponent* AOwner) : TCustomPanel(AOwner) {
    FGroups->OnChange = record("groups");
    FItems->OnChange = record("items");
    FStyles->OnChange = record("styles");
    FGroups->OnLinksChange = [this](TObject*, TuiNavBarItemLink* Link) { linkChanges.push_back(Link); };
    FDefaultStyles->OnChange = [this](TObject*, TuiNavBarChangeType AType) { defaultStyleChanges.push_back(AType); };
    FDefaultStyles->AssignDefaultValues(false);
  }
  ~TTestNavBar() override {
    Destroying();
    delete FStyles;
    delete FItems;
    delete FGroups;
    delete FDefaultStyles;
  }

  TWinControl* NavBarControl() override { return this; }
  TuiNavBarGroups* NavBarGroups() override { return FGroups; }
  TuiNavBarItems* NavBarItems() override { return FItems; }
  TuiNavBarStyles* NavBarStyles() override { return FStyles; }
  bool AllowSelectLinks() const override { return FAllowSelectLinks; }
  void SetAllowSelectLinks(bool Value) { FAllowSelectLinks = Value; }
  bool EachGroupHasSelectedLink() const override { return FEachGroupHasSelectedLink; }
  void SetEachGroupHasSelectedLink(bool Value) { FEachGroupHasSelectedLink = Value; }

  // The control's rule: the stored group while visible, else the first
  // visible one (stored when none was).
  TuiNavBarGroup* GetActiveGroup() override {
    if (FActiveGroup && FActiveGroup->Visible()) return FActiveGroup;
    for (int i = 0; i < FGroups->Count(); ++i)
      if (FGroups->Items(i)->Visible()) {
        if (!FActiveGroup) FActiveGroup = FGroups->Items(i);
        return FGroups->Items(i);
      }
    return nullptr;
  }
  void SetActiveGroup(TuiNavBarGroup* Value) override {
    if (Value == FActiveGroup) return;
    activeGroupChanges.push_back(Value);
    FActiveGroup = Value;
  }

  // The "view": every default style gets a back colour of its index.
  void AssignViewDefaultStyle(int AIndex, TuiBaseNavBarStyle* AStyle) override {
    AStyle->SetBackColor(viewColor + AIndex);
  }
  void DrawGroupControlBackground(TuiNavBarGroup* AGroup, TCanvas*) override { drawnGroups.push_back(AGroup); }

  TuiNavBarDefaultStyles* DefaultStyles() const { return FDefaultStyles; }
  void SetDefaultStyles(TuiNavBarDefaultStyles* Value) { FDefaultStyles->Assign(Value); }

  void GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) override {
    for (int i = 0; i < FGroups->Count(); ++i) Proc(FGroups->Items(i));
    for (int i = 0; i < FItems->Count(); ++i) Proc(FItems->Items(i));
    for (int i = 0; i < FStyles->Count(); ++i)
      if (FStyles->Items(i)->Owner() == Root) Proc(FStyles->Items(i));
    for (int i = 0; i < FGroups->Count(); ++i)
      if (TuiNavBarGroupControl* c = FGroups->Items(i)->Control(); c && c->Owner() == Root) Proc(c);
  }

  QV_PUBLISHED(TTestNavBar) {
    P.Prop("AllowSelectLinks", &TTestNavBar::AllowSelectLinks, &TTestNavBar::SetAllowSelectLinks).Default(true);
    P.Prop("DefaultStyles", &TTestNavBar::DefaultStyles, &TTestNavBar::SetDefaultStyles);
    P.Prop("EachGroupHasSelectedLink", &TTestNavBar::EachGroupHasSelectedLink,
           &TTestNavBar::SetEachGroupHasSelectedLink)
        .Default(false);
  }

  std::vector<Heard> heard;
  std::vector<TuiNavBarItemLink*> linkChanges;
  std::vector<TuiNavBarChangeType> defaultStyleChanges;
  std::vector<TuiNavBarGroup*> activeGroupChanges;
  std::vector<TuiNavBarGroup*> drawnGroups;
  TColor viewColor = 0x100;

 private:
  TlkComponentCollectionChangeEvent record(const char* Name) {
    return [this, Name](TObject*, TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action) {
      if (!ComponentState().Contains(csDestroying)) heard.push_back({Name, Item, Action});
    };
  }
  TuiNavBarGroups* FGroups = new TuiNavBarGroups(this);
  TuiNavBarItems* FItems = new TuiNavBarItems(this);
  TuiNavBarStyles* FStyles = new TuiNavBarStyles(this);
  TuiNavBarDefaultStyles* FDefaultStyles = new TuiNavBarDefaultStyles(this);
  TuiNavBarGroup* FActiveGroup = nullptr;
  bool FAllowSelectLinks = true;
  bool FEachGroupHasSelectedLink = false;
};

// The form: owns the bar and everything on it, and handles events by name.
class TNavForm : public TComponent {
  QV_CLASS(TNavForm, TComponent)
  using TComponent::TComponent;
  void ItemClick(TObject* Sender) { calls.push_back("ItemClick " + static_cast<TComponent*>(Sender)->Name()); }
  void GroupEvent(TObject* Sender) { calls.push_back("GroupEvent " + static_cast<TComponent*>(Sender)->Name()); }
  std::vector<std::string> calls;
  QV_PUBLISHED(TNavForm) {
    P.Method("ItemClick", &TNavForm::ItemClick);
    P.Method("GroupEvent", &TNavForm::GroupEvent);
  }
};

class NavBarTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    qv::classlib::InitializeUnit(uiNavBarCollnsUnit);
    RegisterClasses({TTestNavBar::StaticClass(), TNavForm::StaticClass()});
    form = std::make_unique<TNavForm>(nullptr);
    bar = new TTestNavBar(form.get());
    bar->SetName("Bar");
  }
  void TearDown() override {
    form.reset();
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }
  std::vector<TuiNavBarChangeType> levels() const {
    std::vector<TuiNavBarChangeType> out;
    for (const Heard& h : bar->heard) out.push_back(h.level());
    return out;
  }

  std::unique_ptr<TNavForm> form;
  TTestNavBar* bar = nullptr;
};

}  // namespace navbartest
