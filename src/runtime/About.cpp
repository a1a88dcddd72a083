#include "runtime/About.h"

#include "platform/classlib/Registry.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Shell.h"
#include "platform/os/user/User.h"
#include "runtime/Browser.h"
#include "runtime/rsFileVersion.h"
#include "runtime/windowsversion.h"

#ifndef CS_DROPSHADOW
#define CS_DROPSHADOW 0x00020000
#endif

TAboutBox* AboutBox = nullptr;

namespace {
struct UnitStart {
  UnitStart() { RegisterClass(TAboutBox::StaticClass()); }
} unitStart;

// The box is 393 pixels high in full; the exit splash keeps its top strip.
constexpr int kFullHeight = 393;
constexpr int kShortHeight = 50;
constexpr int kShutdownTicks = 3;

std::string ownProgramFile() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileName(nullptr, path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}
}  // namespace

std::string ReadIEVersionValue(const std::string& Name) {
  try {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKeyReadOnly("Software\\Microsoft\\Internet Explorer")) return "";
    return reg.ReadString(Name);
  } catch (Exception&) {
    return "";
  }
}

TAboutBox* EnsureAboutBox() {
  if (AboutBox == nullptr) Application->CreateForm(AboutBox);
  return AboutBox;
}

void TAboutBox::Loaded() {
  inherited::Loaded();
  QuorvelSplashLogo = dynamic_cast<TImageShape*>(FindComponent("QuorvelSplashLogo"));
  AppName = dynamic_cast<TLabel*>(FindComponent("AppName"));
  VersionLabel = dynamic_cast<TLabel*>(FindComponent("VersionLabel"));
  IEVersionLabel = dynamic_cast<TLabel*>(FindComponent("IEVersionLabel"));
  Weblink = dynamic_cast<TLabel*>(FindComponent("Weblink"));
  Maillink = dynamic_cast<TLabel*>(FindComponent("Maillink"));
  OKButton = dynamic_cast<TButton*>(FindComponent("OKButton"));
  ShutdownTimer = dynamic_cast<TTimer*>(FindComponent("ShutdownTimer"));
}

void TAboutBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  // The box exists before the settings are read, so its shadow follows the
  // system alone.
  int version = GetWindowsVersion();
  if (version >= 9 && version <= 11) Params.WindowClass.style |= CS_DROPSHADOW;
}

void TAboutBox::Fill(bool Short) {
  if (Short) {
    SetHeight(kShortHeight);
    return;
  }
  SetHeight(kFullHeight);
  TrsFileVersion version;
  if (version.ReadFromFile(ownProgramFile()) && VersionLabel) VersionLabel->SetCaption("Version " + version.Version);
  if (IEVersionLabel) IEVersionLabel->SetCaption("IE: " + ReadIEVersionValue("Version"));
}

void TAboutBox::ShutdownTimerTimer(TObject* Sender) {
  (void)Sender;
  CloseNow = false;
  if (!BrowserWindow) return;
  BrowserWindow->ExitTickCount += 1;
  // Reaching or passing the count ends the exit splash.
  if (BrowserWindow->ExitTickCount >= kShutdownTicks) {
    if (ShutdownTimer) ShutdownTimer->SetEnabled(false);
    CloseNow = true;
    Hide();
    BrowserWindow->Close();
  }
}

void TAboutBox::WeblinkClick(TObject* Sender) {
  (void)Sender;
  ShellExecute(Handle(), "open", qv::runtime::kMakerWebAddress, nullptr, nullptr, SW_SHOW);
  SetModalResult(1);
}

void TAboutBox::MaillinkClick(TObject* Sender) {
  (void)Sender;
  ShellExecute(Handle(), "open", qv::runtime::kMakerMailAddress, nullptr, nullptr, SW_SHOW);
  SetModalResult(1);
}
