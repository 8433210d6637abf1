#pragma once
// File-name and folder routines, as the host's SysUtils names them. Names are UTF-8 and the
// path delimiter is '/'. The name routines only take text apart (no file is touched); the
// extension is what follows the last '.' of the last path element, the dot included.

#include <string_view>

#include "platform/rtl/StringUtils.h"

namespace zv {

inline constexpr char PathDelim = '/';

// "dir/sub/name.txt": "dir/sub/" (the delimiter kept), "name.txt", ".txt"; "" when absent.
String ExtractFilePath(std::string_view fileName);
// The path without its trailing delimiter ("/" stays "/").
String ExtractFileDir(std::string_view fileName);
String ExtractFileName(std::string_view fileName);
String ExtractFileExt(std::string_view fileName);
// The name with its extension replaced by extension (which carries its dot, or is empty to
// drop the extension).
String ChangeFileExt(std::string_view fileName, std::string_view extension);
String IncludeTrailingPathDelimiter(std::string_view path);
String ExcludeTrailingPathDelimiter(std::string_view path);

// A file that exists and is not a folder; a folder that exists.
bool FileExists(std::string_view fileName);
bool DirectoryExists(std::string_view directory);
String GetCurrentDir();
// False, leaving the current folder, when dir is no folder one may enter.
bool SetCurrentDir(std::string_view dir);

}  // namespace zv
