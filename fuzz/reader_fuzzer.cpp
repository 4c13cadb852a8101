// Loads arbitrary bytes as a score file and checks the table or the error,
// nothing more: a run of the reader alone goes many times as fast as one
// that builds every view, so long runs reach far more inputs.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/LoadChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The whole buffer, NUL bytes included.
  (void)quillbox::fuzz::ParseAndCheck(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
