#include "platform/classlib/Registry.h"

#include <vector>

namespace {

TRegDataType regDataOf(DWORD type) {
  switch (type) {
    case REG_SZ:
      return rdString;
    case REG_EXPAND_SZ:
      return rdExpandString;
    case REG_DWORD:
      return rdInteger;
    case REG_BINARY:
      return rdBinary;
    default:
      return rdUnknown;
  }
}

DWORD typeOf(TRegDataType d) {
  switch (d) {
    case rdString:
      return REG_SZ;
    case rdExpandString:
      return REG_EXPAND_SZ;
    case rdInteger:
      return REG_DWORD;
    case rdBinary:
      return REG_BINARY;
    default:
      return REG_NONE;
  }
}

bool isRelative(const std::string& Key) { return Key.empty() || Key[0] != '\\'; }

[[noreturn]] void readError(const std::string& Name) { throw ERegistryException("Invalid data type for '%s'", {Name}); }

}  // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM AAccess) : FAccess(AAccess) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::CloseKey() {
  if (!FCurrentKey) return;
  if (!FLazyWrite) RegFlushKey(FCurrentKey);
  RegCloseKey(FCurrentKey);
  FCurrentKey = nullptr;
  FCurrentPath.clear();
}

void TRegistry::SetRootKey(HKEY Value) {
  if (FRootKey == Value) return;
  FRootKey = Value;
  CloseKey();
}

void TRegistry::ChangeKey(HKEY Value, const std::string& Path) {
  CloseKey();
  FCurrentKey = Value;
  FCurrentPath = Path;
}

HKEY TRegistry::GetBaseKey(bool Relative) const { return (!FCurrentKey || !Relative) ? FRootKey : FCurrentKey; }

