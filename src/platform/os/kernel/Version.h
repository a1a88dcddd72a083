// Version resources: the platform's VS_VERSIONINFO block (fixed file info,
// StringFileInfo tables, VarFileInfo\Translation) read from a program file
// with an embedded resource container, a container file, or a stand-in
// module, and a builder for the block that qvrc and stand-ins use.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/os/Types.h"

using PUINT = UINT*;

struct VS_FIXEDFILEINFO {
  DWORD dwSignature;
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;
  DWORD dwFileVersionLS;
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
};

#define VS_VERSION_INFO 1
#define VS_FFI_SIGNATURE 0xFEEF04BDu
#define VS_FFI_STRUCVERSION 0x00010000u
#define VS_FFI_FILEFLAGSMASK 0x0000003Fu
#define VS_FF_DEBUG 0x00000001u
#define VS_FF_PRERELEASE 0x00000002u
#define VS_FF_PATCHED 0x00000004u
#define VS_FF_PRIVATEBUILD 0x00000008u
#define VS_FF_INFOINFERRED 0x00000010u
#define VS_FF_SPECIALBUILD 0x00000020u
#define VOS_UNKNOWN 0x00000000u
#define VOS__WINDOWS32 0x00000004u
#define VOS_NT_WINDOWS32 0x00040004u
#define VFT_UNKNOWN 0x00000000u
#define VFT_APP 0x00000001u
#define VFT_DLL 0x00000002u

// The size GetFileVersionInfo needs (0 with an error code when the file is
// missing or has no version block). `handle` is set to 0.
DWORD GetFileVersionInfoSize(LPCSTR fileName, LPDWORD handle);
// `len` must be at least what GetFileVersionInfoSize gave: a smaller buffer
// fails with ERROR_INSUFFICIENT_BUFFER rather than leaving a cut block that
// VerQueryValue would read past.
BOOL GetFileVersionInfo(LPCSTR fileName, DWORD handle, DWORD len, LPVOID data);
// "\" gives the VS_FIXEDFILEINFO; "\VarFileInfo\Translation" the DWORD pairs
// of language and code page; "\StringFileInfo\<lang><cp>\<name>" the value
// as ANSI text with `len` its length in characters including the zero.
// Keys compare ignoring case.
BOOL VerQueryValue(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT len);

namespace qv::os {

struct VersionInfo {
  WORD fileVersion[4] = {0, 0, 0, 0};  // a.b.c.d
  WORD productVersion[4] = {0, 0, 0, 0};
  DWORD fileFlags = 0;
  DWORD fileOS = VOS_NT_WINDOWS32;
  DWORD fileType = VFT_APP;

  struct StringTable {
    std::string key;                                          // language and code page in hex, "040704E4"
    std::vector<std::pair<std::string, std::string>> values;  // ANSI name, ANSI text
  };
  std::vector<StringTable> tables;
  // Pairs of language and code page (language in the low word).
  std::vector<std::pair<WORD, WORD>> translations;
};

// The VS_VERSIONINFO block, ready to be stored as resource RT_VERSION 1.
std::vector<BYTE> buildVersionResource(const VersionInfo& info);

}  // namespace qv::os
