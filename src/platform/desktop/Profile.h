// The headless desktop's profile: what kind of machine the programs believe
// they run on. Defaults describe a German Windows XP desktop at 1024 x 768;
// the file named by QV_PROFILE and tests may override any value.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace qv::desktop {

enum class ModuleProfile { Absent, Classic, Themed };

struct Profile {
  // Screen.
  int screenWidth = 1024;
  int screenHeight = 768;
  int bitsPerPixel = 32;
  int dpi = 96;

  // Operating system version as GetVersionEx reports it.
  std::uint32_t osMajor = 5;
  std::uint32_t osMinor = 1;
  std::uint32_t osBuild = 2600;
  std::uint32_t osPlatformId = 2;  // VER_PLATFORM_WIN32_NT
  std::string osCsdVersion = "Service Pack 2";

  // File version of the browser library "shdocvw.dll" in the system folder.
  std::string browserVersion = "6.00.2900.2180";

  // Optional system modules.
  ModuleProfile visualStyles = ModuleProfile::Absent;
  bool themesActive = false;
  std::string themeClasses;  // semicolon list of classes a themed profile offers
  std::string themeFileName = "Luna.msstyles";
  std::string themeColorName = "NormalColor";
  std::string themeSizeName = "NormalSize";
  bool gdiplus = true;
  bool msimg32 = true;
  bool shellStyle = true;

  // Locale.
  std::uint16_t langId = 1031;
  std::uint32_t lcid = 1031;
  std::string country = "DE";     // LOCALE_SISO3166CTRYNAME
  std::string abbrevLang = "DEU"; // LOCALE_SABBREVLANGNAME
  std::string decimal = ",";      // LOCALE_SDECIMAL
  std::string measure = "0";      // LOCALE_IMEASURE: 0 metric, 1 inches

  // Drives. C: is the per-user folder; Z: is always the host root. Further
  // letters map to host folders ("D" -> "/media/disc").
  std::string cDrive;  // empty: $QV_HOME, else $HOME/.quorvel/C
  std::map<char, std::string> drives;
  std::string userName = "User";

  // Whether a real desktop exists for documents and URLs (xdg-open).
  bool hostDesktop = false;

  // Free-form values for later layers (system colours, metrics overrides).
  std::map<std::string, std::string> extra;
};

// The profile in force. First use loads defaults and then QV_PROFILE.
Profile& profile();

// Reads "key = value" lines into a profile; unknown keys go to `extra`,
// "#" starts a comment. Returns false when the file cannot be read.
bool loadProfileFile(const std::string& hostPath, Profile& into);

// Back to defaults plus QV_PROFILE, as at process start.
void resetProfile();

// The host folder behind C:, created with its standard folders on first use.
const std::string& cDriveRoot();

}  // namespace qv::desktop
