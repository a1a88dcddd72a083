// The kernel's part of the platform layer in one include: last error,
// paths and drives, code pages, files, global memory, processes, semaphores,
// locale, system information, the shell and sound.
#pragma once

#include "platform/os/Types.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/kernel/Files.h"
#include "platform/os/kernel/KernelObject.h"
#include "platform/os/kernel/LastError.h"
#include "platform/os/kernel/Locale.h"
#include "platform/os/kernel/Memory.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/kernel/Process.h"
#include "platform/os/kernel/Shell.h"
#include "platform/os/kernel/Sound.h"
#include "platform/os/kernel/Sync.h"
#include "platform/os/kernel/SysInfo.h"
