// The class library's exceptions and its string, number and file routines,
// with the class library's semantics over 8-bit Windows-1252 std::string.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/classlib/System.h"
#include "platform/os/Types.h"

// ---------------------------------------------------------------------------
// Format arguments: the class library's "array of const". Any integer, float,
// character, string or pointer converts implicitly, so a call reads
// Format("%s has %d items", {Name, Count}).
struct TVarRec {
  enum TKind { vtInteger, vtUnsigned, vtExtended, vtChar, vtString, vtPointer, vtBoolean };
  TKind VType;
  std::int64_t VInteger = 0;
  double VExtended = 0;
  std::string VString;
  const void* VPointer = nullptr;

  TVarRec(int v) : VType(vtInteger), VInteger(v) {}
  TVarRec(long v) : VType(vtInteger), VInteger(v) {}
  TVarRec(long long v) : VType(vtInteger), VInteger(v) {}
  TVarRec(unsigned v) : VType(vtUnsigned), VInteger(static_cast<std::int64_t>(v)) {}
  TVarRec(unsigned long v) : VType(vtUnsigned), VInteger(static_cast<std::int64_t>(v)) {}
  TVarRec(unsigned long long v) : VType(vtUnsigned), VInteger(static_cast<std::int64_t>(v)) {}
  TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(char v) : VType(vtChar), VString(1, v) {}
  TVarRec(bool v) : VType(vtBoolean), VInteger(v ? 1 : 0) {}
  TVarRec(const char* v) : VType(vtString), VString(v ? v : "") {}
  TVarRec(const std::string& v) : VType(vtString), VString(v) {}
  TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
};
using TVarRecs = std::vector<TVarRec>;

// ---------------------------------------------------------------------------
// Exceptions.
class Exception : public TObject, public std::exception {
  QV_CLASS(Exception, TObject)
  Exception() = default;
  explicit Exception(std::string AMessage) : FMessage(std::move(AMessage)) {}
  explicit Exception(const char* AMessage) : FMessage(AMessage ? AMessage : "") {}
  // CreateFmt: the message is Format(AFormat, Args).
  Exception(const std::string& AFormat, std::initializer_list<TVarRec> Args);

  const std::string& Message() const { return FMessage; }
  void SetMessage(const std::string& AMessage) { FMessage = AMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
};

#define QV_EXCEPTION(Name, Parent) \
  class Name : public Parent {     \
    QV_CLASS(Name, Parent)         \
    using Parent::Parent;          \
  }

// Silent exception: the application's handler shows nothing for it.
QV_EXCEPTION(EAbort, Exception);
QV_EXCEPTION(EConvertError, Exception);
QV_EXCEPTION(EListError, Exception);
QV_EXCEPTION(EStringListError, Exception);
QV_EXCEPTION(EInvalidOperation, Exception);
QV_EXCEPTION(EInvalidCast, Exception);
// An interface a caller needs is not offered ("Interface not supported").
QV_EXCEPTION(EIntfCastError, Exception);
QV_EXCEPTION(EComponentError, Exception);
QV_EXCEPTION(EHeapException, Exception);
QV_EXCEPTION(EOutOfMemory, EHeapException);
QV_EXCEPTION(EStreamError, Exception);
QV_EXCEPTION(EFileStreamError, EStreamError);
QV_EXCEPTION(EFCreateError, EFileStreamError);
QV_EXCEPTION(EFOpenError, EFileStreamError);
QV_EXCEPTION(EFilerError, EStreamError);
QV_EXCEPTION(EReadError, EFilerError);
QV_EXCEPTION(EWriteError, EFilerError);
QV_EXCEPTION(EClassNotFound, EFilerError);

class EOSError : public Exception {
  QV_CLASS(EOSError, Exception)
  using Exception::Exception;
  DWORD ErrorCode() const { return FErrorCode; }
  void SetErrorCode(DWORD ACode) { FErrorCode = ACode; }

 private:
  DWORD FErrorCode = 0;
};

class EInOutError : public Exception {
  QV_CLASS(EInOutError, Exception)
  using Exception::Exception;
  int ErrorCode() const { return FErrorCode; }
  void SetErrorCode(int ACode) { FErrorCode = ACode; }

