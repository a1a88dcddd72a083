#include "runtime/OpenSaveDialog.h"

#include <array>
#include <cstring>

#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/CommonDialogs.h"

bool OpenSaveFileDialog(HWND Owner, const char* DefaultExt, const std::string& Filter, bool Open, std::string& FileName,
                        const char* Title, const char* InitialDir) {
  std::array<char, MAX_PATH + 1> file{};
  lstrcpyn(file.data(), FileName.c_str(), static_cast<int>(file.size()));
  // Pairs of zero-terminated strings ended by an empty one.
  std::string filter = ReplaceChar(Filter, '|', '\0');
  filter += '\0';
  filter += '\0';

  OPENFILENAME ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400;
  ofn.hwndOwner = Owner;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrFilter = filter.c_str();
  if (InitialDir) ofn.lpstrInitialDir = InitialDir;
  if (Title) ofn.lpstrTitle = Title;
  if (DefaultExt) ofn.lpstrDefExt = DefaultExt;
  ofn.Flags = OFN_PATHMUSTEXIST;

  // A name that does not fit the buffer fails with FNERR_BUFFERTOOSMALL and
  // leaves only the needed size in it, so nothing is taken from it then.
  BOOL confirmed = Open ? GetOpenFileName(&ofn) : GetSaveFileName(&ofn);
  if (!confirmed) return false;
  FileName.assign(file.data(), strnlen(file.data(), file.size()));
  return true;
}

std::string ReplaceChar(const std::string& text, char from, char to) {
  std::string result = text;
  for (char& c : result)
    if (c == from) c = to;
  return result;
}
