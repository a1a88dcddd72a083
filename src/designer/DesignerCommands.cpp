// The designer's commands that reach outside the project file, the welcome
// page's handlers, the update check, the user's own web browser and the two
// header logos.
#include <cstring>
#include <memory>

#include "browserhost/WebHost.h"
#include "designer/DesignerMain.h"
#include "designer/DesignerStrings.h"
#include "designer/EasterEggForm.h"
#include "designer/KelvuSystem.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/Dialogs.h"
#include "platform/classlib/Registry.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/SysUtils.h"
#include "platform/com/Bstr.h"
#include "platform/com/Ole.h"
#include "platform/com/Variant.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Process.h"
#include "platform/os/kernel/Shell.h"
#include "runtime/rsFileVersion.h"

namespace {

// The designer program's own version as "4.0.1"; empty when its file has
// no version block.
std::string designerVersion() {
  TrsFileVersion version;
  version.ReadFromFile(ParamStr(0));
  return version.Version;
}

bool shellFailed(HINSTANCE Result) { return reinterpret_cast<INT_PTR>(Result) <= 32; }

std::string variantText(const VARIANT& Value) {
  if (Value.vt == VT_BSTR) return qv::com::bstrToAnsi(Value.bstrVal);
  return qv::com::Variant(Value).toString().value_or("");
}

// A folder ending in a backslash, as one quoted argument. The backslash
// before the closing quote is doubled: undoubled, it would escape the
// quote, and the tool would get the folder and everything after it as
// one argument.
std::string quotedFolder(const std::string& Folder) {
  std::string text = Folder;
  std::size_t trailing = 0;
  while (trailing < text.size() && text[text.size() - 1 - trailing] == '\\') ++trailing;
  text.append(trailing, '\\');
  return "\"" + text + "\"";
}

}  // namespace

std::string TQVDesigner::designerFolder() { return ExtractFilePath(ParamStr(0)); }