HKEY TRegistry::GetKey(const std::string& Key) {
  bool relative = isRelative(Key);
  std::string s = relative ? Key : Key.substr(1);
  HKEY result = nullptr;
  if (RegOpenKeyEx(GetBaseKey(relative), s.c_str(), 0, FAccess, &result) != ERROR_SUCCESS) return nullptr;
  return result;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  bool relative = isRelative(Key);
  std::string s = relative ? Key : Key.substr(1);
  HKEY key = nullptr;
  bool ok;
  if (!CanCreate || s.empty()) {
    ok = RegOpenKeyEx(GetBaseKey(relative), s.c_str(), 0, FAccess, &key) == ERROR_SUCCESS;
  } else {
    DWORD disposition = 0;
    ok = RegCreateKeyEx(GetBaseKey(relative), s.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess, nullptr, &key,
                        &disposition) == ERROR_SUCCESS;
  }
  if (ok) {
    if (FCurrentKey && relative) s = FCurrentPath + "\\" + s;
    ChangeKey(key, s);
  }
  return ok;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
  bool relative = isRelative(Key);
  std::string s = relative ? Key : Key.substr(1);
  HKEY key = nullptr;
  if (RegOpenKeyEx(GetBaseKey(relative), s.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  FAccess = KEY_READ;
  if (FCurrentKey && relative) s = FCurrentPath + "\\" + s;
  ChangeKey(key, s);
  return true;
}

bool TRegistry::CreateKey(const std::string& Key) {
  bool relative = isRelative(Key);
  std::string s = relative ? Key : Key.substr(1);
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyEx(GetBaseKey(relative), s.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                     &key, &disposition) != ERROR_SUCCESS)
    throw ERegistryException("Failed to create key %s", {Key});
  RegCloseKey(key);
  return true;
}

bool TRegistry::KeyExists(const std::string& Key) {
  REGSAM old = FAccess;
  FAccess = KEY_READ;
  HKEY key = GetKey(Key);
  FAccess = old;
  if (key) RegCloseKey(key);
  return key != nullptr;
}

bool TRegistry::DeleteKey(const std::string& Key) {
  bool relative = isRelative(Key);
  std::string s = relative ? Key : Key.substr(1);
  if (HKEY key = GetKey(Key)) {
    WithCurrentKey(key, [&] {
      // Subkeys first, last to first so that the indexes stay valid.
      TStringList names;
      GetKeyNames(&names);
      for (int i = names.Count() - 1; i >= 0; --i) DeleteKey(names.Strings(i));
      return 0;
    });
  }
  return RegDeleteKey(GetBaseKey(relative), s.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& Name) {
  return RegDeleteValue(FCurrentKey, Name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::GetDataInfo(const std::string& ValueName, TRegDataInfo& Value) {
  DWORD type = REG_NONE, size = 0;
  Value = TRegDataInfo{rdUnknown, 0};
  if (RegQueryValueEx(FCurrentKey, ValueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  Value.RegData = regDataOf(type);
  Value.DataSize = static_cast<int>(size);
  return true;
}

int TRegistry::GetDataSize(const std::string& ValueName) {
  TRegDataInfo info;
  return GetDataInfo(ValueName, info) ? info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const std::string& ValueName) {
  TRegDataInfo info;
  return GetDataInfo(ValueName, info) ? info.RegData : rdUnknown;
}

bool TRegistry::ValueExists(const std::string& Name) {
  TRegDataInfo info;
  return GetDataInfo(Name, info);
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& Value) {
  Value = TRegKeyInfo{};
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueLen = 0, maxDataLen = 0;
  FILETIME time{};
  if (RegQueryInfoKey(FCurrentKey, nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr, &values, &maxValueLen,
                      &maxDataLen, nullptr, &time) != ERROR_SUCCESS)
    return false;
  Value = TRegKeyInfo{static_cast<int>(subKeys),     static_cast<int>(maxSubKeyLen), static_cast<int>(values),
                      static_cast<int>(maxValueLen), static_cast<int>(maxDataLen),   time};
  return true;
}

void TRegistry::GetKeyNames(TStrings* Strings) {
  Strings->Clear();
  TRegKeyInfo info;
  if (!GetKeyInfo(info)) return;
  std::vector<char> name(static_cast<std::size_t>(info.MaxSubKeyLen) + 1);
  for (int i = 0; i < info.NumSubKeys; ++i) {
    DWORD len = static_cast<DWORD>(name.size());
    if (RegEnumKeyEx(FCurrentKey, static_cast<DWORD>(i), name.data(), &len, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS)
      Strings->Add(std::string(name.data(), len));
  }
}

void TRegistry::GetValueNames(TStrings* Strings) {
  Strings->Clear();
  TRegKeyInfo info;
  if (!GetKeyInfo(info)) return;
  std::vector<char> name(static_cast<std::size_t>(info.MaxValueLen) + 1);
  for (int i = 0; i < info.NumValues; ++i) {
    DWORD len = static_cast<DWORD>(name.size());
    if (RegEnumValue(FCurrentKey, static_cast<DWORD>(i), name.data(), &len, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS)
      Strings->Add(std::string(name.data(), len));
  }
}

bool TRegistry::HasSubKeys() {
  TRegKeyInfo info;
  return GetKeyInfo(info) && info.NumSubKeys > 0;
}

void TRegistry::PutData(const std::string& Name, const void* Buffer, int BufSize, TRegDataType RegData) {
  if (RegSetValueEx(FCurrentKey, Name.c_str(), 0, typeOf(RegData), static_cast<const BYTE*>(Buffer),
                    static_cast<DWORD>(BufSize)) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '%s'", {Name});
}

int TRegistry::GetData(const std::string& Name, void* Buffer, int BufSize, TRegDataType& RegData) {
  DWORD type = REG_NONE, size = static_cast<DWORD>(BufSize);
  if (RegQueryValueEx(FCurrentKey, Name.c_str(), nullptr, &type, static_cast<LPBYTE>(Buffer), &size) != ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for '%s'", {Name});
  RegData = regDataOf(type);
  return static_cast<int>(size);
}

std::string TRegistry::ReadString(const std::string& Name) {
  int len = GetDataSize(Name);
  if (len <= 0) return "";
  std::string s(static_cast<std::size_t>(len), '\0');
  TRegDataType type;
  GetData(Name, s.data(), len, type);
  if (type != rdString && type != rdExpandString) readError(Name);
  return std::string(s.c_str());
}

int TRegistry::ReadInteger(const std::string& Name) {
  int value = 0;
  TRegDataType type;
  GetData(Name, &value, sizeof value, type);
  if (type != rdInteger) readError(Name);
  return value;
}

bool TRegistry::ReadBool(const std::string& Name) { return ReadInteger(Name) != 0; }

int TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int BufSize) {
  TRegDataInfo info;
  if (!GetDataInfo(Name, info)) return 0;
  if ((info.RegData != rdBinary && info.RegData != rdUnknown) || info.DataSize > BufSize) readError(Name);
  TRegDataType type;
  return GetData(Name, Buffer, info.DataSize, type);
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  PutData(Name, Value.c_str(), static_cast<int>(Value.size()) + 1, rdString);
}

void TRegistry::WriteInteger(const std::string& Name, int Value) { PutData(Name, &Value, sizeof Value, rdInteger); }

void TRegistry::WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize) {
  PutData(Name, Buffer, BufSize, rdBinary);
}

// --- TRegIniFile ------------------------------------------------------------

TRegIniFile::TRegIniFile(const std::string& FileName) : FFileName(FileName) { OpenKey(FileName, true); }

TRegIniFile::TRegIniFile(const std::string& FileName, REGSAM AAccess) : TRegistry(AAccess), FFileName(FileName) {
  OpenKey(FileName, true);
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  HKEY key = GetKey(Section);
  if (!key) return Default;
  return WithCurrentKey(key, [&] { return ValueExists(Ident) ? TRegistry::ReadString(Ident) : Default; });
}

int TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
  HKEY key = GetKey(Section);
  if (!key) return Default;
  return WithCurrentKey(key, [&] {
    if (!ValueExists(Ident)) return Default;
    if (GetDataType(Ident) == rdString) return StrToIntDef(TRegistry::ReadString(Ident), Default);
    return TRegistry::ReadInteger(Ident);
  });
}

bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  CreateKey(Section);
  if (HKEY key = GetKey(Section)) WithCurrentKey(key, [&] { TRegistry::WriteString(Ident, Value); });
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TRegIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
  HKEY key = GetKey(Section);
  if (!key) {
    Strings->Clear();
    return;
  }
  WithCurrentKey(key, [&] { GetValueNames(Strings); });
}

void TRegIniFile::ReadSections(TStrings* Strings) { GetKeyNames(Strings); }

void TRegIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
  TStringList idents;
  ReadSection(Section, &idents);
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (int i = 0; i < idents.Count(); ++i)
      Strings->Add(idents.Strings(i) + "=" + ReadString(Section, idents.Strings(i), ""));
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TRegIniFile::EraseSection(const std::string& Section) { TRegistry::DeleteKey(Section); }

void TRegIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  if (HKEY key = GetKey(Section)) WithCurrentKey(key, [&] { DeleteValue(Ident); });
}
