// The class library's registry classes: TRegistry, a cursor on one open key
// under a root key, and TRegIniFile, which reads and writes the registry as
// an INI file (sections are subkeys, idents are values under them).
//
// Failures raise ERegistryException with the class library's messages:
// "Failed to get data for '%s'" when a value cannot be read (missing, or too
// big for the type asked), "Invalid data type for '%s'" when it has another
// type, "Failed to set data for '%s'" when a write fails and "Failed to
// create key %s".
#pragma once

#include <string>

#include "platform/classlib/Classes.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/Registry.h"

QV_EXCEPTION(ERegistryException, Exception);

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegKeyInfo {
  int NumSubKeys;
  int MaxSubKeyLen;
  int NumValues;
  int MaxValueLen;
  int MaxDataLen;
  FILETIME FileTime;
};

struct TRegDataInfo {
  TRegDataType RegData;
  int DataSize;
};

class TRegistry : public TObject {
  QV_CLASS(TRegistry, TObject)
  // Root HKEY_CURRENT_USER, access KEY_ALL_ACCESS, lazy writes.
  TRegistry();
  explicit TRegistry(REGSAM AAccess);
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  void CloseKey();
  // ERegistryException "Failed to create key %s" when it cannot be made.
  bool CreateKey(const std::string& Key);
  // Deletes the key with all its subkeys.
  bool DeleteKey(const std::string& Key);
  bool DeleteValue(const std::string& Name);
  bool GetDataInfo(const std::string& ValueName, TRegDataInfo& Value);
  // -1 when the value does not exist.
  int GetDataSize(const std::string& ValueName);
  TRegDataType GetDataType(const std::string& ValueName);
  bool GetKeyInfo(TRegKeyInfo& Value);
  void GetKeyNames(TStrings* Strings);
  void GetValueNames(TStrings* Strings);
  bool HasSubKeys();
  bool KeyExists(const std::string& Key);
  // Key is relative to the current key, or, with a leading "\", to the root.
  bool OpenKey(const std::string& Key, bool CanCreate);
  // Opens with KEY_READ, which then stays the access of this object.
  bool OpenKeyReadOnly(const std::string& Key);
  bool ValueExists(const std::string& Name);

  // A missing value reads as the empty text.
  std::string ReadString(const std::string& Name);
  int ReadInteger(const std::string& Name);
  bool ReadBool(const std::string& Name);
  // The data size; ERegistryException when the value is not binary or does
  // not fit into BufSize. A missing value gives 0.
  int ReadBinaryData(const std::string& Name, void* Buffer, int BufSize);
  void WriteString(const std::string& Name, const std::string& Value);
  void WriteInteger(const std::string& Name, int Value);
  void WriteBool(const std::string& Name, bool Value);
  void WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize);

  HKEY CurrentKey() const { return FCurrentKey; }
  const std::string& CurrentPath() const { return FCurrentPath; }
  bool LazyWrite() const { return FLazyWrite; }
  void SetLazyWrite(bool Value) { FLazyWrite = Value; }
  HKEY RootKey() const { return FRootKey; }
  // Closes the current key.
  void SetRootKey(HKEY Value);
  REGSAM Access() const { return FAccess; }
  void SetAccess(REGSAM Value) { FAccess = Value; }

 protected:
  void ChangeKey(HKEY Value, const std::string& Path);
  HKEY GetBaseKey(bool Relative) const;
  // A new handle to Key (relative or absolute) with the current access, or 0.
  HKEY GetKey(const std::string& Key);
  void SetCurrentKey(HKEY Value) { FCurrentKey = Value; }
  // Runs Body with Key as the current key; afterwards, also when Body
  // throws, the old current key is back and Key is closed.
  template <class F>
  auto WithCurrentKey(HKEY Key, F Body) {
    struct Restore {
      TRegistry* self;
      HKEY old;
      HKEY key;
      ~Restore() {
        self->FCurrentKey = old;
        RegCloseKey(key);
      }
    } restore{this, FCurrentKey, Key};
    FCurrentKey = Key;
    return Body();
  }
  void PutData(const std::string& Name, const void* Buffer, int BufSize, TRegDataType RegData);
  int GetData(const std::string& Name, void* Buffer, int BufSize, TRegDataType& RegData);

 private:
  HKEY FRootKey = HKEY_CURRENT_USER;
  HKEY FCurrentKey = nullptr;
  std::string FCurrentPath;
  REGSAM FAccess = KEY_ALL_ACCESS;
  bool FLazyWrite = true;
};

class TRegIniFile : public TRegistry {
  QV_CLASS(TRegIniFile, TRegistry)
  // Opens (creating it) the key FileName under HKEY_CURRENT_USER.
  explicit TRegIniFile(const std::string& FileName);
  TRegIniFile(const std::string& FileName, REGSAM AAccess);

  const std::string& FileName() const { return FFileName; }

  // An empty section is the key itself.
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
  // String values are converted (bad text gives the default), integer
  // values taken as they are.
  int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
  // Integers and Booleans are written as text ("1" and "0" for Booleans).
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
  void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
  void ReadSection(const std::string& Section, TStrings* Strings);
  void ReadSections(TStrings* Strings);
  void ReadSectionValues(const std::string& Section, TStrings* Strings);
  void EraseSection(const std::string& Section);
  void DeleteKey(const std::string& Section, const std::string& Ident);

  using TRegistry::DeleteKey;
  using TRegistry::ReadBool;
  using TRegistry::ReadInteger;
  using TRegistry::ReadString;
  using TRegistry::WriteBool;
  using TRegistry::WriteInteger;
  using TRegistry::WriteString;

 private:
  std::string FFileName;
};
