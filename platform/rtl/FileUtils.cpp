#include "platform/rtl/FileUtils.h"

#include <filesystem>
#include <system_error>

namespace zv {

namespace {

// '/' and '.' never occur inside a multi-byte UTF-8 sequence, so byte offsets are safe here.
std::size_t NameStart(std::string_view fileName) {
  const std::size_t slash = fileName.rfind(PathDelim);
  return slash == std::string_view::npos ? 0 : slash + 1;
}

// Offset of the extension's dot, or npos.
std::size_t ExtensionStart(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos || dot < NameStart(fileName) ? std::string_view::npos : dot;
}

std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

String ExtractFilePath(std::string_view fileName) { return String(fileName.substr(0, NameStart(fileName))); }

String ExtractFileDir(std::string_view fileName) {
  std::size_t end = NameStart(fileName);
  if (end > 1) --end;  // the root keeps its delimiter
  return String(fileName.substr(0, end));
}

String ExtractFileName(std::string_view fileName) { return String(fileName.substr(NameStart(fileName))); }

String ExtractFileExt(std::string_view fileName) {
  const std::size_t dot = ExtensionStart(fileName);
  return dot == std::string_view::npos ? String() : String(fileName.substr(dot));
}

String ChangeFileExt(std::string_view fileName, std::string_view extension) {
  const std::size_t dot = ExtensionStart(fileName);
  String out(fileName.substr(0, dot == std::string_view::npos ? fileName.size() : dot));
  out.append(extension);
  return out;
}

String IncludeTrailingPathDelimiter(std::string_view path) {
  String out(path);
  if (out.empty() || out.back() != PathDelim) out.push_back(PathDelim);
  return out;
}

String ExcludeTrailingPathDelimiter(std::string_view path) {
  String out(path);
  if (out.size() > 1 && out.back() == PathDelim) out.pop_back();
  return out;
}

bool FileExists(std::string_view fileName) {
  std::error_code ec;
  return !fileName.empty() && std::filesystem::is_regular_file(PathOf(fileName), ec);
}

bool DirectoryExists(std::string_view directory) {
  std::error_code ec;
  return !directory.empty() && std::filesystem::is_directory(PathOf(directory), ec);
}

String GetCurrentDir() {
  std::error_code ec;
  const std::u8string s = std::filesystem::current_path(ec).u8string();
  return String(s.begin(), s.end());
}

bool SetCurrentDir(std::string_view dir) {
  if (dir.empty()) return false;
  std::error_code ec;
  std::filesystem::current_path(PathOf(dir), ec);
  return !ec;
}

}  // namespace zv
