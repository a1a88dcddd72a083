#include "platform/os/user/Menu.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"

using namespace qv::os::user;

namespace {

struct Item {
  UINT type = MFT_STRING;
  UINT state = 0;
  UINT id = 0;
  HMENU sub = nullptr;
  std::string text;
  ULONG_PTR data = 0;
  HBITMAP bitmap = nullptr;
  HBITMAP checked = nullptr;
  HBITMAP unchecked = nullptr;
};

struct Menu {
  std::vector<Item> items;
  bool popup = false;
  HWND systemOf = nullptr;  // the window whose system menu this is
  UINT defaultItem = static_cast<UINT>(-1);
};

struct Menus {
  std::map<ULONG_PTR, std::unique_ptr<Menu>> all;
  ULONG_PTR next = 0x30000;
};

Menus& menus() {
  static Menus* m = new Menus;
  return *m;
}

Menu* lookup(HMENU h) {
  auto it = menus().all.find(reinterpret_cast<ULONG_PTR>(h));
  if (it == menus().all.end()) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return nullptr;
  }
  return it->second.get();
}

HMENU make(bool popup) {
  Menus& m = menus();
  ULONG_PTR h = m.next;
  m.next += 4;
  auto menu = std::make_unique<Menu>();
  menu->popup = popup;
  m.all[h] = std::move(menu);
  return reinterpret_cast<HMENU>(h);
}

// The menu and index holding an item, searching submenus for commands.
bool locate(Menu* m, UINT item, UINT flags, Menu** outMenu, size_t* outIndex) {
  if (m == nullptr) return false;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return false;
    *outMenu = m;
    *outIndex = item;
    return true;
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    const Item& it = m->items[i];
    if (it.sub == nullptr && it.id == item && !(it.type & MFT_SEPARATOR)) {
      *outMenu = m;
      *outIndex = i;
      return true;
    }
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    const Item& it = m->items[i];
    if (it.sub != nullptr) {
      if (locate(lookup(it.sub), item, flags, outMenu, outIndex)) return true;
      if (reinterpret_cast<ULONG_PTR>(it.sub) == item) {
        *outMenu = m;
        *outIndex = i;
        return true;
      }
    }
  }
  return false;
}

Item fromFlags(UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  Item it;
  it.type = flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
  it.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
  if (flags & MF_POPUP) {
    it.sub = reinterpret_cast<HMENU>(idOrPopup);
    it.id = static_cast<UINT>(idOrPopup);
  } else {
    it.id = static_cast<UINT>(idOrPopup);
  }
  if (flags & MF_OWNERDRAW) it.data = reinterpret_cast<ULONG_PTR>(text);
  else if (flags & MF_BITMAP) it.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(text));
  else if (!(flags & MF_SEPARATOR) && text != nullptr) it.text = text;
  if (flags & MF_SEPARATOR) it.id = 0;
  return it;
}

void destroyTree(HMENU h) {
  auto it = menus().all.find(reinterpret_cast<ULONG_PTR>(h));
  if (it == menus().all.end()) return;
  std::unique_ptr<Menu> m = std::move(it->second);
  menus().all.erase(it);
  for (Item& i : m->items)
    if (i.sub) destroyTree(i.sub);
}

std::string plain(const std::string& t) {
  std::string r;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\t') break;
    if (t[i] == '&') {
      if (i + 1 < t.size() && t[i + 1] == '&') r += '&', ++i;
      continue;
    }
    r += static_cast<char>(std::tolower(static_cast<unsigned char>(t[i])));
  }
  return r;
}

bool german() { return qv::desktop::profile().langId == 1031; }

void addSys(HMENU h, UINT id, const char* en, const char8_t* de) {
  AppendMenu(h, MF_STRING, id, german() ? qv::os::ansi(de).c_str() : en);
}

