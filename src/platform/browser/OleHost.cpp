#include "platform/browser/OleHost.h"

#include "platform/browser/HtmlDispatch.h"
#include "platform/com/Ole.h"
#include "platform/os/user/HtmlHelp.h"

namespace qv::browser {
namespace {

template <class I>
qv::com::ComPtr<I> query(IUnknown* from) {
  qv::com::ComPtr<I> out;
  if (from) from->QueryInterface(I::Iid, out.putVoid());
  return out;
}

}  // namespace

void HostSite::attach(IOleClientSite* site) {
  site_ = site;
  // A site offering the newer UI handler answers the older one as well; the
  // control only needs the older one's methods.
  ui_ = query<IDocHostUIHandler2>(site);
  if (!ui_) ui_ = query<IDocHostUIHandler>(site);
  showUi_ = query<IDocHostShowUI>(site);
  commands_ = query<IOleCommandTarget>(site);
  services_ = query<IServiceProvider>(site);
  ambient_ = query<IDispatch>(site);
}

std::optional<std::string> HostSite::translateUrl(const std::string& url) {
  if (!ui_) return std::nullopt;
  BSTR in = utf8ToBstr(url);
  OLECHAR* out = nullptr;
  const HRESULT hr = ui_->TranslateUrl(0, in, &out);
  SysFreeString(in);
  std::optional<std::string> result;
  if (hr == S_OK && out) {
    std::u16string_view v(out);
    BSTR copy = SysAllocStringLen(v.data(), static_cast<UINT>(v.size()));
    result = bstrToUtf8(copy);
    SysFreeString(copy);
  }
  if (out) CoTaskMemFree(out);
  return result;
}

bool HostSite::getHostInfo(DOCHOSTUIINFO& info) {
  info = DOCHOSTUIINFO{};
  info.cbSize = sizeof(DOCHOSTUIINFO);
  if (!ui_) return false;
  return SUCCEEDED(ui_->GetHostInfo(&info));
}

std::optional<DWORD> HostSite::ambientDownloadControl() {
  if (!ambient_) return std::nullopt;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  qv::com::Variant result;
  const HRESULT hr =
      ambient_->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.put(), nullptr, nullptr);
  if (FAILED(hr)) return std::nullopt;
  const auto v = result.toInt();
  if (!v) return std::nullopt;
  return static_cast<DWORD>(*v);
}

HRESULT HostSite::showContextMenu(DWORD id, POINT pt, IDispatch* object) {
  if (!ui_) return S_FALSE;
  return ui_->ShowContextMenu(id, &pt, nullptr, object);
}

HRESULT HostSite::exec(const GUID* group, DWORD id, DWORD option, VARIANT* in, VARIANT* out) {
  if (!commands_) return OLECMDERR_E_NOTSUPPORTED;
  return commands_->Exec(group, id, option, in, out);
}

HRESULT HostSite::translateAccelerator(MSG& msg) {
  if (!ui_) return S_FALSE;
  return ui_->TranslateAccelerator(&msg, nullptr, 0);
}

HRESULT HostSite::showMessage(HWND hwnd, const std::string& text, const std::string& caption, DWORD type,
                              LRESULT* result) {
  if (!showUi_) return S_FALSE;
  BSTR t = utf8ToBstr(text);
  BSTR c = utf8ToBstr(caption);
  const HRESULT hr = showUi_->ShowMessage(hwnd, t, c, type, nullptr, 0, result);
  SysFreeString(t);
  SysFreeString(c);
  return hr;
}

HRESULT HostSite::showHelp(HWND hwnd, POINT mouse) {
  if (!showUi_) return S_FALSE;
  return showUi_->ShowHelp(hwnd, nullptr, HH_DISPLAY_TOPIC, 0, mouse, nullptr);
}

}  // namespace qv::browser
