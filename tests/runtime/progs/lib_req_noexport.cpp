// A library that loads but lacks the requirement export: its one function
// has a name close to it, which the runtime must not take for it.
#include <cstdint>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int CheckRequirements(std::intptr_t) {
  setenv("QV_REQ_CALLS", "noexport", 1);
  return 0;
}