// The platform greys what the window's state and styles do not allow.
void updateSystemStates(HMENU h, HWND hwnd) {
  Wnd* w = find(hwnd);
  Menu* m = lookup(h);
  if (w == nullptr || m == nullptr) return;
  bool minimized = (w->style & WS_MINIMIZE) != 0, maximized = (w->style & WS_MAXIMIZE) != 0;
  auto set = [&](UINT id, bool enabled) {
    Menu* mm;
    size_t i;
    if (locate(m, id, MF_BYCOMMAND, &mm, &i)) mm->items[i].state = (mm->items[i].state & ~3u) | (enabled ? 0u : MF_GRAYED);
  };
  set(SC_RESTORE, minimized || maximized);
  set(SC_MOVE, !maximized);
  set(SC_SIZE, !minimized && !maximized && (w->style & WS_THICKFRAME));
  set(SC_MINIMIZE, !minimized && (w->style & WS_MINIMIZEBOX));
  set(SC_MAXIMIZE, !maximized && (w->style & WS_MAXIMIZEBOX));
  set(SC_CLOSE, !(w->cls && (w->cls->style & CS_NOCLOSE)));
}

bool choosable(const Item& it) { return !(it.type & MFT_SEPARATOR) && it.sub == nullptr && !(it.state & MF_GRAYED) && !(it.state & MF_DISABLED); }

// Finds the scripted answer's item: a command id or an item's text.
UINT resolveAnswer(Menu* m, const std::string& answer) {
  if (answer.empty()) return 0;
  std::string low = plain(answer);
  if (low == "cancel" || low == "none") return 0;
  char* end = nullptr;
  unsigned long num = std::strtoul(answer.c_str(), &end, 0);
  bool numeric = end && *end == 0;
  for (const Item& it : m->items) {
    if (it.sub) {
      if (UINT r = resolveAnswer(lookup(it.sub), answer)) return r;
      continue;
    }
    bool match = numeric ? it.id == num : (!it.text.empty() && plain(it.text) == low);
    if (match) return choosable(it) ? it.id : 0;
  }
  return 0;
}

std::string itemList(Menu* m) {
  std::string out;
  for (const Item& it : m->items) {
    if (!out.empty()) out += '|';
    if (it.type & MFT_SEPARATOR) out += '-';
    else if (it.type & MFT_OWNERDRAW) out += '#' + std::to_string(it.id);
    else out += it.text;
  }
  return out;
}

}  // namespace

HMENU CreateMenu() { return make(false); }
HMENU CreatePopupMenu() { return make(true); }

BOOL DestroyMenu(HMENU menu) {
  if (lookup(menu) == nullptr) return FALSE;
  destroyTree(menu);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return menus().all.count(reinterpret_cast<ULONG_PTR>(menu)) ? TRUE : FALSE; }

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR item) {
  Menu* m = lookup(menu);
  if (m == nullptr) return FALSE;
  m->items.push_back(fromFlags(flags, idOrPopup, item));
  return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR item) {
  Menu* m = lookup(menu);
  if (m == nullptr) return FALSE;
  Item it = fromFlags(flags & ~static_cast<UINT>(MF_BYPOSITION), idOrPopup, item);
  if (flags & MF_BYPOSITION) {
    size_t at = position >= m->items.size() ? m->items.size() : position;
    m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), it);
    return TRUE;
  }
  Menu* holder;
  size_t index;
  if (!locate(m, position, MF_BYCOMMAND, &holder, &index)) {
    m->items.push_back(it);
    return TRUE;
  }
  holder->items.insert(holder->items.begin() + static_cast<std::ptrdiff_t>(index), it);
  return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR item) {
  Menu* holder;
  size_t index;
  if (!locate(lookup(menu), position, flags & MF_BYPOSITION, &holder, &index)) return FALSE;
  Item& old = holder->items[index];
  Item fresh = fromFlags(flags & ~static_cast<UINT>(MF_BYPOSITION), idOrPopup, item);
  if (old.sub && old.sub != fresh.sub) destroyTree(old.sub);
  holder->items[index] = fresh;
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  Menu* holder;
  size_t index;
  if (!locate(lookup(menu), position, flags & MF_BYPOSITION, &holder, &index)) return FALSE;
  HMENU sub = holder->items[index].sub;
  holder->items.erase(holder->items.begin() + static_cast<std::ptrdiff_t>(index));
  if (sub) destroyTree(sub);
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  Menu* holder;
  size_t index;
  if (!locate(lookup(menu), position, flags & MF_BYPOSITION, &holder, &index)) return FALSE;
  holder->items.erase(holder->items.begin() + static_cast<std::ptrdiff_t>(index));
  return TRUE;
}

