// Runs the fuzz target over files and directories given on the command line,
// for builds without libFuzzer: the corpus becomes an ordinary test.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool RunFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << file << "\n";
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::cerr << "usage: quillbox_fuzz_replay CORPUS_DIR_OR_FILE...\n";
    return 2;
  }
  int failed = 0;
  for (const auto& file : files) {
    // A failed check aborts inside the target; reaching here means it held.
    if (!RunFile(file)) ++failed;
  }
  std::cout << "replayed " << files.size() << " inputs\n"
            << (files.size() - static_cast<std::size_t>(failed)) << " passed, " << failed << " failed\n";
  return failed == 0 ? 0 : 1;
}
