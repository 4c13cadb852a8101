#include "core/FileTime.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <ctime>
#endif

namespace quillbox {

std::optional<Text> ModifiedText(const std::filesystem::path& path) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA data{};
  SYSTEMTIME utc{}, local{};
  // The zone's rule for that date, as localtime applies it elsewhere: a
  // file from the summer reads in summer time even in winter.
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) == 0 ||
      FileTimeToSystemTime(&data.ftLastWriteTime, &utc) == 0 ||
      SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) == 0) {
    return std::nullopt;
  }
  year = local.wYear;
  month = local.wMonth;
  day = local.wDay;
  hour = local.wHour;
  minute = local.wMinute;
#else
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  std::tm local{};
  const std::time_t seconds = status.st_mtime;
  if (localtime_r(&seconds, &local) == nullptr) return std::nullopt;
  year = local.tm_year + 1900;
  month = local.tm_mon + 1;
  day = local.tm_mday;
  hour = local.tm_hour;
  minute = local.tm_min;
#endif
  const auto two = [](int n) {
    Text digits = Decimal(n);
    if (n < 10) digits.insert(digits.begin(), u'0');
    return digits;
  };
  return Decimal(year) + u'-' + two(month) + u'-' + two(day) + u' ' + two(hour) + u':' + two(minute);
}

}  // namespace quillbox