namespace {
void applyInfo(Item& it, const MENUITEMINFOA& info) {
  if (info.fMask & MIIM_TYPE) {
    it.type = info.fType;
    if (info.fType & MFT_BITMAP) it.bitmap = reinterpret_cast<HBITMAP>(info.dwTypeData);
    else if (!(info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW))) it.text = info.dwTypeData ? info.dwTypeData : "";
  }
  if (info.fMask & MIIM_FTYPE) it.type = info.fType;
  if (info.fMask & MIIM_STRING) it.text = info.dwTypeData ? info.dwTypeData : "";
  if (info.fMask & MIIM_STATE) it.state = info.fState;
  if (info.fMask & MIIM_ID) it.id = info.wID;
  if (info.fMask & MIIM_SUBMENU) it.sub = info.hSubMenu;
  if (info.fMask & MIIM_CHECKMARKS) {
    it.checked = info.hbmpChecked;
    it.unchecked = info.hbmpUnchecked;
  }
  if (info.fMask & MIIM_DATA) it.data = info.dwItemData;
  if (info.fMask & MIIM_BITMAP) it.bitmap = info.hbmpItem;
}
}  // namespace

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info) {
  Menu* m = lookup(menu);
  if (m == nullptr) return FALSE;
  if (info == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Item it;
  applyInfo(it, *info);
  if (byPosition) {
    size_t at = item >= m->items.size() ? m->items.size() : item;
    m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), it);
    return TRUE;
  }
  Menu* holder;
  size_t index;
  if (!locate(m, item, MF_BYCOMMAND, &holder, &index)) {
    m->items.push_back(it);
    return TRUE;
  }
  holder->items.insert(holder->items.begin() + static_cast<std::ptrdiff_t>(index), it);
  return TRUE;
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFO info) {
  Menu* holder;
  size_t index;
  if (info == nullptr) return FALSE;
  if (!locate(lookup(menu), item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, &holder, &index)) return FALSE;
  const Item& it = holder->items[index];
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = it.type;
  if (info->fMask & MIIM_STATE) info->fState = it.state;
  if (info->fMask & MIIM_ID) info->wID = it.id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = it.sub;
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = it.checked;
    info->hbmpUnchecked = it.unchecked;
  }
  if (info->fMask & MIIM_DATA) info->dwItemData = it.data;
  if (info->fMask & MIIM_BITMAP) info->hbmpItem = it.bitmap;
  if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
    if ((info->fMask & MIIM_TYPE) && (it.type & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW))) {
      if (it.type & MFT_BITMAP) info->dwTypeData = reinterpret_cast<LPSTR>(it.bitmap);
      else if (it.type & MFT_OWNERDRAW) info->dwTypeData = reinterpret_cast<LPSTR>(it.data);
      return TRUE;
    }
    UINT len = static_cast<UINT>(it.text.size());
    if (info->dwTypeData == nullptr || info->cch == 0) {
      info->cch = len;
    } else {
      UINT n = std::min(len, info->cch - 1);
      std::memcpy(info->dwTypeData, it.text.data(), n);
      info->dwTypeData[n] = 0;
      info->cch = n;
    }
  }
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFO info) {
  Menu* holder;
  size_t index;
  if (info == nullptr) return FALSE;
  if (!locate(lookup(menu), item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, &holder, &index)) return FALSE;
  applyInfo(holder->items[index], *info);
  return TRUE;
}

