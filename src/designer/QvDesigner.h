// The menu designer's main block: the application object, the main form and
// the message loop. The program's main() calls it, and so do the scenario
// tests, in-process.
#pragma once

// Runs the designer to its end; the result is always 0.
int RunQvdesigner();
