// The disc menu runtime's main block: the application object, the main
// window and the About box, the settings, then the message loop. The
// program's main() calls it, and so do the scenario tests, in-process.
#pragma once

// Runs the runtime to its end. The runtime reports failures in message
// boxes and has no exit codes: the result is always 0.
int RunQvlaunch();
