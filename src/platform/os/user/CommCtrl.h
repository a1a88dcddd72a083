// The common controls library's start-up call. The headless desktop has its
// common controls registered from the start, so the call only keeps the
// platform's contract for code that must make it before using themed or
// common controls.
#pragma once

void InitCommonControls();