// ---------------------------------------------------------------------------
void TQVDesigner::BtnDeployRuntimeClick(TObject*) {
  if (MessageDlg(DesignerStr(sDeployQuestion), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes) {
    // The shell's lists end with a second terminating zero.
    std::string from = designerFolder() + "Qvlaunch.exe";
    from.push_back('\0');
    std::string to = FProjectDir + AutorunFileEdit->Text();
    to.push_back('\0');
    SHFILEOPSTRUCT operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_SIMPLEPROGRESS;
    if (SHFileOperation(&operation) != 0) errorBox(DesignerStr(sCopyFailed), false);
  }
  updateExecuteButton();
}

void TQVDesigner::BtnExecuteClick(TObject*) {
  // A save that wrote nothing leaves the author to choose before the run.
  if (FModified && MessageDlg(DesignerStr(sSaveBeforeRun), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes &&
      !SaveProject())
    return;
  const std::string program = FProjectDir + AutorunFileEdit->Text();
  if (!FileExists(program)) {
    MessageDlg(DesignerStr(sRuntimeNotDeployed), mtWarning, TMsgDlgButtons{mbOK}, 0);
    return;
  }
  // Quoted, so that a project folder with blanks in its path still names
  // the program rather than the part before the first blank.
  const std::string command = "\"" + program + "\"";
  const UINT result = WinExec(command.c_str(), SW_SHOW);
  if (result <= 32) errorBox(Format(DesignerStr(sRunFailed), {IntToStr(result)}), false);
}

void TQVDesigner::StartTrawlbuildButtonClick(TObject*) {
  const std::string tool = designerFolder() + "Trawlbuild.exe";
  if (!FileExists(tool)) {
    errorBox(DesignerStr(sSearchEngineMissing), false);
    return;
  }
  const std::string parameters = quotedFolder(FProjectDir) + " \"" + ExtSearchIndexED->Text() + "\"";
  if (shellFailed(ShellExecute(Handle(), "open", tool.c_str(), parameters.c_str(), "", SW_SHOW)))
    errorBox(DesignerStr(sShellExecuteError), false);
}

void TQVDesigner::BtnHelpClick(TObject*) {
  const std::string help = designerFolder() + "Quorvel.chm";
  if (!FileExists(help)) {
    errorBox(DesignerStr(sHelpFileMissing), false);
    return;
  }
  ShellExecute(Handle(), "open", help.c_str(), "", "", SW_SHOW);
}

void TQVDesigner::BtnInfoClick(TObject*) {
  const std::string text = "Quorvel Designer (Version " + designerVersion() + ")\r\n\r\n" +
                           DesignerStr(sInfoCopyright) + "\r\n\r\n" + DesignerStr(sInfoAddress);
  MessageDlg(text, mtInformation, TMsgDlgButtons{mbOK}, 0);
}

// ---------------------------------------------------------------------------
void TQVDesigner::WelcomeBrowserBeforeNavigate2(TObject*, IDispatch*, const VARIANT& URL, const VARIANT&,
                                                const VARIANT&, const VARIANT&, const VARIANT&, bool& Cancel) {
  const std::string url = variantText(URL);
  if (url.rfind("action:", 0) != 0) return;
  // The page's commands are never pages.
  Cancel = true;
  const std::string action = url.substr(7);
  if (action == "onlinehelp")
    BtnHelpClick(BtnHelp);
  else if (action == "checkupdates")
    CheckForUpdates();
}

HRESULT TQVDesigner::WelcomeBrowserShowContextMenu(DWORD, const POINT*, IUnknown*, IDispatch*) { return S_OK; }

HRESULT TQVDesigner::WelcomeBrowserTranslateUrl(DWORD, LPCOLESTR pchURLIn, LPOLESTR& ppchURLOut) {
  if (pchURLIn == nullptr || std::u16string_view(pchURLIn) != u"online:news" || FKelvu == nullptr) return S_FALSE;
  const std::string address = FKelvu->BuildServiceUrl("news");
  const int length = MultiByteToWideChar(CP_ACP, 0, address.c_str(), -1, nullptr, 0);
  if (length <= 0) return S_FALSE;
  auto* buffer = static_cast<LPOLESTR>(CoTaskMemAlloc(static_cast<SIZE_T>(length) * sizeof(OLECHAR)));
  if (buffer == nullptr) return E_OUTOFMEMORY;
  MultiByteToWideChar(CP_ACP, 0, address.c_str(), -1, buffer, length);
  ppchURLOut = buffer;
  return S_OK;
}

// ---------------------------------------------------------------------------
void TQVDesigner::CheckForUpdates() {
  const std::string request = std::string("QVD4") + "+" + designerVersion() + "+";
  OpenInExternalBrowser(DesignerStr(sUpdatePage) + "?request=" + EncodeUpdateRequest(request));
}

char TQVDesigner::MapRequestChar(char C) {
  // The update page holds the same table to read the request back; its
  // values must never change.
  static constexpr char kFrom[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.";
  static constexpr char kTo[] = "qwertyuiopasdfghjklzxcvbnm!$'()*,:;=@_~";
  static_assert(sizeof kFrom == 40 && sizeof kTo == 40);
  if (C == '\0') return '^';
  if (const char* at = std::strchr(kFrom, C)) return kTo[at - kFrom];
  return '^';
}

std::string TQVDesigner::EncodeUpdateRequest(const std::string& Text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : Text) {
    const auto mapped = static_cast<unsigned char>(MapRequestChar(c));
    if (mapped < 33 || mapped > 128 || std::strchr("*#%<> []", static_cast<char>(mapped)) != nullptr) {
      out += '%';
      out += kHex[mapped >> 4];
      out += kHex[mapped & 15];
    } else {
      out += static_cast<char>(mapped);
    }
  }
  return out;
}

std::string TQVDesigner::GetBrowserOpenCommand() {
  TRegistry registry(KEY_READ);
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  if (!registry.OpenKeyReadOnly("\\http\\shell\\open\\command")) return {};
  return registry.ReadString("");
}

void TQVDesigner::OpenInExternalBrowser(const std::string& Address) {
  std::string command = GetBrowserOpenCommand();
  if (!command.empty()) {
    const std::size_t placeholder = command.find("%1");
    if (placeholder != std::string::npos)
      command.replace(placeholder, 2, Address);
    else
      command += " \"" + Address + "\"";
    const UINT result = WinExec(command.c_str(), SW_SHOW);
    if (result < 32) errorBox(Format(DesignerStr(sBrowserStartFailed), {IntToStr(result), Address}), false);
    return;
  }
  const HINSTANCE result = ShellExecute(Handle(), "open", Address.c_str(), nullptr, nullptr, SW_SHOW);
  if (shellFailed(result))
    errorBox(Format(DesignerStr(sShellBrowserStartFailed),
                    {IntToStr(static_cast<std::int64_t>(reinterpret_cast<INT_PTR>(result))), Address}),
             false);
}

void TQVDesigner::HalvestaLogoClick(TObject*) {
  ShellExecute(Handle(), "open", DesignerStr(sMakerPage).c_str(), "", "", SW_SHOW);
}

void TQVDesigner::LogoImageClick(TObject*) {
  std::unique_ptr<TEasterEgg> dialog(qv::classlib::newForm<TEasterEgg>(this));
  dialog->ShowModal();
}
