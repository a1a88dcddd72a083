#include "platform/os/kernel/LastError.h"

#include <cerrno>

namespace {
thread_local DWORD t_lastError = 0;
}

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD code) { t_lastError = code; }

namespace qv::os {

DWORD errorFromErrno(int err) {
  switch (err) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    case EROFS:
      return ERROR_WRITE_PROTECT;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
      return ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case ENOEXEC:
      return ERROR_BAD_FORMAT;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EPIPE:
      return ERROR_BROKEN_PIPE;
    case EBUSY:
    case ETXTBSY:
      return ERROR_SHARING_VIOLATION;
    default:
      return ERROR_INVALID_FUNCTION;
  }
}

DWORD setLastErrorFromErrno() {
  DWORD code = errorFromErrno(errno);
  SetLastError(code);
  return code;
}

}  // namespace qv::os
