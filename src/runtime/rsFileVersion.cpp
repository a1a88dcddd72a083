#include "runtime/rsFileVersion.h"

#include <vector>

#include "platform/os/kernel/Version.h"

TrsFileVersion::TrsFileVersion() { Clear(); }

bool TrsFileVersion::ReadFromFile(const std::string& FileName) {
  int major = 0, minor = 0, release = 0, build = 0;
  if (!QueryFixedFileInfo(FileName, &major, &minor, &release, &build)) {
    Clear();
    return false;
  }
  Major = major;
  Minor = minor;
  Release = release;
  Build = build;
  Version = std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(release);
  return true;
}

void TrsFileVersion::Clear() {
  Version.clear();
  Major = 0;
  Minor = 0;
  Release = 0;
  Build = 0;
}

bool TrsFileVersion::QueryFixedFileInfo(const std::string& FileName, int* Major, int* Minor, int* Release, int* Build) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSize(FileName.c_str(), &handle);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  if (!GetFileVersionInfo(FileName.c_str(), handle, size, buffer.data())) return false;
  LPVOID fixed = nullptr;
  UINT len = 0;
  if (!VerQueryValue(buffer.data(), "\\", &fixed, &len) || fixed == nullptr || len < sizeof(VS_FIXEDFILEINFO))
    return false;
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  if (Major) *Major = static_cast<int>(HIWORD(info->dwFileVersionMS));
  if (Minor) *Minor = static_cast<int>(LOWORD(info->dwFileVersionMS));
  if (Release) *Release = static_cast<int>(HIWORD(info->dwFileVersionLS));
  if (Build) *Build = static_cast<int>(LOWORD(info->dwFileVersionLS));
  return true;
}