 private:
  int FErrorCode = 0;
};

// Raises EAbort with the message "Operation aborted".
[[noreturn]] void Abort();
// EOSError for GetLastError(): "System Error.  Code: %d.\r\n%s" with
// SysErrorMessage; when the last error is 0, "A call to an OS function failed".
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(DWORD LastError);
// The platform's message text for an error code, without trailing line break.
std::string SysErrorMessage(DWORD ErrorCode);

// ---------------------------------------------------------------------------
// Numbers and text.
std::string IntToStr(std::int64_t Value);
namespace qv::classlib {
std::string hexDigits(std::uint64_t Bits, int Digits);
}
// Upper-case hexadecimal, at least Digits digits. A negative value shows its
// two's complement in the width of its type: IntToHex(-1, 4) is "FFFFFFFF"
// for an int, sixteen "F" for a 64-bit value.
template <class T>
  requires std::is_integral_v<T>
std::string IntToHex(T Value, int Digits) {
  if constexpr (sizeof(T) <= 4)
    return qv::classlib::hexDigits(static_cast<std::uint32_t>(Value), Digits);
  else
    return qv::classlib::hexDigits(static_cast<std::uint64_t>(Value), Digits);
}
// Decimal with an optional sign; hexadecimal with "$", "0x" or "x" after the
// sign, which may fill the type's bits ("$FFFFFFFF" is -1). Leading blanks
// are skipped; anything else (trailing blanks too) and overflow are errors:
// EConvertError "'%s' is not a valid integer value".
int StrToInt(const std::string& S);
std::int64_t StrToInt64(const std::string& S);
int StrToIntDef(const std::string& S, int Default);
std::int64_t StrToInt64Def(const std::string& S, std::int64_t Default);
bool TryStrToInt(const std::string& S, int& Value);
bool TryStrToInt64(const std::string& S, std::int64_t& Value);

// The locale's decimal and thousands separators, used by the float routines;
// read from the locale (GetLocaleInfo) at start and by GetFormatSettings().
extern char DecimalSeparator;
extern char ThousandSeparator;
void GetFormatSettings();
// Up to 15 significant digits, trailing zeros dropped; scientific ("1E20",
// "1,5E-5") when the value needs more than 15 integer digits or is below
// 1E-4. Halves round away from zero, on the decimal digits.
std::string FloatToStr(double Value);
// EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const std::string& S);
double StrToFloatDef(const std::string& S, double Default);
bool TryStrToFloat(const std::string& S, double& Value);

// Date and time values: days since 30 December 1899, the time of day as
// the fraction.
using TDateTime = double;
constexpr double UnixDateDelta = 25569.0;  // 1970-01-01
// EConvertError "Invalid argument to time encode" for an hour above 23, a
// minute or second above 59 or a millisecond above 999.
TDateTime EncodeTime(WORD Hour, WORD Min, WORD Sec, WORD MSec);
// The time of day of the value, to the nearest millisecond; negative values
// (days before the epoch) count their fraction from the start of the day.
void DecodeTime(TDateTime DateTime, WORD& Hour, WORD& Min, WORD& Sec, WORD& MSec);
// The local date and time now, to the millisecond.
TDateTime Now();
// Whole seconds since 1970-01-01 (DateUtils), rounded to the nearest.
std::int64_t DateTimeToUnix(TDateTime AValue);

// %[index:][-][width][.prec]type with types d u x e f g n s p and "%%";
// width and precision may be "*". A missing or mismatched argument raises
// EConvertError "Format '%s' invalid or incompatible with argument".
std::string Format(const std::string& AFormat, std::initializer_list<TVarRec> Args);
std::string Format(const std::string& AFormat, const TVarRecs& Args);

// Blanks and control characters (<= ' ') removed at the ends.
std::string Trim(const std::string& S);
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);
// ASCII letters only.
std::string UpperCase(const std::string& S);
std::string LowerCase(const std::string& S);
// Windows-1252 letters too (umlauts, accented letters; not "ß").
std::string AnsiUpperCase(const std::string& S);
std::string AnsiLowerCase(const std::string& S);
char AnsiUpperChar(char C);
char AnsiLowerChar(char C);
// Ordinal comparisons (<0, 0, >0). CompareText folds ASCII letters only.
int CompareStr(const std::string& S1, const std::string& S2);
int CompareText(const std::string& S1, const std::string& S2);
bool SameText(const std::string& S1, const std::string& S2);
bool SameStr(const std::string& S1, const std::string& S2);
// Windows-1252 aware: AnsiCompareText ignores case; AnsiCompareStr orders by
// letters first and puts lower case before upper case, as the locale does.
int AnsiCompareText(const std::string& S1, const std::string& S2);
int AnsiCompareStr(const std::string& S1, const std::string& S2);
bool AnsiSameText(const std::string& S1, const std::string& S2);
bool AnsiSameStr(const std::string& S1, const std::string& S2);

// 1-based position of Substr in S, 0 when absent (or when Substr is empty).
int Pos(const std::string& Substr, const std::string& S);
int AnsiPos(const std::string& Substr, const std::string& S);
// Count characters from the 1-based Index; Index and Count are clamped.
std::string Copy(const std::string& S, int Index, int Count = 0x7FFFFFFF);
// In place, as the class library's procedures.
void Delete(std::string& S, int Index, int Count);
void Insert(const std::string& Source, std::string& S, int Index);
// 1-based position of the last character of S that is one of Delimiters.
int LastDelimiter(const std::string& Delimiters, const std::string& S);
std::string StringOfChar(char C, int Count);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
std::string StringReplace(const std::string& S, const std::string& OldPattern, const std::string& NewPattern,
                          TReplaceFlags Flags);

