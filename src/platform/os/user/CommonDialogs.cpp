#include "platform/os/user/CommonDialogs.h"

#include <cctype>
#include <cstring>
#include <strings.h>
#include <optional>
#include <string>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Files.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/MessageBox.h"
#include "platform/os/user/Window.h"

namespace {

thread_local DWORD t_dialogError = 0;

bool german() { return qv::desktop::profile().langId == 1031; }
std::string text(const char* en, const char8_t* de) { return german() ? qv::os::ansi(de) : std::string(en); }

std::string filterText(LPCSTR filter) {
  std::string out;
  if (filter == nullptr) return out;
  for (const char* p = filter; *p; p += std::strlen(p) + 1) {
    if (!out.empty()) out += '|';
    out += p;
  }
  return out;
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string currentFolder() {
  char buf[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof buf, buf);
  return buf;
}

bool isFolder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFile(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The dialog's answer as a full path: names typed without a folder count
// from the folder the dialog shows.
std::string fullAnswer(const std::string& answer, const std::string& folder) {
  std::string name = answer;
  bool absolute = (name.size() >= 2 && name[1] == ':') || (!name.empty() && (name[0] == '\\' || name[0] == '/'));
  if (!absolute && !folder.empty()) name = folder + "\\" + name;
  auto full = qv::os::fullWindowsPath(name);
  return full ? *full : name;
}

size_t nameStart(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? 0 : slash + 1;
}

bool isCancel(const std::optional<std::string>& answer) {
  if (!answer || answer->empty()) return true;
  std::string a;
  for (char c : *answer) a += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return a == "cancel";
}

BOOL runFileDialog(LPOPENFILENAMEA ofn, bool save) {
  t_dialogError = 0;
  if (ofn == nullptr) {
    t_dialogError = CDERR_INITIALIZATION;
    return FALSE;
  }
  if (ofn->lStructSize != sizeof(OPENFILENAMEA) && ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400) {
    t_dialogError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if (ofn->lpstrFile == nullptr || ofn->nMaxFile == 0) {
    t_dialogError = CDERR_INITIALIZATION;
    return FALSE;
  }
  std::string preset(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
  std::string folder;
  if (ofn->lpstrInitialDir && *ofn->lpstrInitialDir) folder = ofn->lpstrInitialDir;
  else if (!folderOf(preset).empty()) folder = folderOf(preset);
  else folder = currentFolder();
  std::string title = ofn->lpstrTitle ? ofn->lpstrTitle
                                       : save ? text("Save As", u8"Speichern unter")
                                              : text("Open", u8"Öffnen");
  qv::desktop::Recorder::record(save ? "savedialog" : "opendialog", {title, folder, filterText(ofn->lpstrFilter)});

  // A person whose choice the dialog refuses (a missing file, a declined
  // overwrite) picks again: the next answer is taken, until one is accepted
  // or the dialog is cancelled.
  std::string path;
  for (;;) {
    auto answer = qv::desktop::Recorder::popAnswer("dialog");
    if (isCancel(answer)) return FALSE;
    // "ok" presses the dialog's button on the name it was opened with; with
    // an empty name box the dialog stays open.
    if (strcasecmp(answer->c_str(), "ok") == 0) {
      if (preset.empty()) continue;
      answer = preset;
    }
    path = fullAnswer(*answer, folder);
    size_t start = nameStart(path);
    if (save && ofn->lpstrDefExt && *ofn->lpstrDefExt && path.find('.', start) == std::string::npos)
      path += std::string(".") + ofn->lpstrDefExt;
    if ((ofn->Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !isFolder(folderOf(path))) {
      MessageBoxA(ofn->hwndOwner, (path + text("\nThe path does not exist.", u8"\nDer Pfad existiert nicht.")).c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
      continue;
    }
    if (!save && (ofn->Flags & OFN_FILEMUSTEXIST) && !isFile(path)) {
      MessageBoxA(ofn->hwndOwner, (path + text("\nFile not found.", u8"\nDatei nicht gefunden.")).c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
      continue;
    }
    // No is the safe default: a script without an answer replaces nothing.
    if (save && (ofn->Flags & OFN_OVERWRITEPROMPT) && isFile(path)) {
      std::string prompt = path + text(" already exists.\nDo you want to replace it?",
                                        u8" ist bereits vorhanden.\nMöchten Sie sie ersetzen?");
      if (MessageBoxA(ofn->hwndOwner, prompt.c_str(), title.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        continue;
    }
    break;
  }

  if (path.size() + 1 > ofn->nMaxFile) {
    // The needed size goes into the buffer's first two bytes.
    if (ofn->nMaxFile >= 2) {
      WORD need = static_cast<WORD>(path.size() + 1 > 0xFFFF ? 0xFFFF : path.size() + 1);
      std::memcpy(ofn->lpstrFile, &need, sizeof need);
    }
    t_dialogError = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
  size_t start = nameStart(path);
  size_t dot = path.find_last_of('.');
  ofn->nFileOffset = static_cast<WORD>(start);
  ofn->nFileExtension = static_cast<WORD>(dot != std::string::npos && dot >= start ? dot + 1 : path.size());
  std::string ext = dot != std::string::npos && dot >= start ? path.substr(dot + 1) : std::string();
  if (ofn->lpstrDefExt && strcasecmp(ext.c_str(), ofn->lpstrDefExt) != 0) ofn->Flags |= OFN_EXTENSIONDIFFERENT;
  else ofn->Flags &= ~static_cast<DWORD>(OFN_EXTENSIONDIFFERENT);
  if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
    std::string name = path.substr(start);
    size_t n = name.size() < ofn->nMaxFileTitle - 1 ? name.size() : ofn->nMaxFileTitle - 1;
    std::memcpy(ofn->lpstrFileTitle, name.c_str(), n);
    ofn->lpstrFileTitle[n] = '\0';
  }
  if (!(ofn->Flags & OFN_NOCHANGEDIR)) SetCurrentDirectoryA(folderOf(path).c_str());
  return TRUE;
}

// The folder browser's window: it only keeps the selection its callback sets.
struct BrowserState {
  std::string selection;
};

LRESULT browserWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<BrowserState*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (state != nullptr && msg == BFFM_SETSELECTIONA) {
    if (wParam) {
      if (lParam) state->selection = reinterpret_cast<LPCSTR>(lParam);
    } else {
      char buf[MAX_PATH + 1] = {};
      if (lParam && SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), buf)) state->selection = buf;
    }
    return TRUE;
  }
  if (msg == BFFM_SETSTATUSTEXTA || msg == BFFM_ENABLEOK) return TRUE;
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

const char kBrowserClass[] = "QvFolderBrowser";

}  // namespace

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn) { return runFileDialog(ofn, false); }
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn) { return runFileDialog(ofn, true); }
DWORD CommDlgExtendedError() { return t_dialogError; }

LPITEMIDLIST SHBrowseForFolderA(LPBROWSEINFOA info) {
  if (info == nullptr) return nullptr;
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, kBrowserClass, &wc)) {
    wc.lpfnWndProc = browserWndProc;
    wc.lpszClassName = kBrowserClass;
    RegisterClass(&wc);
  }
  BrowserState state;
  if (info->pidlRoot) {
    char buf[MAX_PATH + 1] = {};
    if (SHGetPathFromIDListA(info->pidlRoot, buf)) state.selection = buf;
  }
  std::string title = info->lpszTitle ? info->lpszTitle : "";
  HWND hwnd = CreateWindowExA(0, kBrowserClass, text("Browse for Folder", u8"Ordner suchen").c_str(), WS_POPUP, 0, 0, 0, 0, info->hwndOwner, nullptr,
                              nullptr, nullptr);
  if (hwnd) SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  bool ownerEnabled = info->hwndOwner && IsWindowEnabled(info->hwndOwner);
  if (ownerEnabled) EnableWindow(info->hwndOwner, FALSE);
  if (info->lpfn && hwnd) info->lpfn(hwnd, BFFM_INITIALIZED, 0, info->lParam);
  qv::desktop::Recorder::record("folderdialog", {title, state.selection});
  auto answer = qv::desktop::Recorder::popAnswer("dialog");
  LPITEMIDLIST result = nullptr;
  if (!isCancel(answer)) {
    std::string path = fullAnswer(*answer, state.selection);
    result = qv::os::itemListFromPath(path);
    if (info->lpfn && hwnd && result)
      info->lpfn(hwnd, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(result), info->lParam);
    if (info->pszDisplayName) {
      std::string name = path.substr(nameStart(path));
      if (name.empty()) name = path;
      if (name.size() > MAX_PATH - 1) name.resize(MAX_PATH - 1);
      std::memcpy(info->pszDisplayName, name.c_str(), name.size() + 1);
    }
  }
  if (ownerEnabled && IsWindow(info->hwndOwner)) EnableWindow(info->hwndOwner, TRUE);
  if (hwnd) DestroyWindow(hwnd);
  return result;
}
