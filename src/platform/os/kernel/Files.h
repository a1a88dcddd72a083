// Files and folders through the platform's functions, over host files found
// by qv::os::toHostPath.
#pragma once

#include <string>

#include "platform/os/Types.h"
#include "platform/os/kernel/KernelObject.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u
#define FILE_READ_DATA 0x0001u
#define FILE_WRITE_DATA 0x0002u
#define FILE_APPEND_DATA 0x0004u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_OVERLAPPED 0x40000000u
#define FILE_FLAG_NO_BUFFERING 0x20000000u
#define FILE_FLAG_RANDOM_ACCESS 0x10000000u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000u
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000u

#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu

struct OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
};
using LPOVERLAPPED = OVERLAPPED*;

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
};
using WIN32_FIND_DATA = WIN32_FIND_DATAA;
using LPWIN32_FIND_DATAA = WIN32_FIND_DATAA*;
using LPWIN32_FIND_DATA = WIN32_FIND_DATAA*;

namespace qv::os {

// True for an existing file, false for a folder or nothing.
bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
// Whole-file helpers for the layers above (ANSI path, bytes as they are).
bool readWholeFile(const std::string& path, std::string& bytes);
// Writes through a temporary file and a rename, so a kill never leaves half
// a file.
bool writeWholeFile(const std::string& path, const std::string& bytes);
// Case-insensitive match of a name against a pattern with "*" and "?", as the
// platform's file search does ("*.*" also matches names without a dot).
bool matchFilePattern(const std::string& pattern, const std::string& name);

}  // namespace qv::os

#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_COPY_ALLOWED 0x00000002u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LPLONG distanceHigh, DWORD moveMethod);
BOOL SetEndOfFile(HANDLE file);
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
BOOL FlushFileBuffers(HANDLE file);
BOOL CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists);
BOOL MoveFileA(LPCSTR existing, LPCSTR newName);
// MOVEFILE_REPLACE_EXISTING replaces an existing file in one step (a
// read-only one is refused with ERROR_ACCESS_DENIED, a folder always);
// MOVEFILE_COPY_ALLOWED lets a move to another drive copy and delete;
// MOVEFILE_WRITE_THROUGH returns only once the move is on the disk.
BOOL MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags);
BOOL DeleteFileA(LPCSTR fileName);
BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryA(LPCSTR pathName);
DWORD GetFileAttributesA(LPCSTR fileName);
BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes);
HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA data);
BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
BOOL FindClose(HANDLE find);
// Unique == 0: tries numbers from the tick count on until a file can be made,
// makes it empty and returns the number; otherwise only forms the name.
UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName);

inline HANDLE CreateFile(LPCSTR f, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD c, DWORD fl, HANDLE t) {
  return CreateFileA(f, a, s, sa, c, fl, t);
}
inline BOOL CopyFile(LPCSTR a, LPCSTR b, BOOL f) { return CopyFileA(a, b, f); }
inline BOOL MoveFile(LPCSTR a, LPCSTR b) { return MoveFileA(a, b); }
inline BOOL MoveFileEx(LPCSTR a, LPCSTR b, DWORD f) { return MoveFileExA(a, b, f); }
inline BOOL DeleteFile(LPCSTR f) { return DeleteFileA(f); }
inline BOOL CreateDirectory(LPCSTR p, LPSECURITY_ATTRIBUTES s) { return CreateDirectoryA(p, s); }
inline BOOL RemoveDirectory(LPCSTR p) { return RemoveDirectoryA(p); }
inline DWORD GetFileAttributes(LPCSTR f) { return GetFileAttributesA(f); }
inline BOOL SetFileAttributes(LPCSTR f, DWORD a) { return SetFileAttributesA(f, a); }
inline HANDLE FindFirstFile(LPCSTR f, LPWIN32_FIND_DATAA d) { return FindFirstFileA(f, d); }
inline BOOL FindNextFile(HANDLE h, LPWIN32_FIND_DATAA d) { return FindNextFileA(h, d); }
inline UINT GetTempFileName(LPCSTR p, LPCSTR pre, UINT u, LPSTR out) { return GetTempFileNameA(p, pre, u, out); }
