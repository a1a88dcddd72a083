// A requirement library that answers 1 (end the runtime). It notes each call in the
// environment, which outlives the library's unloading, so that a test sees
// which libraries ran, in which order, and the window handle they were given.
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" __attribute__((visibility("default"))) int CheckRequirement(std::intptr_t window) {
  const char* before = std::getenv("QV_REQ_CALLS");
  std::string calls = before ? before : "";
  calls += (calls.empty() ? "" : ",") + std::string("plus1:") + std::to_string(window);
  setenv("QV_REQ_CALLS", calls.c_str(), 1);
  return 1;
}
