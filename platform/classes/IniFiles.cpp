#include "platform/classes/IniFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <utility>

#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

ZV_DEFINE_CLASS(TMemIniFile, TObject)
ZV_DEFINE_CLASS(TIniFile, TMemIniFile)

namespace {

constexpr const char SIniFileWriteError[] = "Unable to write to %s";
constexpr const char SIniFileReadError[] = "Unable to read %s";
constexpr const char SIniFileBadName[] = "'%s' cannot be a section or key name of a settings file";
constexpr const char SIniFileBadValue[] = "The value of '%s' holds a line break, which a settings file cannot keep";

bool SameName(std::string_view a, std::string_view b) { return CaseFoldCompare(a, b) == 0; }

String TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return String(s.substr(b, e - b));
}

// A value in double quotes, as files quote values whose outer blanks matter.
bool IsQuoted(std::string_view s) { return s.size() >= 2 && s.front() == '"' && s.back() == '"'; }

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

void CheckName(std::string_view name, bool key) {
  const String trimmed = TrimBlanks(name);
  bool bad = trimmed.empty() || trimmed.size() != name.size() || HasLineBreak(name);
  if (key) bad = bad || name.find('=') != std::string_view::npos || name[0] == '[' || name[0] == ';' || name[0] == '#';
  else bad = bad || name.find(']') != std::string_view::npos;
  if (bad) throw EIniFileException(Format(SIniFileBadName, {name}));
}

// Fixed settings so that a file written on one machine reads on any other.
const TFormatSettings& FileSettings() {
  static const TFormatSettings fs = [] {
    TFormatSettings s;
    s.DecimalSeparator = '.';
    s.ThousandSeparator = TFormatChar();
    s.DateSeparator = '-';
    s.TimeSeparator = ':';
    s.ShortDateFormat = "yyyy/mm/dd";
    s.LongTimeFormat = "hh:nn:ss";
    return s;
  }();
  return fs;
}

}  // namespace

TMemIniFile::TMemIniFile(String fileName) : fFileName(std::move(fileName)) {
  struct stat st {};
  if (fFileName.empty() || ::stat(fFileName.c_str(), &st) != 0) return;  // a new file
  std::ifstream in(fFileName, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf())) {
    // An empty file reads as nothing, which the stream reports as a failed copy.
    if (st.st_size == 0 && in) return;
    throw EIniFileException(Format(SIniFileReadError, {fFileName}));
  }
  SetText(text.str());
}

void TMemIniFile::SetText(std::string_view text) {
  fPrelude = {};
  fSections.clear();
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  TSection* current = &fPrelude;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    if (raw.ends_with('\r')) raw.remove_suffix(1);
    pos = end + 1;
    const String line = TrimBlanks(raw);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const String name = TrimBlanks(std::string_view(line).substr(1, line.size() - 2));
      TSection* existing = FindSection(name);
      if (existing == nullptr) {
        fSections.push_back({name, {}});
        existing = &fSections.back();
      }
      current = existing;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (line.empty() || line[0] == ';' || line[0] == '#' || eq == String::npos || eq == 0) {
      if (!line.empty()) current->Lines.push_back({String(), String(raw)});
      continue;
    }
    current->Lines.push_back({TrimBlanks(std::string_view(line).substr(0, eq)),
                              TrimBlanks(std::string_view(line).substr(eq + 1))});
  }
}

String TMemIniFile::Text() const {
  String out;
  auto writeLines = [&](const TSection& s) {
    for (const TLine& l : s.Lines) {
      out += l.Key.empty() ? l.Value : l.Key + "=" + l.Value;
      out += '\n';
    }
  };
  writeLines(fPrelude);
  for (const TSection& s : fSections) {
    if (!out.empty()) out += '\n';
    out += "[" + s.Name + "]\n";
    writeLines(s);
  }
  return out;
}

const TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view name) const {
  for (const TSection& s : fSections)
    if (SameName(s.Name, name)) return &s;
  return nullptr;
}

TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view name) {
  return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

const TMemIniFile::TLine* TMemIniFile::FindKey(std::string_view section, std::string_view ident) const {
  const TSection* s = FindSection(section);
  if (s == nullptr) return nullptr;
  for (const TLine& l : s->Lines)
    if (!l.Key.empty() && SameName(l.Key, ident)) return &l;
  return nullptr;
}

String TMemIniFile::ReadString(std::string_view section, std::string_view ident, std::string_view defaultValue) const {
  const TLine* l = FindKey(section, ident);
  if (l == nullptr) return String(defaultValue);
  return IsQuoted(l->Value) ? l->Value.substr(1, l->Value.size() - 2) : l->Value;
}

void TMemIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
  CheckName(section, false);
  CheckName(ident, true);
  if (HasLineBreak(value)) throw EIniFileException(Format(SIniFileBadValue, {ident}));
  // Outer blanks would be trimmed on reading, and outer quotes stripped: quoting keeps both.
  String stored(value);
  if (!value.empty() && (TrimBlanks(value).size() != value.size() || IsQuoted(value))) stored = "\"" + stored + "\"";
  TSection* s = FindSection(section);
  if (s == nullptr) {
    fSections.push_back({String(section), {}});
    s = &fSections.back();
  }
  for (TLine& l : s->Lines) {
    if (!l.Key.empty() && SameName(l.Key, ident)) {
      l.Value = stored;
      return;
    }
  }
  s->Lines.push_back({String(ident), stored});
}

