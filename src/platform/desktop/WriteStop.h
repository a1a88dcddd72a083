// A test's hold on a real program in the middle of its work on files. With
// QV_STOP_AFTER_WRITES=N in the environment the process stops itself
// (SIGSTOP) right after its N-th change to a file through the kernel's file
// functions (a write, a copy, a move, a deletion, a profile write), so that
// the test that started it can kill it at exactly that point and look at
// what the files hold. Without the variable nothing happens.
#pragma once

namespace qv::desktop {

// Called by the kernel after each change it made to a file.
void fileChanged();

}  // namespace qv::desktop
