// The shell: starting documents, URLs and programs, copying files with the
// shell's file operation, and the special folders of the desktop's C: drive.
//
// Host programs really start. Documents and URLs are recorded as
// "shell verb file params folder show result" and go to xdg-open only where
// the profile says a host desktop exists. A document opens when its type has
// the verb: HKEY_CLASSES_ROOT first, then the associations of a stock desktop.
#pragma once

#include <string>

#include "platform/os/Types.h"
#include "platform/os/kernel/Process.h"

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31
#define SE_ERR_DLLNOTFOUND 32

#define SEE_MASK_CLASSNAME 0x00000001u
#define SEE_MASK_IDLIST 0x00000004u
#define SEE_MASK_NOCLOSEPROCESS 0x00000040u
#define SEE_MASK_FLAG_NO_UI 0x00000400u

#ifndef ERROR_NO_ASSOCIATION
#define ERROR_NO_ASSOCIATION 1155L
#endif
#ifndef ERROR_CANCELLED
#define ERROR_CANCELLED 1223L
#endif

struct SHELLEXECUTEINFOA {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCSTR lpVerb;
  LPCSTR lpFile;
  LPCSTR lpParameters;
  LPCSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;
  LPVOID lpIDList;
  LPCSTR lpClass;
  HKEY hkeyClass;
  DWORD dwHotKey;
  HANDLE hIcon;
  HANDLE hProcess;
};
using SHELLEXECUTEINFO = SHELLEXECUTEINFOA;
using LPSHELLEXECUTEINFOA = SHELLEXECUTEINFOA*;

// A result above 32 is success (the handle is no real module).
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT showCommand);
inline HINSTANCE ShellExecute(HWND h, LPCSTR v, LPCSTR f, LPCSTR p, LPCSTR d, INT s) {
  return ShellExecuteA(h, v, f, p, d, s);
}
// With SEE_MASK_CLASSNAME and the class "folder" the file is taken as a
// folder; SEE_MASK_NOCLOSEPROCESS hands out the started program's handle.
// With SEE_MASK_IDLIST and no file name, lpIDList names the file (a list
// that names no path fails with SE_ERR_FNF).
BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info);
inline BOOL ShellExecuteEx(SHELLEXECUTEINFOA* info) { return ShellExecuteExA(info); }

// The shell's file operation.
#define FO_MOVE 0x0001u
#define FO_COPY 0x0002u
#define FO_DELETE 0x0003u
#define FO_RENAME 0x0004u

#define FOF_MULTIDESTFILES 0x0001u
#define FOF_CONFIRMMOUSE 0x0002u
#define FOF_SILENT 0x0004u
#define FOF_RENAMEONCOLLISION 0x0008u
#define FOF_NOCONFIRMATION 0x0010u
#define FOF_WANTMAPPINGHANDLE 0x0020u
#define FOF_ALLOWUNDO 0x0040u
#define FOF_FILESONLY 0x0080u
#define FOF_SIMPLEPROGRESS 0x0100u
#define FOF_NOCONFIRMMKDIR 0x0200u
#define FOF_NOERRORUI 0x0400u
#define FOF_NOCOPYSECURITYATTRIBS 0x0800u

using FILEOP_FLAGS = WORD;

struct SHFILEOPSTRUCTA {
  HWND hwnd;
  UINT wFunc;
  LPCSTR pFrom;  // names, each ended by a NUL, the list by one more
  LPCSTR pTo;
  FILEOP_FLAGS fFlags;
  BOOL fAnyOperationsAborted;
  LPVOID hNameMappings;
  LPCSTR lpszProgressTitle;
};
using SHFILEOPSTRUCT = SHFILEOPSTRUCTA;
using LPSHFILEOPSTRUCTA = SHFILEOPSTRUCTA*;

// FO_COPY: files, wildcards and whole folders into a folder or, for one
// source, to a new name (missing folders are made). Without
// FOF_NOCONFIRMATION the shell asks before replacing a file: recorded as
// "shellconfirm replace target answer", answered by the script ("yes", the
// default; "no" skips the file; "cancel" stops). 0 on success. A copy that
// fails for any other reason is reported by the shell itself unless
// FOF_NOERRORUI is set: recorded as "shellerror copy source error".
int SHFileOperationA(LPSHFILEOPSTRUCTA op);
inline int SHFileOperation(LPSHFILEOPSTRUCTA op) { return SHFileOperationA(op); }

// Special folders.
#define CSIDL_DESKTOP 0x0000
#define CSIDL_PROGRAMS 0x0002
#define CSIDL_PERSONAL 0x0005
#define CSIDL_FAVORITES 0x0006
#define CSIDL_STARTUP 0x0007
#define CSIDL_RECENT 0x0008
#define CSIDL_SENDTO 0x0009
#define CSIDL_STARTMENU 0x000B
#define CSIDL_MYMUSIC 0x000D
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_FONTS 0x0014
#define CSIDL_TEMPLATES 0x0015
#define CSIDL_COMMON_DESKTOPDIRECTORY 0x0019
#define CSIDL_APPDATA 0x001A
#define CSIDL_LOCAL_APPDATA 0x001C
#define CSIDL_COMMON_APPDATA 0x0023
#define CSIDL_WINDOWS 0x0024
#define CSIDL_SYSTEM 0x0025
#define CSIDL_PROGRAM_FILES 0x0026
#define CSIDL_MYPICTURES 0x0027
#define CSIDL_PROFILE 0x0028
#define CSIDL_COMMON_DOCUMENTS 0x002E
#define CSIDL_FLAG_CREATE 0x8000

#define SHGFP_TYPE_CURRENT 0
#define SHGFP_TYPE_DEFAULT 1

// Item id lists. Ours hold one item, a path in the platform's form; they
// come from the task allocator (malloc), so CoTaskMemFree, the shell's
// allocator and ILFree all free them.
struct SHITEMID {
  USHORT cb;  // the item's size with this field
  BYTE abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;

namespace qv::os {
// The folder of a CSIDL in the platform's form, or empty for an unknown one.
std::string specialFolder(int csidl);
// An item id list for a path (for the folder browser and special folders).
LPITEMIDLIST itemListFromPath(const std::string& windowsPath);
}  // namespace qv::os

HRESULT SHGetSpecialFolderLocation(HWND hwnd, int csidl, LPITEMIDLIST* list);
// FALSE for a list that names no file-system path.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path);
inline BOOL SHGetPathFromIDList(LPCITEMIDLIST l, LPSTR p) { return SHGetPathFromIDListA(l, p); }
void ILFree(LPITEMIDLIST list);

// The folders of a stock desktop exist; they are made when first asked for.
BOOL SHGetSpecialFolderPathA(HWND hwnd, LPSTR path, int csidl, BOOL create);
inline BOOL SHGetSpecialFolderPath(HWND h, LPSTR p, int c, BOOL cr) { return SHGetSpecialFolderPathA(h, p, c, cr); }
HRESULT SHGetFolderPathA(HWND hwnd, int csidl, HANDLE token, DWORD flags, LPSTR path);
inline HRESULT SHGetFolderPath(HWND h, int c, HANDLE t, DWORD f, LPSTR p) { return SHGetFolderPathA(h, c, t, f, p); }
