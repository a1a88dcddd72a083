// Finding and loading resources of a module: integer ids (MAKEINTRESOURCE)
// or names compared ignoring case, "#123" standing for id 123, and the
// string tables in the platform's blocks of 16 strings.
#pragma once

#include "platform/os/Types.h"

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_FONTDIR MAKEINTRESOURCE(7)
#define RT_FONT MAKEINTRESOURCE(8)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_MESSAGETABLE MAKEINTRESOURCE(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)
#define RT_DLGINCLUDE MAKEINTRESOURCE(17)
#define RT_PLUGPLAY MAKEINTRESOURCE(19)
#define RT_VXD MAKEINTRESOURCE(20)
#define RT_ANICURSOR MAKEINTRESOURCE(21)
#define RT_ANIICON MAKEINTRESOURCE(22)
#define RT_HTML MAKEINTRESOURCE(23)
#define RT_MANIFEST MAKEINTRESOURCE(24)

#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define LANG_GERMAN 0x07
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02

using ENUMRESNAMEPROC = BOOL (*)(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param);

// The language FindResource takes: neutral first, then the user's language
// (the profile's), then English, then whatever the module has.
HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type);
// Exactly `language`, else its primary language's neutral form, else
// ERROR_RESOURCE_LANG_NOT_FOUND; language 0 searches as FindResource does.
HRSRC FindResourceEx(HMODULE module, LPCSTR type, LPCSTR name, WORD language);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
// Resources stay with their module; nothing to free.
BOOL FreeResource(HGLOBAL data);
// Copies string `id` as ANSI text, cut to bufferMax - 1 characters and
// terminated; the number of characters copied, 0 when there is none.
int LoadString(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);
// Names of one type, in the module's order; stops when the callback answers
// FALSE. Ordinal names are passed as MAKEINTRESOURCE values.
BOOL EnumResourceNames(HMODULE module, LPCSTR type, ENUMRESNAMEPROC callback, LONG_PTR param);
