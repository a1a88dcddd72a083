// Profile (INI) files: sections of "key=value" lines read and written by the
// platform's private-profile functions.
//
// Reading rules: section and key names match without regard to case; blanks
// around names and values are dropped; one pair of matching quotes (" or ')
// around a value is removed; lines starting with ";" are comments; lines that
// are neither a section header nor "key=value" are skipped, and so are the
// keys under a header without its closing bracket or without a name ("[]");
// the first of duplicate sections or keys wins.
//
// Writing changes only the line concerned and keeps every other line, comment
// and blank line as it was, the file's line ending, and a last line without
// line break. Each write goes to a temporary file beside the original that is
// then renamed over it, so a process killed between two writes leaves either
// the old file or the new one, never a torn one; writers in several processes
// take turns on a lock of the folder.
//
// A read parses the file once and keeps the parsed text until the file
// changes (its device, inode, size, modification or change time), so a
// program that reads forty keys reads its file once, and a write of another
// process is still seen by the next read.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/os/Types.h"

// A file name without a folder names a file in the Windows folder; a null
// file name is "win.ini" there.
DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue, LPSTR returned, DWORD size,
                               LPCSTR fileName);
UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue, LPCSTR fileName);
BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName);
DWORD GetPrivateProfileSectionA(LPCSTR appName, LPSTR returned, DWORD size, LPCSTR fileName);
DWORD GetPrivateProfileSectionNamesA(LPSTR returned, DWORD size, LPCSTR fileName);
BOOL WritePrivateProfileSectionA(LPCSTR appName, LPCSTR keyValues, LPCSTR fileName);

inline DWORD GetPrivateProfileString(LPCSTR a, LPCSTR k, LPCSTR d, LPSTR r, DWORD n, LPCSTR f) {
  return GetPrivateProfileStringA(a, k, d, r, n, f);
}
inline UINT GetPrivateProfileInt(LPCSTR a, LPCSTR k, INT d, LPCSTR f) { return GetPrivateProfileIntA(a, k, d, f); }
inline BOOL WritePrivateProfileString(LPCSTR a, LPCSTR k, LPCSTR v, LPCSTR f) {
  return WritePrivateProfileStringA(a, k, v, f);
}
inline DWORD GetPrivateProfileSection(LPCSTR a, LPSTR r, DWORD n, LPCSTR f) {
  return GetPrivateProfileSectionA(a, r, n, f);
}
inline DWORD GetPrivateProfileSectionNames(LPSTR r, DWORD n, LPCSTR f) {
  return GetPrivateProfileSectionNamesA(r, n, f);
}
inline BOOL WritePrivateProfileSection(LPCSTR a, LPCSTR kv, LPCSTR f) { return WritePrivateProfileSectionA(a, kv, f); }

namespace qv::os {

// The text of a profile file, line by line, with the reading rules above.
// The class library's in-memory INI file keeps its contents in one of these.
class ProfileText {
 public:
  ProfileText() = default;
  explicit ProfileText(std::string_view text);
  // The same, taking over the bytes instead of copying them.
  static ProfileText adopt(std::string bytes);

  // The whole text again, byte for byte as read plus the changes made.
  std::string text() const;

  // Section names in file order, each once, in their first spelling.
  std::vector<std::string> sectionNames() const;
  // The name of every section header in file order, a repeated one as often
  // as it appears: the platform's list of section names.
  std::vector<std::string> headerNames() const;
  bool hasSection(std::string_view section) const;
  // Keys of the section in file order, each once; empty for no section.
  std::vector<std::string> keyNames(std::string_view section) const;
  // The section's key lines as key and value (blanks dropped, quotes kept).
  std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;
  // The value with blanks and one pair of matching quotes removed.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  // Replaces the value of the first such key, else adds the key at the end
  // of the section, else adds the section at the end of the text.
  void setValue(std::string_view section, std::string_view key, std::string_view value);
  // False when there was nothing to delete.
  bool deleteKey(std::string_view section, std::string_view key);
  // Removes the first section of that name with its lines; comment lines just
  // before the next header stay, since they describe that section.
  bool deleteSection(std::string_view section);
  // Replaces the section's key lines with `lines` ("key=value" each); adds the
  // section when there is none.
  void replaceSection(std::string_view section, const std::vector<std::string>& lines);
  void clear();