int GetMenuItemCount(HMENU menu) {
  Menu* m = lookup(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  Menu* m = lookup(menu);
  if (m == nullptr || position < 0 || static_cast<size_t>(position) >= m->items.size()) return static_cast<UINT>(-1);
  const Item& it = m->items[static_cast<size_t>(position)];
  return it.sub ? static_cast<UINT>(-1) : it.id;
}

int GetMenuString(HMENU menu, UINT item, LPSTR buffer, int maxCount, UINT flags) {
  Menu* holder;
  size_t index;
  if (!locate(lookup(menu), item, flags & MF_BYPOSITION, &holder, &index)) return 0;
  const std::string& t = holder->items[index].text;
  if (buffer == nullptr || maxCount <= 0) return static_cast<int>(t.size());
  int n = std::min<int>(static_cast<int>(t.size()), maxCount - 1);
  std::memcpy(buffer, t.data(), static_cast<size_t>(n));
  buffer[n] = 0;
  return n;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  Menu* holder;
  size_t index;
  if (!locate(lookup(menu), item, flags & MF_BYPOSITION, &holder, &index)) return static_cast<UINT>(-1);
  const Item& it = holder->items[index];
  UINT f = it.type | it.state;
  if (it.sub) {
    Menu* sub = lookup(it.sub);
    UINT count = sub ? static_cast<UINT>(sub->items.size()) : 0;
    return (count << 8) | ((f | MF_POPUP) & 0xFF);
  }
  return f;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  Menu* holder;
  size_t index;
  if (!locate(lookup(menu), item, check & MF_BYPOSITION, &holder, &index)) return static_cast<DWORD>(-1);
  Item& it = holder->items[index];
  DWORD prev = it.state & MF_CHECKED;
  it.state = (it.state & ~static_cast<UINT>(MF_CHECKED)) | (check & MF_CHECKED);
  return prev;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  Menu* holder;
  size_t index;
  if (!locate(lookup(menu), item, enable & MF_BYPOSITION, &holder, &index)) return -1;
  Item& it = holder->items[index];
  UINT prev = it.state & (MF_GRAYED | MF_DISABLED);
  it.state = (it.state & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return static_cast<BOOL>(prev);
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  Menu* m = lookup(menu);
  if (m == nullptr) return FALSE;
  bool found = false;
  if (flags & MF_BYPOSITION) {
    for (UINT i = first; i <= last && i < m->items.size(); ++i) {
      Item& it = m->items[i];
      bool on = i == check;
      it.state = (it.state & ~static_cast<UINT>(MF_CHECKED)) | (on ? MF_CHECKED : 0u);
      if (on) {
        it.type |= MFT_RADIOCHECK;
        found = true;
      }
    }
  } else {
    for (Item& it : m->items) {
      if (it.sub || it.id < first || it.id > last) continue;
      bool on = it.id == check;
      it.state = (it.state & ~static_cast<UINT>(MF_CHECKED)) | (on ? MF_CHECKED : 0u);
      if (on) {
        it.type |= MFT_RADIOCHECK;
        found = true;
      }
    }
  }
  return found ? TRUE : FALSE;
}

HMENU GetSubMenu(HMENU menu, int position) {
  Menu* m = lookup(menu);
  if (m == nullptr || position < 0 || static_cast<size_t>(position) >= m->items.size()) return nullptr;
  return m->items[static_cast<size_t>(position)].sub;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
  Menu* m = lookup(menu);
  if (m == nullptr) return FALSE;
  for (Item& it : m->items) it.state &= ~static_cast<UINT>(MF_DEFAULT);
  if (item == static_cast<UINT>(-1)) {
    m->defaultItem = item;
    return TRUE;
  }
  Menu* holder;
  size_t index;
  if (!locate(m, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, &holder, &index) || holder != m) return FALSE;
  m->items[index].state |= MF_DEFAULT;
  m->defaultItem = static_cast<UINT>(index);
  return TRUE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT) {
  Menu* m = lookup(menu);
  if (m == nullptr) return static_cast<UINT>(-1);
  for (size_t i = 0; i < m->items.size(); ++i)
    if (m->items[i].state & MF_DEFAULT) return byPosition ? static_cast<UINT>(i) : m->items[i].id;
  return static_cast<UINT>(-1);
}

HMENU GetMenu(HWND hwnd) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || (w->style & WS_CHILD)) return nullptr;
  return reinterpret_cast<HMENU>(w->id);
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || (w->style & WS_CHILD)) return FALSE;
  if (menu != nullptr && !IsMenu(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  w->id = reinterpret_cast<LONG_PTR>(menu);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  invalidate(w, nullptr, RDW_FRAME | RDW_NOCHILDREN);
  return TRUE;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || w->isDesktop || w->foreign) return nullptr;
  if (revert) {
    if (w->sysMenu) destroyTree(w->sysMenu);
    w->sysMenu = nullptr;
    return nullptr;
  }
  if (w->sysMenu && IsMenu(w->sysMenu)) return w->sysMenu;
  HMENU h = make(true);
  lookup(h)->systemOf = hwnd;
  bool dialog = (w->exStyle & WS_EX_DLGMODALFRAME) ||
                (!(w->style & WS_THICKFRAME) && !(w->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)));
  if (!dialog) addSys(h, SC_RESTORE, "&Restore", u8"&Wiederherstellen");
  addSys(h, SC_MOVE, "&Move", u8"&Verschieben");
  if (!dialog) {
    addSys(h, SC_SIZE, "&Size", u8"&Größe ändern");
    addSys(h, SC_MINIMIZE, "Mi&nimize", u8"Mi&nimieren");
    addSys(h, SC_MAXIMIZE, "Ma&ximize", u8"Ma&ximieren");
  }
  AppendMenu(h, MF_SEPARATOR, 0, nullptr);
  addSys(h, SC_CLOSE, "&Close\tAlt+F4", u8"&Schließen\tAlt+F4");
  updateSystemStates(h, hwnd);
  w->sysMenu = h;
  return h;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS) {
  Menu* m = lookup(menu);
  if (m == nullptr) return FALSE;
  if (!IsWindow(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  bool system = m->systemOf != nullptr;
  if (system) updateSystemStates(menu, m->systemOf);
  bool notify = !(flags & TPM_NONOTIFY);
  if (notify) {
    SendMessage(owner, WM_ENTERMENULOOP, TRUE, 0);
    SendMessage(owner, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    SendMessage(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, system ? 1 : 0));
    if ((m = lookup(menu)) == nullptr) return FALSE;
    for (const Item& it : m->items) {
      if (!(it.type & MFT_OWNERDRAW)) continue;
      MEASUREITEMSTRUCT mis{ODT_MENU, 0, it.id, 0, 0, it.data};
      SendMessage(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    }
  }
  qv::desktop::Recorder::record("popupmenu", {std::to_string(x), std::to_string(y), itemList(m)});
  auto answer = qv::desktop::Recorder::popAnswer("popupmenu");
  UINT cmd = answer ? resolveAnswer(m, *answer) : 0;
  if (notify && IsWindow(owner)) {
    SendMessage(owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    SendMessage(owner, WM_EXITMENULOOP, TRUE, 0);
  }
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(cmd);
  if (cmd != 0 && IsWindow(owner)) {
    if (system) PostMessage(owner, WM_SYSCOMMAND, cmd, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    else PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(cmd), 0), 0);
  }
  return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL EndMenu() { return TRUE; }

LONG GetMenuCheckMarkDimensions() { return MAKELONG(13, 13); }

namespace qv::os::user {

void destroyMenuOfWindow(Wnd* w) {
  if (w->sysMenu) destroyTree(w->sysMenu);
  w->sysMenu = nullptr;
  // A top-level window takes its menu bar with it.
  if (!(w->style & WS_CHILD) && w->id != 0 && IsMenu(reinterpret_cast<HMENU>(w->id))) {
    destroyTree(reinterpret_cast<HMENU>(w->id));
    w->id = 0;
  }
}

void resetMenus() { menus() = Menus{}; }

}  // namespace qv::os::user
