// shell32.dll's shared-memory exports, which the shell only offers by
// ordinal: 520 SHAllocShared, 521 SHLockShared, 522 SHUnlockShared,
// 523 SHFreeShared (the functions are the kernel's, platform/os/kernel/
// ShellShared.h). Added to the shell32 stand-in at start-up.
#pragma once

namespace qv::modules {

void registerShellShared();

}  // namespace qv::modules
