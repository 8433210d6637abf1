#pragma once
// Settings files of "[Section]" headers and "Key=Value" lines, as the host's IniFiles unit reads
// and writes them. Files are UTF-8 (a leading byte-order mark is skipped); section and key names
// compare without regard to case, in any script; comment and other lines are kept as they were.
// Blanks around names and values are not part of them; a value whose outer blanks or quotes
// matter is written in double quotes, which reading takes off again.
//
// A file is only ever replaced whole: the new text goes to a temporary file in the same folder
// that is renamed over the old one, so a write that fails (a full disk, a read-only folder)
// raises EIniFileException and leaves the old file as it was.
//
// TMemIniFile works in memory and writes on UpdateFile. TIniFile writes every change through at
// once, as the host's does; a change that cannot be written is undone in memory too.

#include <vector>

#include "platform/classes/Object.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"

namespace zv {

class EIniFileException : public Exception {
public:
  using Exception::Exception;
};

class TMemIniFile : public TObject {
  ZV_CLASS(TMemIniFile, TObject)

public:
  // Reads the file when it exists; EIniFileException when it exists and cannot be read.
  explicit TMemIniFile(String fileName);

  const String& FileName() const { return fFileName; }

  String ReadString(std::string_view section, std::string_view ident, std::string_view defaultValue) const;
  // Names with a line break, '=' or ']' where they would end the name, and values with a line
  // break, cannot be written back and raise EIniFileException.
  virtual void WriteString(std::string_view section, std::string_view ident, std::string_view value);

  // Decimal or "$"/"0x" hexadecimal; anything else gives the default.
  int ReadInteger(std::string_view section, std::string_view ident, int defaultValue) const;
  void WriteInteger(std::string_view section, std::string_view ident, int value);
  // "1"/"0" are written; any number and "true"/"false" are read.
  bool ReadBool(std::string_view section, std::string_view ident, bool defaultValue) const;
  void WriteBool(std::string_view section, std::string_view ident, bool value);
  // Numbers and dates are written the same way whatever the application's format settings:
  // "." decimals with the digits that read back to the same double, dates as
  // "yyyy-mm-dd hh:nn:ss.zzz".
  double ReadFloat(std::string_view section, std::string_view ident, double defaultValue) const;
  void WriteFloat(std::string_view section, std::string_view ident, double value);
  TDateTime ReadDateTime(std::string_view section, std::string_view ident, TDateTime defaultValue) const;
  void WriteDateTime(std::string_view section, std::string_view ident, TDateTime value);

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view ident) const;
  // The keys of a section; the section names; a section's "Key=Value" lines.
  void ReadSection(std::string_view section, TStrings& keys) const;
  void ReadSections(TStrings& sections) const;
  void ReadSectionValues(std::string_view section, TStrings& values) const;
  virtual void EraseSection(std::string_view section);
  virtual void DeleteKey(std::string_view section, std::string_view ident);

  // The whole file text, as UpdateFile would write it.
  String Text() const;
  void SetText(std::string_view text);
  // Writes the file (see above).
  virtual void UpdateFile();

private:
  struct TLine {
    String Key;    // empty for a comment or any other line kept as it was
    String Value;  // the value, or the whole line when Key is empty
  };
  struct TSection {
    String Name;
    std::vector<TLine> Lines;
  };

  const TSection* FindSection(std::string_view name) const;
  TSection* FindSection(std::string_view name);
  const TLine* FindKey(std::string_view section, std::string_view ident) const;

  String fFileName;
  TSection fPrelude;  // what comes before the first section header
  std::vector<TSection> fSections;

  friend class TIniFile;
};

class TIniFile : public TMemIniFile {
  ZV_CLASS(TIniFile, TMemIniFile)

public:
  using TMemIniFile::TMemIniFile;

  void WriteString(std::string_view section, std::string_view ident, std::string_view value) override;
  void EraseSection(std::string_view section) override;
  void DeleteKey(std::string_view section, std::string_view ident) override;

private:
  template <class Change>
  void WriteThrough(Change change);
};

}  // namespace zv
