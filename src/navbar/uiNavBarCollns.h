// The navigation bar's data: groups, the items they link to, the links
// themselves and the panel a group can show in place of its links.
//
// Items live once in the control's Items collection; a group holds links,
// each pointing at an item, so one item may appear in several groups.
// Groups and items are components owned by the form, streamed as children
// of the control with their published properties; a group streams its
// links as "Links". The collections report every change to the control
// through their OnChange (one item changed: it recalculates; all changed,
// added or removed: it recreates its view information).
#pragma once

#include <functional>
#include <string>

#include "navbar/uiNavBarBase.h"
#include "navbar/uiNavBarStyles.h"
#include "platform/classlib/ActnList.h"
#include "platform/classlib/Collections.h"
#include "platform/classlib/ExtCtrls.h"

extern const qv::classlib::TUnitInfo uiNavBarCollnsUnit;

class TuiNavBarGroup;
class TuiNavBarItem;
class TuiNavBarItemLinks;
class TuiNavBarGroupControl;

// ---------------------------------------------------------------------------
// What groups and items share.
class TuiNavBarCustomItem : public TuiNavBarComponentCollectionItem {
  QV_CLASS(TuiNavBarCustomItem, TuiNavBarComponentCollectionItem)
  explicit TuiNavBarCustomItem(TComponent* AOwner) : TuiNavBarComponentCollectionItem(AOwner) {}

  const std::string& Caption() const { return FCaption; }
  virtual void SetCaption(const std::string& Value);
  const std::string& Hint() const { return FHint; }
  virtual void SetHint(const std::string& Value);
  int LargeImageIndex() const { return FLargeImageIndex; }
  virtual void SetLargeImageIndex(int Value);
  int SmallImageIndex() const { return FSmallImageIndex; }
  virtual void SetSmallImageIndex(int Value);

  // Outside loading, a caption that equalled the old name follows the new
  // one.
  void SetName(const std::string& NewName) override;

  TNotifyEvent OnClick;

 protected:
  bool Loading() const { return ComponentState().Contains(csLoading); }

 private:
  std::string FCaption;
  std::string FHint;
  int FLargeImageIndex = -1;
  int FSmallImageIndex = -1;
};

// ---------------------------------------------------------------------------
// A link of a group to an item. It does not own its item.
class TuiNavBarItemLink : public TCollectionItem {
  QV_CLASS(TuiNavBarItemLink, TCollectionItem)
  TuiNavBarItemLink() = default;
  // Deselected, without its item and out of its group, it tells the group.
  ~TuiNavBarItemLink() override;

  void Assign(TPersistent* Source) override;

  TuiNavBarItem* Item() const { return FItem; }
  void SetItem(TuiNavBarItem* Value);
  // The group whose links hold this one, or null.
  TuiNavBarGroup* Group() const;
  // Whether this is its group's selected link; writing selects it in the
  // group or clears the group's selection.
  bool Selected() const;
  void SetSelected(bool Value);
  // Brings the item's action link up to date.
  void RefreshAction();

  QV_PUBLISHED(TuiNavBarItemLink) { P.Prop("Item", &TuiNavBarItemLink::Item, &TuiNavBarItemLink::SetItem); }

 private:
  TuiNavBarItem* FItem = nullptr;
  friend class TuiNavBarGroup;
};

// The links of one group. A change of them is a change of the whole group.
class TuiNavBarItemLinks : public TOwnedCollection {
  QV_CLASS(TuiNavBarItemLinks, TOwnedCollection)
  explicit TuiNavBarItemLinks(TuiNavBarGroup* AGroup);

  TuiNavBarGroup* Group() const { return FGroup; }
  TuiNavBarItemLink* Add() { return static_cast<TuiNavBarItemLink*>(TCollection::Add()); }
  TuiNavBarItemLink* Items(int Index) const { return static_cast<TuiNavBarItemLink*>(TCollection::Items(Index)); }

 protected:
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

 private:
  TuiNavBarGroup* FGroup;
};

// ---------------------------------------------------------------------------
// A group: a captioned section of the bar holding links, or a panel of
// controls (UseControl) in their place.
class TuiNavBarGroup : public TuiNavBarCustomItem {
  QV_CLASS(TuiNavBarGroup, TuiNavBarCustomItem)
  static constexpr int GroupStyleCount = 8;

