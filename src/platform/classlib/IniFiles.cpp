#include "platform/classlib/IniFiles.h"

#include <memory>
#include <vector>

namespace {

void fillStrings(TStrings* Strings, const std::vector<std::string>& items) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (const std::string& s : items) Strings->Add(s);
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

// A zero-separated list from the private-profile functions. The class
// library reads lists into a fixed 16 KB buffer; we grow it instead, so that
// long lists are not silently cut.
std::vector<std::string> readList(const char* Section, const std::string& FileName) {
  // The call fills what it returns and ends it; clearing the buffer first
  // would cost more than a small file's whole lookup.
  std::size_t size = 16384;
  for (;;) {
    const auto buf = std::make_unique_for_overwrite<char[]>(size);
    DWORD n = GetPrivateProfileString(Section, nullptr, nullptr, buf.get(), static_cast<DWORD>(size),
                                      FileName.c_str());
    if (n + 2 < size || size >= (1u << 26)) {
      std::vector<std::string> items;
      for (std::size_t p = 0; p < n;) {
        std::string s(buf.get() + p);
        p += s.size() + 1;
        items.push_back(std::move(s));
      }
      return items;
    }
    size *= 2;
  }
}

[[noreturn]] void writeError(const std::string& FileName) {
  throw EIniFileException("Unable to write to %s", {FileName});
}

// TMemIniFile opens its file as any other file, so a bare name is in the
// current folder (the profile functions would look in the Windows folder).
std::string ordinaryFile(const std::string& FileName) {
  if (FileName.find_first_of("\\/:") == std::string::npos) return ".\\" + FileName;
  return FileName;
}

}  // namespace

int TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
  std::string s = ReadString(Section, Ident, "");
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
  return StrToIntDef(s, Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.IndexOf(Ident) > -1;
}

// --- TIniFile ---------------------------------------------------------------

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  char buffer[2048];
  DWORD n = GetPrivateProfileString(Section.c_str(), Ident.c_str(), Default.c_str(), buffer, sizeof buffer,
                                    FFileName.c_str());
  return std::string(buffer, n);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  if (!WritePrivateProfileString(Section.c_str(), Ident.c_str(), Value.c_str(), FFileName.c_str()))
    writeError(FFileName);
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
  fillStrings(Strings, readList(Section.c_str(), FFileName));
}

void TIniFile::ReadSections(TStrings* Strings) { fillStrings(Strings, readList(nullptr, FFileName)); }

void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
  std::vector<std::string> lines;
  for (const std::string& key : readList(Section.c_str(), FFileName))
    lines.push_back(key + "=" + ReadString(Section, key, ""));
  fillStrings(Strings, lines);
}

void TIniFile::EraseSection(const std::string& Section) {
  if (!WritePrivateProfileString(Section.c_str(), nullptr, nullptr, FFileName.c_str())) writeError(FFileName);
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  WritePrivateProfileString(Section.c_str(), Ident.c_str(), nullptr, FFileName.c_str());
}

void TIniFile::UpdateFile() { WritePrivateProfileString(nullptr, nullptr, nullptr, FFileName.c_str()); }

// --- TMemIniFile ------------------------------------------------------------

TMemIniFile::TMemIniFile(const std::string& FileName) : TCustomIniFile(FileName) { LoadValues(); }

void TMemIniFile::LoadValues() {
  DWORD error = 0;
  if (FFileName.empty() || !qv::os::readProfileFile(ordinaryFile(FFileName).c_str(), FText, error)) FText.clear();
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  return FText.value(Section, Ident).value_or(Default);
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  FText.setValue(Section, Ident, Value);
}

void TMemIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
  fillStrings(Strings, FText.keyNames(Section));
}

void TMemIniFile::ReadSections(TStrings* Strings) { fillStrings(Strings, FText.sectionNames()); }

void TMemIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
  std::vector<std::string> lines;
  for (const std::string& key : FText.keyNames(Section))
    lines.push_back(key + "=" + FText.value(Section, key).value_or(""));
  fillStrings(Strings, lines);
}

void TMemIniFile::EraseSection(const std::string& Section) { FText.deleteSection(Section); }

void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident) { FText.deleteKey(Section, Ident); }

void TMemIniFile::UpdateFile() {
  DWORD error = 0;
  if (!qv::os::writeProfileFile(ordinaryFile(FFileName).c_str(), FText, error))
    throw EFCreateError("Cannot create file \"%s\". %s", {FFileName, SysErrorMessage(error)});
}

void TMemIniFile::Clear() { FText.clear(); }

void TMemIniFile::GetStrings(TStrings* List) {
  TStringList lines;
  lines.SetText(FText.text());
  List->BeginUpdate();
  try {
    List->Clear();
    List->AddStrings(&lines);
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

void TMemIniFile::SetStrings(TStrings* List) {
  std::string text;
  for (int i = 0; i < List->Count(); ++i) text += List->Strings(i) + "\r\n";
  FText = qv::os::ProfileText(text);
}

void TMemIniFile::Rename(const std::string& FileName, bool Reload) {
  FFileName = FileName;
  if (Reload) LoadValues();
}
