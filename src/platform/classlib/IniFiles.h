// INI files of the class library: the abstract TCustomIniFile, TIniFile over
// the platform's private-profile functions, and TMemIniFile, which keeps the
// file in memory until UpdateFile.
//
// Both read by the platform's rules (os/kernel/PrivateProfile.h): names
// without regard to case, blanks trimmed, matching quotes removed, the first
// duplicate wins, other lines kept on write. Integers accept decimal, "$" and
// "0x" hexadecimal and fall back to the default on bad text; Booleans are
// integers, true when not 0, and are written "1" and "0".
#pragma once

#include <string>

#include "platform/classlib/Classes.h"
#include "platform/classlib/SysUtils.h"
#include "platform/os/kernel/PrivateProfile.h"

// "Unable to write to %s" with the file name.
QV_EXCEPTION(EIniFileException, Exception);

class TCustomIniFile : public TObject {
  QV_CLASS(TCustomIniFile, TObject)
  explicit TCustomIniFile(const std::string& FileName) : FFileName(FileName) {}

  const std::string& FileName() const { return FFileName; }

  virtual std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) = 0;
  virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
  virtual int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
  virtual void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
  virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
  virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

  // The key names of a section; the section names; "key=value" lines.
  virtual void ReadSection(const std::string& Section, TStrings* Strings) = 0;
  virtual void ReadSections(TStrings* Strings) = 0;
  virtual void ReadSectionValues(const std::string& Section, TStrings* Strings) = 0;
  // A section without keys does not count as existing.
  bool SectionExists(const std::string& Section);
  virtual bool ValueExists(const std::string& Section, const std::string& Ident);

  virtual void EraseSection(const std::string& Section) = 0;
  virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
  virtual void UpdateFile() = 0;

 protected:
  std::string FFileName;
};

class TIniFile : public TCustomIniFile {
  QV_CLASS(TIniFile, TCustomIniFile)
  explicit TIniFile(const std::string& FileName) : TCustomIniFile(FileName) {}

  // Read through a 2048-byte buffer as the class library does: a longer value
  // comes back cut to 2047 characters.
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  // EIniFileException when the file cannot be written.
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  void ReadSection(const std::string& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
  // EIniFileException when the file cannot be written.
  void EraseSection(const std::string& Section) override;
  void DeleteKey(const std::string& Section, const std::string& Ident) override;
  // Every write is on disk already; nothing is cached.
  void UpdateFile() override;
};

class TMemIniFile : public TCustomIniFile {
  QV_CLASS(TMemIniFile, TCustomIniFile)
  // Reads the file when it exists; a missing file is an empty one.
  explicit TMemIniFile(const std::string& FileName);

  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  void ReadSection(const std::string& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
  void EraseSection(const std::string& Section) override;
  void DeleteKey(const std::string& Section, const std::string& Ident) override;
  // Writes the contents back, comments and other lines included (through a
  // temporary file and a rename); EFCreateError when that fails.
  void UpdateFile() override;

  void Clear();
  // The contents as lines, and replaced by lines.
  void GetStrings(TStrings* List);
  void SetStrings(TStrings* List);
  // Takes another file name; with Reload the contents are read from it.
  void Rename(const std::string& FileName, bool Reload);

 private:
  void LoadValues();
  qv::os::ProfileText FText;
};