  explicit TuiNavBarGroup(TComponent* AOwner);
  // The control first, then the links, then the group.
  ~TuiNavBarGroup() override;

  TlkComponentCollection* CollectionOfParent(TComponent* AParent) override;
  void RefreshAction() override;
  void Assign(TPersistent* Source) override;
  void SetName(const std::string& NewName) override;

  // Links.
  TuiNavBarItemLink* AddLink(TuiNavBarItem* AItem);
  void RemoveLink(int Index);
  // Every link to AItem.
  void RemoveLinks(TuiNavBarItem* AItem);
  void ClearLinks();
  int LinkCount() const;
  TuiNavBarItemLink* Links(int Index) const;
  TuiNavBarItemLinks* LinksCollection() const { return FLinks; }

  bool Expandable() const { return FExpandable; }
  void SetExpandable(bool Value) { FExpandable = Value; }
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  bool LinksUseSmallImages() const { return FLinksUseSmallImages; }
  void SetLinksUseSmallImages(bool Value);
  // The selected link's index, -1 for none. While loading the value is
  // kept and applied in Loaded.
  int SelectedLinkIndex() const;
  void SetSelectedLinkIndex(int Value);
  TuiNavBarItemLink* SelectedLink() const { return FSelectedLink; }
  bool ShowAsIconView() const { return FShowAsIconView; }
  void SetShowAsIconView(bool Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  bool ShowControl() const { return FShowControl; }
  void SetShowControl(bool Value);
  bool ShowExpandButton() const { return FShowExpandButton; }
  void SetShowExpandButton(bool Value);
  int TopVisibleLinkIndex() const { return FTopVisibleLinkIndex; }
  void SetTopVisibleLinkIndex(int Value);
  bool UseControl() const { return FUseControl; }
  void SetUseControl(bool Value);
  bool UseSmallImages() const { return FUseSmallImages; }
  void SetUseSmallImages(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  // Styles by index: Background, Control, Header, HeaderActive,
  // HeaderActiveHotTracked, HeaderActivePressed, HeaderHotTracked,
  // HeaderPressed.
  TuiNavBarStyleItem* GroupStyle(int Index) const { return FStyles[Index]; }
  void SetGroupStyle(int Index, TuiNavBarStyleItem* Value);
  TuiNavBarStyleItem* StyleBackground() const { return FStyles[0]; }
  TuiNavBarStyleItem* StyleControl() const { return FStyles[1]; }
  TuiNavBarStyleItem* StyleHeader() const { return FStyles[2]; }
  TuiNavBarStyleItem* StyleHeaderActive() const { return FStyles[3]; }
  TuiNavBarStyleItem* StyleHeaderActiveHotTracked() const { return FStyles[4]; }
  TuiNavBarStyleItem* StyleHeaderActivePressed() const { return FStyles[5]; }
  TuiNavBarStyleItem* StyleHeaderHotTracked() const { return FStyles[6]; }
  TuiNavBarStyleItem* StyleHeaderPressed() const { return FStyles[7]; }

  TuiNavBarGroupControl* Control() const { return FControl; }

  TNotifyEvent OnCollapsed;
  TNotifyEvent OnExpanded;
  TNotifyEvent OnSelectedLinkChanged;
  TNotifyEvent OnTopVisibleLinkChanged;

  static constexpr const char* StyleNames[GroupStyleCount] = {
      "StyleBackground",      "StyleControl",         "StyleHeader",           "StyleHeaderActive",
      "StyleHeaderActiveHotTracked", "StyleHeaderActivePressed", "StyleHeaderHotTracked", "StyleHeaderPressed"};

  QV_PUBLISHED(TuiNavBarGroup) {
    using G = TuiNavBarGroup;
    P.Prop("Caption", &G::Caption, &G::SetCaption);
    P.Prop("Expandable", &G::Expandable, &G::SetExpandable).Default(true);
    P.Prop("Expanded", &G::Expanded, &G::SetExpanded).Default(true);
    P.Prop("Hint", &G::Hint, &G::SetHint);
    P.Prop("LargeImageIndex", &G::LargeImageIndex, &G::SetLargeImageIndex).Default(-1);
    P.Prop("LinksUseSmallImages", &G::LinksUseSmallImages, &G::SetLinksUseSmallImages);
    P.Prop("SelectedLinkIndex", &G::SelectedLinkIndex, &G::SetSelectedLinkIndex);
    P.Prop("ShowAsIconView", &G::ShowAsIconView, &G::SetShowAsIconView);
    P.Prop("ShowControl", &G::ShowControl, &G::SetShowControl);
    P.Prop("ShowCaption", &G::ShowCaption, &G::SetShowCaption).Default(true);
    P.Prop("ShowExpandButton", &G::ShowExpandButton, &G::SetShowExpandButton).Default(true);
    P.Prop("SmallImageIndex", &G::SmallImageIndex, &G::SetSmallImageIndex).Default(-1);
    publishStyles(P, std::make_integer_sequence<int, GroupStyleCount>{});
    P.Prop("TopVisibleLinkIndex", &G::TopVisibleLinkIndex, &G::SetTopVisibleLinkIndex);
    P.Prop("UseControl", &G::UseControl, &G::SetUseControl);
    P.Prop("UseSmallImages", &G::UseSmallImages, &G::SetUseSmallImages);
    P.Prop("Visible", &G::Visible, &G::SetVisible);
    P.Event("OnClick", &G::OnClick);
    P.Event("OnCollapsed", &G::OnCollapsed);
    P.Event("OnExpanded", &G::OnExpanded);
    P.Event("OnSelectedLinkChanged", &G::OnSelectedLinkChanged);
    P.Event("OnTopVisibleLinkChanged", &G::OnTopVisibleLinkChanged);
  }

 protected:
  virtual void CreateControl();
  virtual void DestroyControl();
  // Links both ways when the group is in a collection and AControl sits on
  // the group's navigation bar.
  virtual void AttachControl(TuiNavBarGroupControl* AControl);
  virtual void DetachControl();
  virtual void DoExpanded();
  virtual void DoCollapsed();
  virtual void DoSelectedLinkChanged();
  virtual void DoTopVisibleLinkChanged();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DefineProperties(TFiler* Filer) override;

 private:
  // Events of the group are not raised while it or its bar loads, or while
  // either is being destroyed.
  bool canRaiseEvents() const;
  // The group or its bar is loading.
  bool barLoading() const;
  void linkCreated(TuiNavBarItemLink* Link);
  void linkDestroyed(TuiNavBarItemLink* Link);
  void removeLinksTo(const TComponent* AItem);
  void controlDestroyed(TuiNavBarGroupControl* AControl);
  template <int I>
  TuiNavBarStyleItem* styleAt() const {
    return FStyles[I];
  }
  template <int I>
  void setStyleAt(TuiNavBarStyleItem* Value) {
    SetGroupStyle(I, Value);
  }
  template <int... I>
  static void publishStyles(qv::classlib::TPublisher<TuiNavBarGroup>& P, std::integer_sequence<int, I...>) {
    (P.Prop(StyleNames[I], &TuiNavBarGroup::styleAt<I>, &TuiNavBarGroup::setStyleAt<I>), ...);
  }

  TuiNavBarItemLinks* FLinks;
  TuiNavBarGroupControl* FControl = nullptr;
  TuiNavBarItemLink* FSelectedLink = nullptr;
  int FLoadedSelectedLinkIndex = -1;
  bool FExpandable = true;
  bool FExpanded = true;
  bool FLinksUseSmallImages = true;
  bool FShowAsIconView = false;
  bool FShowCaption = true;
  bool FShowControl = false;
  bool FShowExpandButton = true;
  int FTopVisibleLinkIndex = 0;
  bool FUseControl = false;
  bool FUseSmallImages = true;
  bool FVisible = true;
  TuiNavBarStyleItem* FStyles[GroupStyleCount] = {};

  friend class TuiNavBarItemLink;
  friend class TuiNavBarItemLinks;
  friend class TuiNavBarGroupControl;
  // A layout being loaded hands group controls from group to group.
  friend class TuiCustomNavBar;
};

// ---------------------------------------------------------------------------
// The link between an item and its action: the action drives a property of
// the item while the item's value still equals the action's.
class TuiNavBarItemActionLink : public TActionLink {
  QV_CLASS(TuiNavBarItemActionLink, TActionLink)
  explicit TuiNavBarItemActionLink(TObject* AClient);

  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  // The action's one image index must equal both of the item's.
  bool IsImageIndexLinked() override;
  bool IsVisibleLinked() override;

  void SetCaption(std::string Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(std::string Value) override;
  // Sets both image indexes.
  void SetImageIndex(int Value) override;
  void SetVisible(bool Value) override;

 protected:
  void AssignClient(TObject* AClient) override;

 private:
  TuiNavBarItem* FClient = nullptr;
};

// An item: what a link shows and what a click on it runs.
class TuiNavBarItem : public TuiNavBarCustomItem {
  QV_CLASS(TuiNavBarItem, TuiNavBarCustomItem)
  static constexpr int ItemStyleCount = 4;

  explicit TuiNavBarItem(TComponent* AOwner) : TuiNavBarCustomItem(AOwner) {}
  ~TuiNavBarItem() override;

  TlkComponentCollection* CollectionOfParent(TComponent* AParent) override;
  void Assign(TPersistent* Source) override;

  TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
  void SetAction(TBasicAction* Value);
  TuiNavBarItemActionLink* ActionLink() const { return FActionLink; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  // Styles by index: Style, StyleDisabled, StyleHotTracked, StylePressed.
  TuiNavBarStyleItem* ItemStyle(int Index) const { return FStyles[Index]; }
  void SetItemStyle(int Index, TuiNavBarStyleItem* Value);
  TuiNavBarStyleItem* Style() const { return FStyles[0]; }
  TuiNavBarStyleItem* StyleDisabled() const { return FStyles[1]; }
  TuiNavBarStyleItem* StyleHotTracked() const { return FStyles[2]; }
  TuiNavBarStyleItem* StylePressed() const { return FStyles[3]; }

  // The item's part of a click on one of its links: its OnClick when set,
  // otherwise its action, executed for the item. False when it has neither,
  // and the control raises its own link-click event instead. The control
  // does not click the links of a disabled item.
  bool Click();

  // The action's values; with ACheckDefaults only into values the item
  // still has at their defaults.
  virtual void ActionChange(TObject* Sender, bool ACheckDefaults);

  static constexpr const char* StyleNames[ItemStyleCount] = {"Style", "StyleDisabled", "StyleHotTracked",
                                                             "StylePressed"};

  QV_PUBLISHED(TuiNavBarItem) {
    using I = TuiNavBarItem;
    P.Prop("Action", &I::Action, &I::SetAction);
    P.Prop("Caption", &I::Caption, &I::SetCaption).Stored(&I::isCaptionStored);
    P.Prop("Enabled", &I::Enabled, &I::SetEnabled).Default(true).Stored(&I::isEnabledStored);
    P.Prop("Hint", &I::Hint, &I::SetHint).Stored(&I::isHintStored);
    P.Prop("LargeImageIndex", &I::LargeImageIndex, &I::SetLargeImageIndex).Default(-1).Stored(&I::isImageIndexStored);
    P.Prop("SmallImageIndex", &I::SmallImageIndex, &I::SetSmallImageIndex).Default(-1).Stored(&I::isImageIndexStored);
    publishStyles(P, std::make_integer_sequence<int, ItemStyleCount>{});
    P.Prop("Visible", &I::Visible, &I::SetVisible).Default(true).Stored(&I::isVisibleStored);
    P.Event("OnClick", &I::OnClick);
  }

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  bool isCaptionStored() const { return !FActionLink || !FActionLink->IsCaptionLinked(); }
  bool isEnabledStored() const { return !FActionLink || !FActionLink->IsEnabledLinked(); }
  bool isHintStored() const { return !FActionLink || !FActionLink->IsHintLinked(); }
  bool isImageIndexStored() const { return !FActionLink || !FActionLink->IsImageIndexLinked(); }
  bool isVisibleStored() const { return !FActionLink || !FActionLink->IsVisibleLinked(); }
  void actionChanged(TObject* Sender);
  template <int I>
  TuiNavBarStyleItem* styleAt() const {
    return FStyles[I];
  }
  template <int I>
  void setStyleAt(TuiNavBarStyleItem* Value) {
    SetItemStyle(I, Value);
  }
  template <int... I>
  static void publishStyles(qv::classlib::TPublisher<TuiNavBarItem>& P, std::integer_sequence<int, I...>) {
    (P.Prop(StyleNames[I], &TuiNavBarItem::styleAt<I>, &TuiNavBarItem::setStyleAt<I>), ...);
  }

  TuiNavBarItemActionLink* FActionLink = nullptr;
  bool FEnabled = true;
  bool FVisible = true;
  TuiNavBarStyleItem* FStyles[ItemStyleCount] = {};
};

// ---------------------------------------------------------------------------
class TuiNavBarCustomItems : public TuiNavBarComponentCollection {
  QV_CLASS(TuiNavBarCustomItems, TuiNavBarComponentCollection)
  TuiNavBarCustomItems(TComponent* AParentComponent, TClass AItemClass)
      : TuiNavBarComponentCollection(AParentComponent, AItemClass) {}

  TuiNavBarCustomItem* Items(int Index) const { return static_cast<TuiNavBarCustomItem*>(ItemAt(Index)); }
  // The first item whose Caption is exactly the text, or null.
  TuiNavBarCustomItem* ItemByCaption(const std::string& ACaption) const;
};

using TuiNavBarLinksChangeEvent = std::function<void(TObject* Sender, TuiNavBarItemLink* Link)>;

class TuiNavBarGroups : public TuiNavBarCustomItems {
  QV_CLASS(TuiNavBarGroups, TuiNavBarCustomItems)
  explicit TuiNavBarGroups(TComponent* AParentComponent, TClass AItemClass = TuiNavBarGroup::StaticClass())
      : TuiNavBarCustomItems(AParentComponent, AItemClass) {}
  // The groups go silently, without link reports.
  ~TuiNavBarGroups() override;

  TuiNavBarGroup* Add() { return static_cast<TuiNavBarGroup*>(AddItem()); }
  TuiNavBarGroup* Items(int Index) const { return static_cast<TuiNavBarGroup*>(ItemAt(Index)); }

  void BeginChanges() override;
  void EndChanges(bool Force) override;
  bool Updating() const { return FUpdateCount > 0; }

  // A link of some group was created or is going; not while updating.
  TuiNavBarLinksChangeEvent OnLinksChange;

 private:
  void linksChanged(TuiNavBarItemLink* Link);
  int FUpdateCount = 0;
  friend class TuiNavBarGroup;
};

class TuiNavBarItems : public TuiNavBarCustomItems {
  QV_CLASS(TuiNavBarItems, TuiNavBarCustomItems)
  explicit TuiNavBarItems(TComponent* AParentComponent, TClass AItemClass = TuiNavBarItem::StaticClass())
      : TuiNavBarCustomItems(AParentComponent, AItemClass) {}

  TuiNavBarItem* Add() { return static_cast<TuiNavBarItem*>(AddItem()); }
  TuiNavBarItem* Items(int Index) const { return static_cast<TuiNavBarItem*>(ItemAt(Index)); }
};

// ---------------------------------------------------------------------------
// The panel a group shows in place of its links. The view positions it;
// it keeps the height its user gave it as OriginalHeight.
class TuiNavBarGroupControl : public TCustomPanel {
  QV_CLASS(TuiNavBarGroupControl, TCustomPanel)
  explicit TuiNavBarGroupControl(TComponent* AOwner);
  // Tells its group, which turns UseControl off.
  ~TuiNavBarGroupControl() override;

  TuiNavBarGroup* Group() const { return FGroup; }
  int OriginalHeight() const { return FOriginalHeight; }
  bool UseStyle() const { return FUseStyle; }
  void SetUseStyle(bool Value);

  // The view information places the control: visibility and bounds under
  // the positioning lock, keeping OriginalHeight.
  void AdjustControl(const TRect& ARect, bool AVisible);

  // Null, or (outside loading) the group's navigation bar; anything else
  // raises.
  void SetParent(TWinControl* AParent) override;
  // Records the height asked for; applied while visible or positioned.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // After its properties: the reading parent must be a navigation bar whose
  // group at "GroupIndex" has no other control.
  void ReadState(TReader* Reader) override;

  QV_PUBLISHED(TuiNavBarGroupControl) {
    P.Prop("UseStyle", &TuiNavBarGroupControl::UseStyle, &TuiNavBarGroupControl::SetUseStyle).Default(false);
  }

 protected:
  void Paint() override;
  void CMVisibleChanged(TMessage& Message) override;
  void DefineProperties(TFiler* Filer) override;

 private:
  TuiNavBarGroup* FGroup = nullptr;
  int FGroupIndex = -1;
  int FOriginalHeight = 0;
  int FPositioning = 0;
  bool FUseStyle = false;
  friend class TuiNavBarGroup;
};
