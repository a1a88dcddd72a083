#include "platform/classlib/ComObj.h"

#include <cstdio>

namespace qv::classlib {

std::string oleErrorText(HRESULT Result) {
  switch (static_cast<DWORD>(Result)) {
    case 0x80004001u:
      return "Not implemented";
    case 0x80004002u:
      return "No such interface supported";
    case 0x80004003u:
      return "Invalid pointer";
    case 0x80004004u:
      return "Operation aborted";
    case 0x80004005u:
      return "Unspecified error";
    case 0x8000FFFFu:
      return "Catastrophic failure";
    case 0x80070057u:
      return "The parameter is incorrect";
    case 0x8007000Eu:
      return "Not enough storage is available to complete this operation";
    case 0x80020003u:
      return "Member not found";
    case 0x80020005u:
      return "Type mismatch";
    case 0x80020006u:
      return "Unknown name";
    case 0x80020009u:
      return "Exception occurred";
    case 0x8002000Eu:
      return "Invalid number of parameters";
    case 0x80040100u:
      return "Command not supported";
    case 0x80040104u:
      return "Unknown command group";
    default:
      break;
  }
  char text[32];
  std::snprintf(text, sizeof text, "OLE error %.8X", static_cast<unsigned>(Result));
  return text;
}

}  // namespace qv::classlib

EOleSysError::EOleSysError(const std::string& Message, HRESULT ErrorCode, int HelpContext)
    : EOleError(Message.empty() ? qv::classlib::oleErrorText(ErrorCode) : Message),
      FErrorCode(ErrorCode),
      FHelpContext(HelpContext) {}

EOleException::EOleException(const std::string& Message, HRESULT ErrorCode, const std::string& Source,
                             const std::string& HelpFile, int HelpContext)
    : EOleSysError(Message, ErrorCode, HelpContext), FSource(Source), FHelpFile(HelpFile) {}

void OleCheck(HRESULT Result) {
  if (FAILED(Result)) throw EOleSysError("", Result);
}
