// The bases of the navigation bar's collections: the component items that
// groups, items and styles derive from, the collections that order them, the
// invalidation levels, and the narrow view of the navigation bar control
// that these collections work against.
#pragma once

#include <string>

#include "lookandfeel/lkClasses.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Graphics.h"

// The unit's start-up and shut-down (see qv::classlib::InitializeUnit).
extern const qv::classlib::TUnitInfo uiNavBarBaseUnit;

// The three levels of invalidation of the navigation bar, from the most
// work to the least: view information recreated, recalculated, or only
// redrawn.
enum TuiNavBarChangeType { doRecreate, doRecalc, doRedraw };
QV_ENUM_TYPE(TuiNavBarChangeType, doRecreate, doRecalc, doRedraw)

// The drawing states of a group, link or scroll button, as the view
// information works them out and every helper painter receives them.
enum TuiNavBarDrawState {
  nbsActive,      // the active group, in views that mark it
  nbsDisabled,    // the item is disabled
  nbsExpanded,    // the group is expanded
  nbsHotTracked,  // under the mouse
  nbsPressed,     // the mouse button is held on it
  nbsSelected,    // the selected link
  nbsSpecial      // the special first group of the explorer-bar views
};
using TuiNavBarDrawStates = TSet<TuiNavBarDrawState>;

class TuiNavBarGroup;
class TuiNavBarGroups;
class TuiNavBarItems;
class TuiNavBarStyles;
class TuiBaseNavBarStyle;

// What the groups, items, links and styles need of the navigation bar
// control that holds them. The control implements it beside its class
// library base; the collections find it by casting their parent component.
// Changes travel the other way through the collections' OnChange, the
// groups' OnLinksChange and the default styles' OnChange, which the control
// assigns.
class IuiNavBarOwner {
 public:
  virtual ~IuiNavBarOwner() = default;

  // The control itself: the parent of the group controls and the
  // persistent owner of the default styles.
  virtual TWinControl* NavBarControl() = 0;
  virtual TuiNavBarGroups* NavBarGroups() = 0;
  virtual TuiNavBarItems* NavBarItems() = 0;
  virtual TuiNavBarStyles* NavBarStyles() = 0;

  // Selection rules for the groups' selected links.
  virtual bool AllowSelectLinks() const = 0;
  virtual bool EachGroupHasSelectedLink() const = 0;

  // The active group as the control answers it (the first visible group
  // when the stored one is hidden), and the change of it, with the
  // control's active-group events.
  virtual TuiNavBarGroup* GetActiveGroup() = 0;
  virtual void SetActiveGroup(TuiNavBarGroup* Value) = 0;

  // The current view's values for the default style of that index (0..19);
  // AStyle has been reset before the call.
  virtual void AssignViewDefaultStyle(int AIndex, TuiBaseNavBarStyle* AStyle) = 0;
  // Paints the background of a group's control as the view paints the
  // group, for a group control with UseStyle.
  virtual void DrawGroupControlBackground(TuiNavBarGroup* AGroup, TCanvas* ACanvas) = 0;

  // Loading from a form, or being destroyed: events of the groups are not
  // raised then, and values written while loading wait for Loaded.
  bool NavBarLoading() { return NavBarControl()->ComponentState().Contains(csLoading); }
  bool NavBarDestroying() { return NavBarControl()->ComponentState().Contains(csDestroying); }
};

// The navigation bar behind a component (a control implementing
// IuiNavBarOwner), or null.
IuiNavBarOwner* NavBarOf(TComponent* AComponent);

class TuiNavBarComponentCollection;

// ---------------------------------------------------------------------------
class TuiNavBarComponentCollectionItem : public TlkComponentCollectionItem {
  QV_CLASS(TuiNavBarComponentCollectionItem, TlkComponentCollectionItem)
  explicit TuiNavBarComponentCollectionItem(TComponent* AOwner) : TlkComponentCollectionItem(AOwner) {}

  // Brings an action link up to date; nothing here.
  virtual void RefreshAction() {}
  // Clamped to the collection; nothing outside one.
  void SetIndex(int Value) override;

  // The navigation bar of the collection, or null.
  IuiNavBarOwner* NavBar() const;
  TuiNavBarComponentCollection* NavBarCollection() const;
};

// ---------------------------------------------------------------------------
class TuiNavBarComponentCollection : public TlkComponentCollection {
  QV_CLASS(TuiNavBarComponentCollection, TlkComponentCollection)
  TuiNavBarComponentCollection(TComponent* AParentComponent, TClass AItemClass)
      : TlkComponentCollection(AParentComponent, AItemClass) {}

  // RefreshAction of every item in index order.
  virtual void NotifyItems();
  TuiNavBarComponentCollectionItem* AddItem();
  TuiNavBarComponentCollectionItem* ItemAt(int Index) const {
    return static_cast<TuiNavBarComponentCollectionItem*>(TlkComponentCollection::Items(Index));
  }
  // Exact and case-sensitive; null when no item has that name.
  TuiNavBarComponentCollectionItem* FindItemByName(const std::string& AName) const;

  IuiNavBarOwner* NavBar() const { return NavBarOf(ParentComponent()); }

 protected:
  // A new item gets the first free name of its class without the "T" and a
  // number ("uiNavBarGroup1"), so that links and style properties can refer
  // to it in a form.
  void AssignItemName(TlkComponentCollectionItem* Item) override;
};
