// The common dialogs on the headless desktop: the open and save file dialogs
// and the shell's folder browser. Nobody sits in front of them, so each one is
// recorded ("opendialog" / "savedialog": title, folder, filter as
// "Description|Pattern|..."; "folderdialog": title, selected folder) and
// answered by the next scripted "dialog" answer: a path (a relative one counts
// from the folder the dialog shows), "ok" for the file name the dialog was
// opened with (a person pressing its button at once), or "cancel". Without an
// answer the dialog is dismissed as by its Cancel button. A choice the dialog refuses
// (a missing path or file, a declined overwrite, each asked or told in a
// recorded message box) makes it take the next answer.
#pragma once

#include <cstddef>

#include "platform/os/Types.h"
#include "platform/os/user/Message.h"
#include "platform/os/kernel/Shell.h"

// OPENFILENAME.Flags.
#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_ENABLETEMPLATEHANDLE 0x00000080
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_SHAREAWARE 0x00004000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_NOTESTFILECREATE 0x00010000
#define OFN_NONETWORKBUTTON 0x00020000
#define OFN_NOLONGNAMES 0x00040000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLEINCLUDENOTIFY 0x00400000
#define OFN_ENABLESIZING 0x00800000
#define OFN_DONTADDTORECENT 0x02000000
#define OFN_FORCESHOWHIDDEN 0x10000000

// CommDlgExtendedError.
#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define CDERR_NOTEMPLATE 0x0003
#define CDERR_NOHINSTANCE 0x0004
#define CDERR_LOADSTRFAILURE 0x0005
#define CDERR_FINDRESFAILURE 0x0006
#define CDERR_LOADRESFAILURE 0x0007
#define CDERR_LOCKRESFAILURE 0x0008
#define CDERR_MEMALLOCFAILURE 0x0009
#define CDERR_MEMLOCKFAILURE 0x000A
#define CDERR_NOHOOK 0x000B
#define FNERR_SUBCLASSFAILURE 0x3001
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;  // pairs of zero-terminated strings, ended by an empty one
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;  // 1-based
  LPSTR lpstrFile;
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
};
using OPENFILENAME = OPENFILENAMEA;
using LPOPENFILENAMEA = OPENFILENAMEA*;
using LPOPENFILENAME = OPENFILENAMEA*;
// The size of the structure before FlagsEx and its reserved fields; both
// sizes are accepted.
#define OPENFILENAME_SIZE_VERSION_400A offsetof(OPENFILENAMEA, pvReserved)
#define OPENFILENAME_SIZE_VERSION_400 OPENFILENAME_SIZE_VERSION_400A

// FALSE when cancelled or failed (CommDlgExtendedError tells which: 0 for a
// cancel). A chosen name that does not fit nMaxFile fails with
// FNERR_BUFFERTOOSMALL and leaves the needed size, in characters, in the
// first two bytes of lpstrFile.
BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn);
inline BOOL GetOpenFileName(LPOPENFILENAMEA ofn) { return GetOpenFileNameA(ofn); }
inline BOOL GetSaveFileName(LPOPENFILENAMEA ofn) { return GetSaveFileNameA(ofn); }
// The error of the thread's last common dialog; 0 after a success or cancel.
DWORD CommDlgExtendedError();

// The folder browser.
#define BIF_RETURNONLYFSDIRS 0x0001
#define BIF_DONTGOBELOWDOMAIN 0x0002
#define BIF_STATUSTEXT 0x0004
#define BIF_RETURNFSANCESTORS 0x0008
#define BIF_EDITBOX 0x0010
#define BIF_VALIDATE 0x0020
#define BIF_NEWDIALOGSTYLE 0x0040
#define BIF_USENEWUI (BIF_NEWDIALOGSTYLE | BIF_EDITBOX)
#define BIF_BROWSEINCLUDEURLS 0x0080
#define BIF_UAHINT 0x0100
#define BIF_NONEWFOLDERBUTTON 0x0200
#define BIF_BROWSEFORCOMPUTER 0x1000
#define BIF_BROWSEFORPRINTER 0x2000
#define BIF_BROWSEINCLUDEFILES 0x4000
#define BIF_SHAREABLE 0x8000

// Messages to the callback.
#define BFFM_INITIALIZED 1
#define BFFM_SELCHANGED 2
#define BFFM_VALIDATEFAILEDA 3
#define BFFM_VALIDATEFAILED BFFM_VALIDATEFAILEDA
// Messages the callback sends to the browser window.
#define BFFM_SETSTATUSTEXTA (WM_USER + 100)
#define BFFM_ENABLEOK (WM_USER + 101)
#define BFFM_SETSELECTIONA (WM_USER + 102)
#define BFFM_SETSELECTION BFFM_SETSELECTIONA
#define BFFM_SETSTATUSTEXT BFFM_SETSTATUSTEXTA

using BFFCALLBACK = int (*)(HWND hwnd, UINT msg, LPARAM lParam, LPARAM lpData);

struct BROWSEINFOA {
  HWND hwndOwner;
  LPCITEMIDLIST pidlRoot;
  LPSTR pszDisplayName;  // MAX_PATH characters: the chosen folder's name
  LPCSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
};
using BROWSEINFO = BROWSEINFOA;
using LPBROWSEINFOA = BROWSEINFOA*;
using LPBROWSEINFO = BROWSEINFOA*;

// The chosen folder as an item id list (free it with CoTaskMemFree or
// ILFree), or null when cancelled. The callback gets BFFM_INITIALIZED with
// the browser's window, to which it may send BFFM_SETSELECTION (wParam TRUE:
// lParam is a path; FALSE: an item id list); the recorded folder is that
// selection. The owner is disabled while the browser is open.
LPITEMIDLIST SHBrowseForFolderA(LPBROWSEINFOA info);
inline LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFOA info) { return SHBrowseForFolderA(info); }
