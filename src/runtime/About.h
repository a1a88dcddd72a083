// The About box, shaped like its picture and draggable by it, and, cut down
// to the picture's top strip, the exit splash that stays for three ticks of
// its timer while the runtime ends.
#pragma once

#include <string>

#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/TypInfo.h"
#include "runtime/ImageShape.h"

class TAboutBox : public TForm {
  QV_CLASS(TAboutBox, TForm)
  explicit TAboutBox(TComponent* AOwner) : TForm(AOwner) {}

  TImageShape* QuorvelSplashLogo = nullptr;
  TLabel* AppName = nullptr;
  TLabel* VersionLabel = nullptr;
  TLabel* IEVersionLabel = nullptr;
  TLabel* Weblink = nullptr;
  TLabel* Maillink = nullptr;
  TButton* OKButton = nullptr;
  TTimer* ShutdownTimer = nullptr;
  // Set when the main window may be freed on its next close.
  bool CloseNow = false;

  // Short: only the top strip of the picture (the exit splash). Full: the
  // whole box with the runtime's and the browser's versions.
  void Fill(bool Short);
  void ShutdownTimerTimer(TObject* Sender);
  void WeblinkClick(TObject* Sender);
  void MaillinkClick(TObject* Sender);

  QV_PUBLISHED(TAboutBox) {
    P.Method("ShutdownTimerTimer", &TAboutBox::ShutdownTimerTimer);
    P.Method("WeblinkClick", &TAboutBox::WeblinkClick);
    P.Method("MaillinkClick", &TAboutBox::MaillinkClick);
  }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Loaded() override;
};

// The About box, made on first use (the About command or the exit splash):
// the runtime makes no window at start that it does not show.
extern TAboutBox* AboutBox;
TAboutBox* EnsureAboutBox();

// A text value under HKEY_LOCAL_MACHINE "Software\Microsoft\Internet
// Explorer"; empty when the key or the value cannot be read.
std::string ReadIEVersionValue(const std::string& Name);

namespace qv::runtime {
inline constexpr const char* kMakerWebAddress = "http://www.quorvel.example/";
inline constexpr const char* kMakerMailAddress = "mailto:info@quorvel.example";
}  // namespace qv::runtime