  // Builds the lookup index now rather than on the first lookup, so that a
  // text shared by several readers is not changed by them.
  void prepareLookups() const { (void)index(); }

 private:
  enum class Kind : std::uint8_t { Other, Section, BrokenHeader, Key };
  enum class Eol : std::uint8_t { None, CrLf, Lf, Cr };
  // A line is a stretch of `chars_`, its name and value stretches of the
  // line: a large file is held as its bytes and a small record a line, not
  // as a few strings a line.
  struct Line {
    std::size_t at = 0;
    std::size_t size = 0;
    std::uint32_t nameAt = 0, nameSize = 0;    // section or key name, trimmed
    std::uint32_t valueAt = 0, valueSize = 0;  // key value, trimmed, quotes kept
    Eol eol = Eol::None;
    Kind kind = Kind::Other;
  };
  std::string_view textOf(const Line& l) const { return std::string_view(chars_).substr(l.at, l.size); }
  std::string_view nameOf(const Line& l) const { return textOf(l).substr(l.nameAt, l.nameSize); }
  std::string_view valueOf(const Line& l) const { return textOf(l).substr(l.valueAt, l.valueSize); }
  static std::string_view eolText(Eol e);
  // The line at `at` in `chars_`, sorted by the reading rules.
  Line parseLine(std::size_t at, std::size_t size, Eol eol) const;
  // A line added or changed: its text goes to the end of `chars_`.
  Line makeLine(std::string text, Eol eol);
  void dropped(const Line& l);
  // Sorts `chars_` into lines.
  void split();
  // Lines [header, end) of the first section of that name.
  std::optional<std::pair<std::size_t, std::size_t>> find(std::string_view section) const;
  // The first key line of that name in the lines [first, end) of a section.
  std::optional<std::size_t> findKey(std::pair<std::size_t, std::size_t> range, std::string_view key) const;
  void insertLine(std::size_t at, std::string text);
  void changed() { index_.reset(); }

  // Where names are, so that a lookup in a large file does not walk all of
  // it: built on the first lookup, kept up to date by a line added or a key
  // line removed (a layout written key by key would build it again at every
  // key), and dropped by other changes.
  struct Index {
    struct Entry {
      std::uint64_t hash;    // of the name with its letters in upper case
      std::uint32_t header;  // the section's header line
      std::uint32_t line;
      bool operator<(const Entry& o) const {
        return header != o.header ? header < o.header : hash != o.hash ? hash < o.hash : line < o.line;
      }
    };
    std::vector<Entry> sections;  // header is 0
    std::vector<Entry> keys;      // of the lines under a whole header
    std::vector<std::uint32_t> headers;  // every header line, broken ones too
    // Every line number from `from` on moves by `by`; the order stays.
    void moveLines(std::uint32_t from, int by);
    // The nearest header line above `line`; null when there is none.
    const std::uint32_t* headerAbove(std::uint32_t line) const;
  };
  const Index& index() const;
  // The index to bring up to date after a change, this text's own (a copy
  // when other texts share it); null when there is none to keep.
  Index* ownIndex();
  // The line at `at` has just been inserted.
  void lineInserted(std::size_t at);
  // The key line at `at` is about to be removed.
  void keyLineRemoving(std::size_t at);

  std::vector<Line> lines_;
  std::string chars_;
  // Bytes of `chars_` that no line uses any more (lines changed or removed);
  // they are dropped once they outgrow the rest.
  std::size_t unused_ = 0;
  Eol newline_ = Eol::CrLf;
  mutable std::shared_ptr<Index> index_;
};

// The host file behind a profile file name, by the rules of the functions.
std::optional<std::string> profileHostPath(LPCSTR fileName);
// Reads a profile file. A missing file gives an empty text and false with
// ERROR_FILE_NOT_FOUND (or the error that stopped the read) in `error`.
bool readProfileFile(LPCSTR fileName, ProfileText& out, DWORD& error);
// Writes the whole text through a temporary file and a rename.
bool writeProfileFile(LPCSTR fileName, const ProfileText& text, DWORD& error);

}  // namespace qv::os