int TMemIniFile::ReadInteger(std::string_view section, std::string_view ident, int defaultValue) const {
  return StrToIntDef(Trim(ReadString(section, ident, "")), defaultValue);
}

void TMemIniFile::WriteInteger(std::string_view section, std::string_view ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TMemIniFile::ReadBool(std::string_view section, std::string_view ident, bool defaultValue) const {
  return StrToBoolDef(Trim(ReadString(section, ident, "")), defaultValue);
}

void TMemIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

double TMemIniFile::ReadFloat(std::string_view section, std::string_view ident, double defaultValue) const {
  return StrToFloatDef(ReadString(section, ident, ""), defaultValue, FileSettings());
}

void TMemIniFile::WriteFloat(std::string_view section, std::string_view ident, double value) {
  // The fewest digits from the host's 15 that read back as the same double.
  String text;
  for (int precision = 15; precision <= 18; ++precision) {
    text = FloatToStrF(value, ffGeneral, precision, 0, FileSettings());
    if (StrToFloatDef(text, 0.0, FileSettings()) == value) break;
  }
  WriteString(section, ident, text);
}

TDateTime TMemIniFile::ReadDateTime(std::string_view section, std::string_view ident, TDateTime defaultValue) const {
  return StrToDateTimeDef(ReadString(section, ident, ""), defaultValue, FileSettings());
}

void TMemIniFile::WriteDateTime(std::string_view section, std::string_view ident, TDateTime value) {
  WriteString(section, ident, FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", value, FileSettings()));
}

bool TMemIniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool TMemIniFile::ValueExists(std::string_view section, std::string_view ident) const {
  return FindKey(section, ident) != nullptr;
}

void TMemIniFile::ReadSection(std::string_view section, TStrings& keys) const {
  keys.Clear();
  if (const TSection* s = FindSection(section))
    for (const TLine& l : s->Lines)
      if (!l.Key.empty()) keys.Add(l.Key);
}

void TMemIniFile::ReadSections(TStrings& sections) const {
  sections.Clear();
  for (const TSection& s : fSections) sections.Add(s.Name);
}

void TMemIniFile::ReadSectionValues(std::string_view section, TStrings& values) const {
  values.Clear();
  if (const TSection* s = FindSection(section))
    for (const TLine& l : s->Lines)
      if (!l.Key.empty()) values.Add(l.Key + "=" + l.Value);
}

void TMemIniFile::EraseSection(std::string_view section) {
  std::erase_if(fSections, [&](const TSection& s) { return SameName(s.Name, section); });
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view ident) {
  if (TSection* s = FindSection(section))
    std::erase_if(s->Lines, [&](const TLine& l) { return !l.Key.empty() && SameName(l.Key, ident); });
}

void TMemIniFile::UpdateFile() {
  const String text = Text();
  const auto fail = [&] { throw EIniFileException(Format(SIniFileWriteError, {fFileName})); };
  if (fFileName.empty()) fail();
  String temp = fFileName + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) fail();
  bool ok = true;
  // Keep the permissions of the file being replaced; a new file gets the usual ones.
  struct stat st {};
  if (::stat(fFileName.c_str(), &st) == 0) {
    ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ok = ::fchmod(fd, 0666 & ~mask) == 0;
  }
  for (std::size_t done = 0; ok && done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), fFileName.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    fail();
  }
}

template <class Change>
void TIniFile::WriteThrough(Change change) {
  const TSection prelude = fPrelude;
  const std::vector<TSection> sections = fSections;
  change();
  try {
    UpdateFile();
  } catch (...) {
    fPrelude = prelude;
    fSections = sections;
    throw;
  }
}

void TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
  WriteThrough([&] { TMemIniFile::WriteString(section, ident, value); });
}

void TIniFile::EraseSection(std::string_view section) {
  WriteThrough([&] { TMemIniFile::EraseSection(section); });
}

void TIniFile::DeleteKey(std::string_view section, std::string_view ident) {
  WriteThrough([&] { TMemIniFile::DeleteKey(section, ident); });
}

}  // namespace zv
