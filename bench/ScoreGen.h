#pragma once
// Large score files for the benchmarks, written the way the game writes
// them: an options section, then per song a header line and every key of
// every part.
#include <cstdint>
#include <string>

namespace quillbox::bench {

// `songs` songs in code page 932 with CR LF line ends. The same seed always
// gives the same bytes.
std::string GenerateScoreFile(std::int32_t songs, std::uint32_t seed = 1);

}  // namespace quillbox::bench
