// Replays a fuzz target over kept inputs, so that builds without libFuzzer
// (g++) run every found input as a regression test. Arguments: files, or
// folders whose every regular file (sorted by name, not recursing) is run.
// A crash or sanitizer report ends the process; otherwise it exits 0.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool runFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    return false;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::fprintf(stderr, "running %s (%zu bytes)\n", file.string().c_str(), bytes.size());
  // A copy of exactly the input's size, so that a read past its end is seen
  // by the sanitizers as libFuzzer would see it.
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[bytes.size() ? bytes.size() : 1]);
  std::copy(bytes.begin(), bytes.end(), copy.get());
  LLVMFuzzerTestOneInput(copy.get(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
    return 2;
  }
  int runs = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path arg = argv[i];
    std::error_code ec;
    if (std::filesystem::is_directory(arg, ec)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(arg, ec))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      if (files.empty()) {
        std::fprintf(stderr, "no inputs in %s\n", arg.string().c_str());
        ok = false;
      }
      for (const auto& f : files) {
        ok = runFile(f) && ok;
        ++runs;
      }
    } else {
      ok = runFile(arg) && ok;
      ++runs;
    }
  }
  std::fprintf(stderr, "%d inputs run\n", runs);
  return ok ? 0 : 1;
}
