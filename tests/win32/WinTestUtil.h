#pragma once
// What the Windows tests share to drive a window from outside and to find
// their files under wine.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quillbox::wintest {

// Polls `done` until it holds or `timeout` passes.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

// Cross-process WM_GETTEXT: the window manager copies the text for us.
inline std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
  std::vector<wchar_t> buffer(length + 1);
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  return std::wstring(buffer.data(), copied);
}

// The clipboard's text, or none when it cannot be opened or holds no text.
inline std::optional<std::wstring> ReadClipboard() {
  if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, std::chrono::seconds(5))) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = std::wstring(chars);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Paths handed in by CMake (UTF-8) are Unix paths when the test runs under wine.
inline std::filesystem::path HostPath(const char* path) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path, -1, wide.data(), n);
  wide.resize(wide.size() - 1);
  if (!wide.empty() && wide[0] == L'/') {
    for (wchar_t& c : wide) {
      if (c == L'/') c = L'\\';
    }
    wide = L"Z:" + wide;
  }
  return std::filesystem::path(wide);
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs `commandLine` with its standard output in `output`; its exit status.
inline std::optional<DWORD> RunProgram(std::wstring commandLine,
                                       const std::optional<std::filesystem::path>& output = std::nullopt) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = INVALID_HANDLE_VALUE;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (output) {
    out = CreateFileW(output->c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION process{};
  std::optional<DWORD> code;
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, output.has_value(), 0, nullptr, nullptr,
                     &startup, &process)) {
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
      DWORD status = 0;
      GetExitCodeProcess(process.hProcess, &status);
      code = status;
    } else {
      TerminateProcess(process.hProcess, 99);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  return code;
}

}  // namespace quillbox::wintest
