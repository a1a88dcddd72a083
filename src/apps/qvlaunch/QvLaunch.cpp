// qvlaunch: the disc menu runtime. It sits on the disc beside
// "autorun.inf", reads its settings from there and shows the disc's pages.
#include "platform/driver/Driver.h"
#include "platform/os/kernel/Paths.h"
#include "runtime/Qvlaunch.h"

int main(int argc, char** argv) {
  qv::os::setCommandLine(argc, argv);
  qv::desktop::startDriverFromEnvironment();
  return RunQvlaunch();
}
