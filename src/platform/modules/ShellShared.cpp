#include "platform/modules/ShellShared.h"

#include "platform/modules/ShellStyle.h"
#include "platform/os/kernel/ShellShared.h"

namespace qv::modules {

namespace {

const bool kRegistered = (registerShellShared(), true);

}  // namespace

void registerShellShared() {
  (void)kRegistered;
  addShell32Export(qv::os::StandInExport::of("", &::SHAllocShared, 520));
  addShell32Export(qv::os::StandInExport::of("", &::SHLockShared, 521));
  addShell32Export(qv::os::StandInExport::of("", &::SHUnlockShared, 522));
  addShell32Export(qv::os::StandInExport::of("", &::SHFreeShared, 523));
}

}  // namespace qv::modules
