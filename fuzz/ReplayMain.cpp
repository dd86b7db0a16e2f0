// Runs a fuzz target over saved inputs when libFuzzer is not available:
// every argument that names a file or a folder of files is fed to the
// target once; arguments starting with '-' are libFuzzer flags and ignored.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
void replay(const std::filesystem::path& file, int& count) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  ++count;
}
}  // namespace

int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.starts_with("-")) continue;
    std::filesystem::path p(arg);
    if (std::filesystem::is_directory(p)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(p))
        if (entry.is_regular_file()) replay(entry.path(), count);
    } else if (std::filesystem::is_regular_file(p)) {
      replay(p, count);
    }
  }
  std::printf("replayed %d inputs\n", count);
  return 0;
}
