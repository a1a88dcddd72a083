// The registry: keys with typed values under the predefined roots, kept in
// one file under the per-user C: folder so that it persists across
// processes. Every change is written through at once: under an exclusive
// lock on a lock file the current file is read again, the change applied,
// the result written to a temporary file and renamed over the old one, so
// that concurrent writers in several processes lose nothing and a process
// killed between two writes loses nothing it wrote before.
//
// HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes, so that what a
// program registers for all users is seen through both.
#pragma once

#include <string>

#include "platform/os/Types.h"

using REGSAM = DWORD;
using PHKEY = HKEY*;
using PFILETIME = FILETIME*;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000000u))))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000001u))))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000002u))))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000003u))))

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_DWORD_LITTLE_ENDIAN 4u
#define REG_DWORD_BIG_ENDIAN 5u
#define REG_LINK 6u
#define REG_MULTI_SZ 7u
#define REG_QWORD 11u

#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_CREATE_LINK 0x0020u
#define KEY_WOW64_64KEY 0x0100u
#define KEY_WOW64_32KEY 0x0200u
#define KEY_READ 0x00020019u
#define KEY_WRITE 0x00020006u
#define KEY_EXECUTE 0x00020019u
#define KEY_ALL_ACCESS 0x000F003Fu
#define MAXIMUM_ALLOWED 0x02000000u

#define REG_OPTION_RESERVED 0x00000000u
#define REG_OPTION_NON_VOLATILE 0x00000000u
#define REG_OPTION_VOLATILE 0x00000001u

#define REG_CREATED_NEW_KEY 0x00000001u
#define REG_OPENED_EXISTING_KEY 0x00000002u

#ifndef ERROR_NOACCESS
#define ERROR_NOACCESS 998L
#endif

LONG RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LONG RegOpenKey(HKEY key, LPCSTR subKey, PHKEY result);
// Creates the missing keys of the path; `disposition` tells whether the last
// one was new. Class, options and security are accepted and not kept.
LONG RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM desired,
                    LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegCreateKey(HKEY key, LPCSTR subKey, PHKEY result);
LONG RegCloseKey(HKEY key);
// A NULL or empty name is the key's default value. With `data` NULL and
// `dataSize` set, only the size is given; a buffer too small gives
// ERROR_MORE_DATA and the size needed.
LONG RegQueryValueEx(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
// REG_SZ and REG_EXPAND_SZ data without a terminating zero are stored with
// one, so that readers of the text always find its end.
LONG RegSetValueEx(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValue(HKEY key, LPCSTR valueName);
// Fails with ERROR_ACCESS_DENIED on a key that has subkeys.
LONG RegDeleteKey(HKEY key, LPCSTR subKey);
// Subkeys in the order of their names ignoring case; values in the order
// they were first set. Name sizes count characters with the zero on input
// and without it on output.
LONG RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR keyClass,
                  LPDWORD classSize, PFILETIME lastWrite);
LONG RegEnumKey(HKEY key, DWORD index, LPSTR name, DWORD nameSize);
LONG RegEnumValue(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameSize, LPDWORD reserved, LPDWORD type,
                  LPBYTE data, LPDWORD dataSize);
LONG RegQueryInfoKey(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
                     LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values, LPDWORD maxValueNameLen,
                     LPDWORD maxValueLen, LPDWORD securityDescriptor, PFILETIME lastWrite);
// Changes are on disk already when the call that made them returns.
LONG RegFlushKey(HKEY key);

namespace qv::os {

// The host file that holds the registry of the current C: folder.
std::string registryFilePath();

}  // namespace qv::os
