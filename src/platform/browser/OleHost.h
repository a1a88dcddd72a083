// The control's side of its host site: the interfaces it finds on the site
// given to SetClientSite and the calls it makes on them. Each call gives the
// answer a site without that interface would give, so the control's code
// reads the same with or without a host.
#pragma once

#include <optional>
#include <string>

#include "platform/browser/OleInterfaces.h"

namespace qv::browser {

class HostSite {
 public:
  void attach(IOleClientSite* site);  // nullptr detaches
  IOleClientSite* site() const { return site_.get(); }
  bool attached() const { return static_cast<bool>(site_); }

  // TranslateUrl(0, ...): the host's replacement (UTF-8), or nullopt.
  std::optional<std::string> translateUrl(const std::string& url);
  // GetHostInfo with cbSize filled in; false without a UI handler or on failure.
  bool getHostInfo(DOCHOSTUIINFO& info);
  // The ambient DLCONTROL property (DISPID -5512) through the site's IDispatch.
  std::optional<DWORD> ambientDownloadControl();
  // S_FALSE without a UI handler: the control shows its own menu.
  HRESULT showContextMenu(DWORD id, POINT pt, IDispatch* object);
  // OLECMDERR_E_NOTSUPPORTED without a command target.
  HRESULT exec(const GUID* group, DWORD id, DWORD option, VARIANT* in, VARIANT* out);
  // TranslateAccelerator: S_OK when the host has taken the key.
  HRESULT translateAccelerator(MSG& msg);
  // S_FALSE without IDocHostShowUI: the control shows its own message box.
  HRESULT showMessage(HWND hwnd, const std::string& text, const std::string& caption, DWORD type, LRESULT* result);
  // S_FALSE without IDocHostShowUI: the control shows its own help.
  HRESULT showHelp(HWND hwnd, POINT mouse);

 private:
  qv::com::ComPtr<IOleClientSite> site_;
  qv::com::ComPtr<IDocHostUIHandler> ui_;
  qv::com::ComPtr<IDocHostShowUI> showUi_;
  qv::com::ComPtr<IOleCommandTarget> commands_;
  qv::com::ComPtr<IServiceProvider> services_;
  qv::com::ComPtr<IDispatch> ambient_;
};

}  // namespace qv::browser
