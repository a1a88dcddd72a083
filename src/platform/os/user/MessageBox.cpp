#include "platform/os/user/MessageBox.h"

#include <cctype>
#include <string>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"

namespace {

struct Button {
  const char* name;
  int id;
};

std::vector<Button> buttonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return {{"OK", IDOK}};
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO: return {{"Yes", IDYES}, {"No", IDNO}};
    case MB_RETRYCANCEL: return {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    case MB_CANCELTRYCONTINUE: return {{"Cancel", IDCANCEL}, {"Try Again", IDTRYAGAIN}, {"Continue", IDCONTINUE}};
    default: return {};
  }
}

bool sameWord(const std::string& a, const char* b) {
  std::string x, y = b;
  for (char c : a)
    if (c != ' ' && c != '&') x += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string z;
  for (char c : y)
    if (c != ' ') z += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return x == z;
}

}  // namespace

int MessageBoxEx(HWND, LPCSTR text, LPCSTR caption, UINT type, WORD) {
  std::vector<Button> buttons = buttonsOf(type);
  if (buttons.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string cap = caption ? caption : (qv::desktop::profile().langId == 1031 ? "Fehler" : "Error");
  size_t def = (type & MB_DEFMASK) >> 8;
  if (def >= buttons.size()) def = 0;
  const Button* chosen = &buttons[def];
  // A scripted answer that names none of the box's buttons counts as no
  // answer: the default button is pressed.
  if (auto answer = qv::desktop::Recorder::popAnswer("msgbox")) {
    for (const Button& b : buttons)
      if (sameWord(*answer, b.name)) chosen = &b;
  }
  qv::desktop::Recorder::record("msgbox", {cap, text ? text : "", std::to_string(type), chosen->name});
  return chosen->id;
}

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return MessageBoxEx(owner, text, caption, type, 0);
}

BOOL MessageBeep(UINT type) {
  qv::desktop::Recorder::record("beep", {std::to_string(type)});
  return TRUE;
}