std::string QuotedStr(const std::string& S);
std::string AnsiQuotedStr(const std::string& S, char Quote);
// Reads a quoted string from the start of S (doubled quotes are one quote);
// S that does not start with Quote is returned unchanged.
std::string AnsiDequotedStr(const std::string& S, char Quote);
// As AnsiDequotedStr but stepping a cursor: on return Pos points after the
// closing quote (or at the end); empty when *Pos is not Quote.
std::string AnsiExtractQuotedStr(const char*& Pos, char Quote);

bool IsValidIdent(const std::string& Ident);
bool IsDelimiter(const std::string& Delimiters, const std::string& S, int Index);
// Line breaks of any kind become Style (default CR LF).
std::string AdjustLineBreaks(const std::string& S);

// ---------------------------------------------------------------------------
// File names as the class library takes them apart: "\" separates folders
// and ":" ends a drive; "/" is an ordinary character here (the platform's file
// functions accept it as a separator, these routines do not).
constexpr char PathDelim = '\\';
constexpr char DriveDelim = ':';
constexpr char PathSep = ';';
std::string ExtractFilePath(const std::string& FileName);  // with trailing "\"
std::string ExtractFileDir(const std::string& FileName);   // without it (but "C:\" stays)
std::string ExtractFileName(const std::string& FileName);
std::string ExtractFileExt(const std::string& FileName);   // with the dot
std::string ExtractFileDrive(const std::string& FileName); // "C:" (UNC: "\\server\share")
std::string ChangeFileExt(const std::string& FileName, const std::string& Extension);
std::string ExpandFileName(const std::string& FileName);
// BaseName is a file name whose folder is the base; the result is the path of
// DestName relative to that folder ("..\" steps), or DestName itself when the
// drives differ.
std::string ExtractRelativePath(const std::string& BaseName, const std::string& DestName);
std::string IncludeTrailingBackslash(const std::string& S);
std::string IncludeTrailingPathDelimiter(const std::string& S);
std::string ExcludeTrailingBackslash(const std::string& S);
std::string ExcludeTrailingPathDelimiter(const std::string& S);
bool IsPathDelimiter(const std::string& S, int Index);

bool FileExists(const std::string& FileName);  // false for folders
bool DirectoryExists(const std::string& Directory);
bool DeleteFile(const std::string& FileName);
bool RenameFile(const std::string& OldName, const std::string& NewName);
bool CreateDir(const std::string& Dir);
bool RemoveDir(const std::string& Dir);
// Creates every missing folder of Dir; EInOutError "Unable to create
// directory" for an empty name.
bool ForceDirectories(const std::string& Dir);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& Dir);
// The file's last write time in the class library's DOS date-time form
// (date in the high word); -1 when the file does not exist.
int FileAge(const std::string& FileName);

// Handle-based file routines over CreateFile; -1 is the failure handle.
constexpr int fmOpenRead = 0x0000;
constexpr int fmOpenWrite = 0x0001;
constexpr int fmOpenReadWrite = 0x0002;
constexpr int fmShareCompat = 0x0000;
constexpr int fmShareExclusive = 0x0010;
constexpr int fmShareDenyWrite = 0x0020;
constexpr int fmShareDenyRead = 0x0030;
constexpr int fmShareDenyNone = 0x0040;
constexpr int fmCreate = 0xFFFF;
HANDLE FileOpen(const std::string& FileName, int Mode);
HANDLE FileCreate(const std::string& FileName);
int FileRead(HANDLE Handle, void* Buffer, int Count);
int FileWrite(HANDLE Handle, const void* Buffer, int Count);
// Origin 0 beginning, 1 current, 2 end; -1 on failure.
std::int64_t FileSeek(HANDLE Handle, std::int64_t Offset, int Origin);
void FileClose(HANDLE Handle);

// The default warning sound (MessageBeep(0)), as the class library's Beep.
void Beep();

// ---------------------------------------------------------------------------
// Command line. ParamStr(0) is the program's path; the rest is the class
// library's own splitting of GetCommandLine: blanks separate, double quotes
// group (and are removed), backslashes are ordinary characters.
int ParamCount();
std::string ParamStr(int Index);
namespace qv::classlib {
// The splitting used by ParamStr, on any command line; element 0 is the
// program as written.
std::vector<std::string> splitParams(const std::string& CommandLine);
}  // namespace qv::classlib

// ---------------------------------------------------------------------------
// Null-terminated buffers.
std::string StrPas(const char* Str);
// Copies S with its terminator; Dest must hold S.size() + 1 bytes.
char* StrPCopy(char* Dest, const std::string& Source);
// At most MaxLen characters plus the terminator.
char* StrLCopy(char* Dest, const char* Source, std::size_t MaxLen);
char* StrPLCopy(char* Dest, const std::string& Source, std::size_t MaxLen);
std::size_t StrLen(const char* Str);

// ---------------------------------------------------------------------------
// Resource strings: texts with an id in the program's string tables. The
// text is compiled into the program; a resource module in use (a language
// module, see SetResourceInstance) that holds a string under the id replaces
// it, as it replaces the program's string tables.
struct TResStringRec {
  UINT Identifier;
  const char* Text;
};
using PResStringRec = const TResStringRec*;
// Empty for a null record.
std::string LoadResString(PResStringRec ResStringRec);
