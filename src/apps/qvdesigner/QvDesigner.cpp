// qvdesigner: the menu designer. It writes a disc menu's settings file,
// deploys the runtime beside it and test-runs it.
#include "designer/QvDesigner.h"
#include "platform/driver/Driver.h"
#include "platform/os/kernel/Paths.h"

int main(int argc, char** argv) {
  qv::os::setCommandLine(argc, argv);
  qv::desktop::startDriverFromEnvironment();
  return RunQvdesigner();
}
