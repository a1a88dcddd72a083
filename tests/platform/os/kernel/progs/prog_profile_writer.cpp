// Writes one profile file in a loop and reports each finished write on
// stdout, so that a test can kill it between (or during) writes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/os/kernel/PrivateProfile.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* file = argv[1];
  for (long i = 0;; ++i) {
    std::string n = std::to_string(i);
    std::string key = "k" + std::to_string(i % 5);
    std::string value = "value-" + n;
    if (!WritePrivateProfileString("loop", "counter", n.c_str(), file)) return 1;
    if (!WritePrivateProfileString("loop", key.c_str(), value.c_str(), file)) return 1;
    std::printf("%ld\n", i);
    std::fflush(stdout);
  }
}
