// Preloaded into the report tool to stand in for a C library whose iconv has
// no table for code page 932: every converter fails to open.
#include <iconv.h>

#include <cerrno>

extern "C" iconv_t iconv_open(const char*, const char*) {
  errno = EINVAL;
  return reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr): iconv's failure value
}
