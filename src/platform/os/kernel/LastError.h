// The calling thread's last-error code (GetLastError/SetLastError are
// declared in os/Types.h) and the codes beyond Types.h that the kernel sets.
#pragma once

#include "platform/os/Types.h"

#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif
#ifndef ERROR_BAD_NETPATH
#define ERROR_BAD_NETPATH 53L
#endif
#ifndef ERROR_DIRECTORY
#define ERROR_DIRECTORY 267L
#endif
#ifndef ERROR_INVALID_FLAGS
#define ERROR_INVALID_FLAGS 1004L
#endif
#ifndef ERROR_NO_UNICODE_TRANSLATION
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#endif
#ifndef ERROR_TOO_MANY_POSTS
#define ERROR_TOO_MANY_POSTS 298L
#endif
#ifndef ERROR_BUFFER_OVERFLOW
#define ERROR_BUFFER_OVERFLOW 111L
#endif
#ifndef ERROR_DISK_FULL
#define ERROR_DISK_FULL 112L
#endif
#ifndef ERROR_WRITE_PROTECT
#define ERROR_WRITE_PROTECT 19L
#endif
#ifndef ERROR_NEGATIVE_SEEK
#define ERROR_NEGATIVE_SEEK 131L
#endif
#ifndef ERROR_NOT_SAME_DEVICE
#define ERROR_NOT_SAME_DEVICE 17L
#endif
#ifndef ERROR_BAD_EXE_FORMAT
#define ERROR_BAD_EXE_FORMAT 193L
#endif
#ifndef ERROR_FILENAME_EXCED_RANGE
#define ERROR_FILENAME_EXCED_RANGE 206L
#endif

namespace qv::os {

// The platform's code for a host errno value, as the kernel reports file and
// process failures.
DWORD errorFromErrno(int err);
// Sets the last error from errno and returns it.
DWORD setLastErrorFromErrno();

}  // namespace qv::os
