// A requirement library: met (0) for a window handle, not met (-1) for none.
extern "C" __attribute__((visibility("default"))) int CheckRequirement(void* window) { return window ? 0 : -1; }
