#include "platform/desktop/Profile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>

namespace qv::desktop {
namespace {

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

ModuleProfile parseModule(const std::string& v) {
  if (v == "themed") return ModuleProfile::Themed;
  if (v == "classic" || v == "present") return ModuleProfile::Classic;
  return ModuleProfile::Absent;
}

bool parseBool(const std::string& v) { return v == "1" || v == "true" || v == "yes" || v == "on"; }

Profile makeDefault() {
  Profile p;
  if (const char* f = std::getenv("QV_PROFILE"); f && *f) loadProfileFile(f, p);
  return p;
}

}  // namespace

Profile& profile() {
  static Profile p = makeDefault();
  return p;
}

void resetProfile() { profile() = makeDefault(); }

bool loadProfileFile(const std::string& hostPath, Profile& p) {
  std::ifstream in(hostPath);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string k = trim(line.substr(0, eq));
    std::string v = trim(line.substr(eq + 1));
    auto num = [&](auto& field) { field = static_cast<std::remove_reference_t<decltype(field)>>(std::strtoll(v.c_str(), nullptr, 0)); };
    if (k == "screen.width") num(p.screenWidth);
    else if (k == "screen.height") num(p.screenHeight);
    else if (k == "screen.bpp") num(p.bitsPerPixel);
    else if (k == "screen.dpi") num(p.dpi);
    else if (k == "os.major") num(p.osMajor);
    else if (k == "os.minor") num(p.osMinor);
    else if (k == "os.build") num(p.osBuild);
    else if (k == "os.platform") num(p.osPlatformId);
    else if (k == "os.csd") p.osCsdVersion = v;
    else if (k == "browser.version") p.browserVersion = v;
    else if (k == "visualstyles") p.visualStyles = parseModule(v);
    else if (k == "themes.active") p.themesActive = parseBool(v);
    else if (k == "themes.classes") p.themeClasses = v;
    else if (k == "themes.file") p.themeFileName = v;
    else if (k == "themes.color") p.themeColorName = v;
    else if (k == "themes.size") p.themeSizeName = v;
    else if (k == "gdiplus") p.gdiplus = parseBool(v);
    else if (k == "msimg32") p.msimg32 = parseBool(v);
    else if (k == "shellstyle") p.shellStyle = parseBool(v);
    else if (k == "locale.langid") num(p.langId);
    else if (k == "locale.lcid") num(p.lcid);
    else if (k == "locale.country") p.country = v;
    else if (k == "locale.abbrevlang") p.abbrevLang = v;
    else if (k == "locale.decimal") p.decimal = v;
    else if (k == "locale.measure") p.measure = v;
    else if (k == "drive.C" || k == "drive.c") p.cDrive = v;
    else if (k.size() == 7 && k.rfind("drive.", 0) == 0) p.drives[static_cast<char>(std::toupper(static_cast<unsigned char>(k[6])))] = v;
    else if (k == "user.name") p.userName = v;
    else if (k == "host.desktop") p.hostDesktop = parseBool(v);
    else p.extra[k] = v;
  }
  return true;
}

const std::string& cDriveRoot() {
  static std::mutex m;
  static std::set<std::string> prepared;
  static std::string current;
  std::lock_guard<std::mutex> lock(m);
  std::string root = profile().cDrive;
  if (root.empty()) {
    if (const char* h = std::getenv("QV_HOME"); h && *h) root = h;
    else if (const char* home = std::getenv("HOME"); home && *home) root = std::string(home) + "/.quorvel/C";
    else root = "/tmp/quorvel-C";
  }
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (!prepared.count(root)) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string user = "Documents and Settings/" + profile().userName;
    for (const std::string& sub : {std::string("WINDOWS/system32"), user + "/My Documents",
                                   user + "/Local Settings/Temp", user + "/Application Data",
                                   std::string("Program Files")})
      fs::create_directories(fs::path(root) / sub, ec);
    prepared.insert(root);
  }
  current = root;
  return current;
}

}  // namespace qv::desktop
