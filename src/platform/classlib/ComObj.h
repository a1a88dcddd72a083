// The class library's OLE errors: EOleError for failures of the library's
// own OLE code, EOleSysError for a failed call that returned an HRESULT, and
// EOleException for a failed call on an automation object, which also
// carries the source and help file of the failure. OleCheck turns a failed
// HRESULT into EOleSysError.
#pragma once

#include <string>

#include "platform/classlib/SysUtils.h"
#include "platform/com/HResult.h"

class EOleError : public Exception {
  QV_CLASS(EOleError, Exception)
  using Exception::Exception;
};

class EOleSysError : public EOleError {
  QV_CLASS(EOleSysError, EOleError)
  // An empty message takes the text of the result code.
  EOleSysError(const std::string& Message, HRESULT ErrorCode, int HelpContext = 0);
  HRESULT ErrorCode() const { return FErrorCode; }
  void SetErrorCode(HRESULT Value) { FErrorCode = Value; }
  int HelpContext() const { return FHelpContext; }

 private:
  HRESULT FErrorCode = S_OK;
  int FHelpContext = 0;
};

class EOleException : public EOleSysError {
  QV_CLASS(EOleException, EOleSysError)
  EOleException(const std::string& Message, HRESULT ErrorCode, const std::string& Source = "",
                const std::string& HelpFile = "", int HelpContext = 0);
  const std::string& Source() const { return FSource; }
  const std::string& HelpFile() const { return FHelpFile; }

 private:
  std::string FSource;
  std::string FHelpFile;
};

// Raises EOleSysError for a failed result; successes (S_FALSE too) pass.
void OleCheck(HRESULT Result);

namespace qv::classlib {

// The text for a result code: the platform's wording for the common ones,
// else "OLE error %.8X".
std::string oleErrorText(HRESULT Result);

}  // namespace qv::classlib
