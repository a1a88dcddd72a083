// The class library's ActnList unit: actions, action lists and the links
// that tie a client (a control, a menu item, a navigation-bar item) to an
// action.
//
// An action holds what its clients show (Caption, Enabled, Checked ...) and
// what they do (OnExecute). Each client has an action link; when a value of
// a custom action changes, the action tells every link first, and the link
// passes the new value to its client only while that property is linked:
// while the client's value still equals the action's old value. A client
// that was given its own caption keeps it.
//
// Execute asks the action's list first (its OnExecute may handle it), then
// the action's own OnExecute. Update does the same with OnUpdate; it runs
// for every action that has a visible client whenever the program is idle
// (qv::classlib::updateActionsIdle, called from the application's idle
// handling).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/Menus.h"

class TBasicAction;
class TCustomActionList;

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

// ---------------------------------------------------------------------------
class TBasicActionLink : public TObject {
  QV_CLASS(TBasicActionLink, TObject)
  explicit TBasicActionLink(TObject* AClient);
  ~TBasicActionLink() override;

  TBasicAction* Action() const { return FAction; }
  // Registers with the new action (and leaves the old one).
  virtual void SetAction(TBasicAction* Value);
  // The action's Execute, with AComponent as its ActionComponent.
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  TObject* Client() const { return FClient; }

  // Called when the action changes (after the linked values went out).
  TNotifyEvent OnChange;

 protected:
  virtual void AssignClient(TObject* AClient) { FClient = AClient; }
  virtual void Change();

  TBasicAction* FAction = nullptr;
  TObject* FClient = nullptr;
  friend class TBasicAction;
};

// ---------------------------------------------------------------------------
class TBasicAction : public TComponent {
  QV_CLASS(TBasicAction, TComponent)
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  // True when a handler ran.
  virtual bool Execute();
  virtual bool Update();
  // The client that executes the action now (set by the link).
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value);

  void RegisterChanges(TBasicActionLink* Value);
  void UnRegisterChanges(TBasicActionLink* Value);
  const std::vector<TBasicActionLink*>& Clients() const { return FClients; }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

  QV_PUBLISHED(TBasicAction) {
    P.Event("OnExecute", &TBasicAction::OnExecute);
    P.Event("OnUpdate", &TBasicAction::OnUpdate);
  }

 protected:
  // Tells every link that the action changed.
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;

  std::vector<TBasicActionLink*> FClients;

 private:
  TComponent* FActionComponent = nullptr;
};

// ---------------------------------------------------------------------------
class TContainedAction : public TBasicAction {
  QV_CLASS(TContainedAction, TBasicAction)
  explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  ~TContainedAction() override;

  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* Value);
  const std::string& Category() const { return FCategory; }
  void SetCategory(const std::string& Value) { FCategory = Value; }
  // The place in the list; -1 without one.
  int Index() const;

  // The list's OnExecute or OnUpdate first; the action's own when the list
  // did not handle it.
  bool Execute() override;
  bool Update() override;

  QV_PUBLISHED(TContainedAction) { P.Prop("Category", &TContainedAction::Category, &TContainedAction::SetCategory); }

 private:
  TCustomActionList* FActionList = nullptr;
  std::string FCategory;
  friend class TCustomActionList;
};

// ---------------------------------------------------------------------------
class TCustomAction : public TContainedAction {
  QV_CLASS(TCustomAction, TContainedAction)
  explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool Checked() const { return FChecked; }
  // Checking an action of a group (GroupIndex > 0) unchecks the others of
  // that group in the same list.
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value);

  // Updates first; a disabled action does nothing (false). AutoCheck
  // toggles Checked before the handlers run.
  bool Execute() override;

  QV_PUBLISHED(TCustomAction) {
    P.Prop("AutoCheck", &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck).Default(false);
    P.Prop("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
    P.Prop("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked).Default(false);
    P.Prop("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled).Default(true);
    P.Prop("GroupIndex", &TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex).Default(0);
    P.Prop("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext).Default(0);
    P.Prop("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
    P.Prop("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex).Default(-1);
    P.Prop("ShortCut", &TCustomAction::ShortCut, &TCustomAction::SetShortCut).Default(0);
    P.Prop("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible).Default(true);
  }

 private:
  std::string FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  std::string FHint;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  int FGroupIndex = 0;
  bool FAutoCheck = false;
  int FHelpContext = 0;
};

class TAction : public TCustomAction {
  QV_CLASS(TAction, TCustomAction)
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// ---------------------------------------------------------------------------
// The link a client of a custom action holds. Each Is...Linked answers
// whether the action drives that property; each Set... is the action
// pushing a new value, applied only to a linked property. The base links
// every property of a custom action and has no client to apply it to.
class TActionLink : public TBasicActionLink {
  QV_CLASS(TActionLink, TBasicActionLink)
  explicit TActionLink(TObject* AClient) : TBasicActionLink(AClient) {}

  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsHelpContextLinked();
  virtual bool IsHintLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsVisibleLinked();
  virtual bool IsOnExecuteLinked();
  virtual bool IsAutoCheckLinked();

  virtual void SetCaption(std::string Value) { (void)Value; }
  virtual void SetChecked(bool Value) { (void)Value; }
  virtual void SetEnabled(bool Value) { (void)Value; }
  virtual void SetHelpContext(int Value) { (void)Value; }
  virtual void SetHint(std::string Value) { (void)Value; }
  virtual void SetImageIndex(int Value) { (void)Value; }
  virtual void SetShortCut(TShortCut Value) { (void)Value; }
  virtual void SetVisible(bool Value) { (void)Value; }
  virtual void SetGroupIndex(int Value) { (void)Value; }
  virtual void SetAutoCheck(bool Value) { (void)Value; }

 protected:
  // The action as a custom action; null for any other.
  TCustomAction* custom() const;
};

// A control as the client: Caption, Enabled, Hint and Visible are linked
// while the control's value equals the action's; its OnClick runs the
// action while the control has no OnClick of its own.
class TControlActionLink : public TActionLink {
  QV_CLASS(TControlActionLink, TActionLink)
  explicit TControlActionLink(TObject* AClient);

  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;

  void SetCaption(std::string Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(std::string Value) override;
  void SetVisible(bool Value) override;

 protected:
  void AssignClient(TObject* AClient) override;
  TControl* FControl = nullptr;
};

// ---------------------------------------------------------------------------
class TCustomActionList : public TComponent {
  QV_CLASS(TCustomActionList, TComponent)
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;

  int ActionCount() const { return static_cast<int>(FActions.size()); }
  // EListError for an index out of range.
  TContainedAction* Actions(int Index) const;
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);

  // The list's OnExecute / OnUpdate; true when it handled the action.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::vector<TContainedAction*> FActions;
  TCustomImageList* FImages = nullptr;
  friend class TContainedAction;
};

class TActionList : public TCustomActionList {
  QV_CLASS(TActionList, TCustomActionList)
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}

  QV_PUBLISHED(TActionList) {
    P.Prop("Images", &TCustomActionList::Images, &TCustomActionList::SetImages);
    P.Event("OnChange", &TCustomActionList::OnChange);
    P.Event("OnExecute", &TCustomActionList::OnExecute);
    P.Event("OnUpdate", &TCustomActionList::OnUpdate);
  }
};

namespace qv::classlib {

// The idle action update: every action link whose client is showing (a
// control that is Showing, or any client that is not a control) updates its
// action, so that OnUpdate handlers can enable and check what the clients
// show. Answers the number of links updated.
int updateActionsIdle();

}  // namespace qv::classlib
