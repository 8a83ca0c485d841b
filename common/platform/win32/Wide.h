// UTF-8 inside the programs, UTF-16 at the Windows boundary.
#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

inline std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

inline std::string Utf8(const wchar_t* text, int length = -1) {
  if (length < 0) length = static_cast<int>(wcslen(text));
  if (length == 0) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

inline std::string Utf8(const std::wstring& text) {
  return Utf8(text.c_str(), static_cast<int>(text.size()));
}

}  // namespace platform::win32
