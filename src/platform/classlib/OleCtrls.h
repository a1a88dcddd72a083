// The class library's OLE control: a windowed control that holds an OLE
// object (an embeddable control such as the web browser), is the object's
// client site and places it inside its own window.
//
// Lifetime of the object:
// - it is made through the virtual CreateOleObject on first need; a
//   descendant whose object must exist from the start calls OleObjectNeeded()
//   in its own constructor (virtual calls reach only the class being
//   constructed, so the base's constructor cannot do it);
// - it gets its client site on first use after construction, and again each
//   time the control's window is made, so that the interfaces a descendant
//   answers through QueryHostInterface are the ones the object finds;
// - it is in-place active in the control's window while there is one, sized
//   to the client area, shown and hidden with the control; before the window
//   goes (SetParent(nullptr), RecreateWnd, destruction) it is deactivated, so
//   its own window survives and it keeps working without a parent;
// - the destructor closes it (the object releases the site) and releases it.
//
// The site is a COM object of its own with a pointer back to the control
// that the control clears when it dies, so references the object still holds
// never reach a freed control.
#pragma once

#include <string>

#include "platform/browser/OleInterfaces.h"
#include "platform/classlib/ComObj.h"
#include "platform/classlib/Controls.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"

// The in-place site a container offers to its embedded objects.
// {00000119-0000-0000-C000-000000000046}
inline constexpr IID IID_IOleInPlaceSite = {
    0x00000119, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct OLEINPLACEFRAMEINFO {
  UINT cb;
  BOOL fMDIApp;
  HWND hwndFrame;
  void* haccel;
  UINT cAccelEntries;
};
using LPOLEINPLACEFRAMEINFO = OLEINPLACEFRAMEINFO*;

struct IOleInPlaceSite : IOleWindow {
  static constexpr const IID& Iid = IID_IOleInPlaceSite;
  using Base = IOleWindow;
  virtual HRESULT CanInPlaceActivate() = 0;
  virtual HRESULT OnInPlaceActivate() = 0;
  virtual HRESULT OnUIActivate() = 0;
  virtual HRESULT GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                   LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) = 0;
  virtual HRESULT Scroll(SIZE scrollExtant) = 0;
  virtual HRESULT OnUIDeactivate(BOOL fUndoable) = 0;
  virtual HRESULT OnInPlaceDeactivate() = 0;
  virtual HRESULT DiscardUndoState() = 0;
  virtual HRESULT DeactivateAndUndo() = 0;
  virtual HRESULT OnPosRectChange(LPCRECT lprcPosRect) = 0;

 protected:
  ~IOleInPlaceSite() = default;
};

// Ambient properties a container answers through its site's IDispatch.
#ifndef DISPID_AMBIENT_BACKCOLOR
#define DISPID_AMBIENT_BACKCOLOR (-701)
#define DISPID_AMBIENT_DISPLAYNAME (-702)
#define DISPID_AMBIENT_FONT (-703)
#define DISPID_AMBIENT_FORECOLOR (-704)
#define DISPID_AMBIENT_LOCALEID (-705)
#define DISPID_AMBIENT_MESSAGEREFLECT (-706)
#define DISPID_AMBIENT_SCALEUNITS (-707)
#define DISPID_AMBIENT_TEXTALIGN (-708)
#define DISPID_AMBIENT_USERMODE (-709)
#define DISPID_AMBIENT_UIDEAD (-710)
#define DISPID_AMBIENT_SHOWGRABHANDLES (-711)
#define DISPID_AMBIENT_SHOWHATCHING (-712)
#define DISPID_AMBIENT_DISPLAYASDEFAULT (-713)
#define DISPID_AMBIENT_SUPPORTSMNEMONICS (-714)
#define DISPID_AMBIENT_AUTOCLIP (-715)
#endif

namespace qv::classlib {
class OleControlSite;
}  // namespace qv::classlib

class TOleControl : public TWinControl {
  QV_CLASS(TOleControl, TWinControl)
  explicit TOleControl(TComponent* AOwner);
  ~TOleControl() override;

  // The object (made on first need), or nullptr when it could not be made.
  IUnknown* OleObject() const;
  // Makes the object when there is none yet; EOleError when CreateOleObject
  // gives none.
  void OleObjectNeeded();

  // The host interfaces of this control beyond the site's own ones
  // (IOleClientSite, IOleWindow, IOleInPlaceSite, IDispatch). The site asks
  // here first for every interface it does not have itself, and for
  // IDispatch before its own ambient dispatch. Answer with a counted
  // reference in *ppv (S_OK) or E_NOINTERFACE. The object keeps what it gets
  // until it is closed: a descendant whose answers live in the descendant
  // itself calls CloseOleObject() first thing in its destructor.
  virtual HRESULT QueryHostInterface(REFIID iid, void** ppv);

  void WndProc(TMessage& Message) override;

 protected:
  // The object this control holds; the base has none to offer (nullptr).
  virtual qv::com::ComPtr<IUnknown> CreateOleObject();
  // The ambient properties, as the site's IDispatch::Invoke answers them, so
  // that a descendant's own Invoke can fall back to them. Property gets of
  // DISPID_AMBIENT_USERMODE (true outside design state), BACKCOLOR,
  // FORECOLOR, DISPLAYNAME, LOCALEID, MESSAGEREFLECT, UIDEAD,
  // SHOWGRABHANDLES, SHOWHATCHING, SUPPORTSMNEMONICS and AUTOCLIP;
  // everything else (DLCONTROL too) is DISP_E_MEMBERNOTFOUND, so that a
  // descendant decides.
  HRESULT InvokeAmbient(DISPID dispid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                        UINT* argErr);
  // Tells the object an ambient property changed (DISPID_UNKNOWN: several).
  void AmbientPropertyChanged(DISPID dispid);
  // Deactivates and closes the object; it releases the site. Idempotent.
  void CloseOleObject();
  // Gives the object its site now (it does so on first use otherwise).
  void AttachSite();
  // The object's in-place rectangle: the client area.
  TRect ObjectRect();

  void CreateWnd() override;
  void DestroyWnd() override;
  void WMSize(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;

  qv::com::ComPtr<IUnknown> FOleObject;
  qv::com::ComPtr<IOleObject> FOleObjectInterface;
  qv::com::ComPtr<IOleInPlaceObject> FOleInPlaceObject;
  qv::com::ComPtr<IOleControl> FOleControl;

 private:
  void activateInPlace();
  void deactivateInPlace();

  qv::com::ComPtr<qv::classlib::OleControlSite> FSite;
  bool FSiteAttached = false;
  bool FInPlace = false;
  bool FClosed = false;

  friend class qv::classlib::OleControlSite;
};
