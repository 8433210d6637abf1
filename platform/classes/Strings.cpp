#include "platform/classes/Strings.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Lists.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Writer.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

ZV_DEFINE_CLASS(TStrings, TPersistent)
ZV_DEFINE_CLASS(TStringList, TStrings)

namespace {

// Runs body inside BeginUpdate/EndUpdate, closing the bracket when body throws.
template <class Body>
void Updating(TStrings& strings, const Body& body) {
  strings.BeginUpdate();
  try {
    body();
  } catch (...) {
    strings.EndUpdate();
    throw;
  }
  strings.EndUpdate();
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

}  // namespace

// ---- TStrings ----

void TStrings::Error(const char* message, int data) { throw EStringListError(Format(message, {data})); }
void TStrings::Error(const char* message) { throw EStringListError(message); }

int TStrings::Add(const String& s) {
  const int index = GetCount();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const String& s, TObject* object) {
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const String& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& strings) {
  if (&strings == this) {  // adding a list to itself: read from a snapshot
    TStringList copy;
    copy.AddStrings(strings);
    AddStrings(copy);
    return;
  }
  Updating(*this, [&] {
    for (int i = 0; i < strings.GetCount(); ++i) AddObject(strings.Get(i), strings.GetObject(i));
  });
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  Updating(*this, [&] {
    const String s = Get(curIndex);
    TObject* object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, object);
  });
}

void TStrings::Exchange(int index1, int index2) {
  Updating(*this, [&] {
    const String s = Get(index1);
    TObject* object = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s);
    PutObject(index2, object);
  });
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

void TStrings::Put(int index, const String& s) {
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, s, object);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& s1, const String& s2) const { return AnsiCompareText(s1, s2); }

int TStrings::IndexOf(const String& s) const {
  for (int i = 0; i < GetCount(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const String& name) const {
  for (int i = 0; i < GetCount(); ++i) {
    const String s = Get(i);
    const auto separator = s.find(fNameValueSeparator);
    if (separator != String::npos && CompareStrings(s.substr(0, separator), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < GetCount(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

bool TStrings::Equals(const TStrings& strings) const {
  if (GetCount() != strings.GetCount()) return false;
  for (int i = 0; i < GetCount(); ++i)
    if (Get(i) != strings.Get(i)) return false;
  return true;
}

String TStrings::Names(int index) const {
  const String s = Get(index);
  const auto separator = s.find(fNameValueSeparator);
  return separator == String::npos ? String() : s.substr(0, separator);
}

// The value starts after the separator of the stored entry, which may differ in length from
// the name asked for when case folding changes lengths ("STRASSE" finds "straße").
String TStrings::Values(const String& name) const {
  const int index = IndexOfName(name);
  return index < 0 ? String() : ValueFromIndex(index);
}

void TStrings::SetValues(const String& name, const String& value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
  } else if (index < 0) {
    Add(name + fNameValueSeparator + value);
  } else {
    PutValueEntry(index, name + fNameValueSeparator + value);
  }
}

String TStrings::ValueFromIndex(int index) const {
  if (index < 0) return String();
  const String s = Get(index);
  const auto separator = s.find(fNameValueSeparator);
  return separator == String::npos ? String() : s.substr(separator + 1);
}

void TStrings::SetValueFromIndex(int index, const String& value) {
  if (value.empty()) {
    if (index >= 0) Delete(index);
  } else if (index < 0) {
    Add(fNameValueSeparator + value);
  } else {
    PutValueEntry(index, Names(index) + fNameValueSeparator + value);
  }
}

String TStrings::Text() const {
  String text;
  for (int i = 0; i < GetCount(); ++i) text += Get(i) + fLineBreak;
  return text;
}

void TStrings::SetText(const String& text) {
  const bool anyBreak = fLineBreak.empty() || fLineBreak == "\r\n" || fLineBreak == "\n" || fLineBreak == "\r";
  Updating(*this, [&] {
    Clear();
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
      if (anyBreak) {
        const std::size_t start = i;
        while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
        Add(text.substr(start, i - start));
        if (i < n && text[i] == '\r') ++i;
        if (i < n && text[i] == '\n') ++i;
      } else {
        const auto end = text.find(fLineBreak, i);
        if (end == String::npos) {
          Add(text.substr(i));
          break;
        }
        Add(text.substr(i, end - i));
        i = end + fLineBreak.size();
      }
    }
  });
}

String TStrings::GetDelimited(char delimiter, char quote, bool strict) const {
  const int count = GetCount();
  if (count == 1 && Get(0).empty()) return String(2, quote);
  String text;
  for (int i = 0; i < count; ++i) {
    const String s = Get(i);
    const bool quoted = std::any_of(s.begin(), s.end(), [&](char c) {
      return c == delimiter || c == quote || (strict ? c == '\0' : IsBlank(c));
    });
    if (i > 0) text += delimiter;
    if (!quoted) {
      text += s;
      continue;
    }
    text += quote;
    for (char c : s) {
      if (c == quote) text += quote;
      text += c;
    }
    text += quote;
  }
  return text;
}

// Unquoted items end at the delimiter (and, unless strict, at blanks, which are skipped); a
// quoted item ends at a single quote, a doubled one standing for the quote itself; a
// delimiter at the very end adds a last empty item.
void TStrings::SetDelimited(const String& text, char delimiter, char quote, bool strict) {
  Updating(*this, [&] {
    Clear();
    const std::size_t n = text.size();
    std::size_t i = 0;
    const auto skipBlanks = [&] {
      if (!strict)
        while (i < n && IsBlank(text[i])) ++i;
    };
    skipBlanks();
    while (i < n) {
      String item;
      if (text[i] == quote) {
        for (++i; i < n; ++i) {
          if (text[i] == quote) {
            if (i + 1 < n && text[i + 1] == quote) {
              ++i;
            } else {
              ++i;
              break;
            }
          }
          item += text[i];
        }
      } else {
        const std::size_t start = i;
        while (i < n && text[i] != delimiter && (strict || !IsBlank(text[i]))) ++i;
        item = text.substr(start, i - start);
      }
      Add(item);
      skipBlanks();
      if (i < n && text[i] == delimiter) {
        if (i + 1 == n) Add(String());
        ++i;
        skipBlanks();
      }
    }
  });
}

String TStrings::DelimitedText() const { return GetDelimited(fDelimiter, fQuoteChar, fStrictDelimiter); }
void TStrings::SetDelimitedText(const String& text) { SetDelimited(text, fDelimiter, fQuoteChar, fStrictDelimiter); }
String TStrings::CommaText() const { return GetDelimited(',', '"', false); }
void TStrings::SetCommaText(const String& text) { SetDelimited(text, ',', '"', false); }

void TStrings::BeginUpdate() {
  if (fUpdateCount == 0) SetUpdateState(true);
  ++fUpdateCount;
}

void TStrings::EndUpdate() {
  if (fUpdateCount == 0) return;  // unbalanced: nothing to close
  if (--fUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* source) {
  const auto* strings = dynamic_cast<const TStrings*>(source);
  if (!strings) {
    TPersistent::Assign(source);
    return;
  }
  if (strings == this) return;
  Updating(*this, [&] {
    Clear();
    fLineBreak = strings->fLineBreak;
    fDelimiter = strings->fDelimiter;
    fQuoteChar = strings->fQuoteChar;
    fNameValueSeparator = strings->fNameValueSeparator;
    fStrictDelimiter = strings->fStrictDelimiter;
    AddStrings(*strings);
  });
}

void TStrings::LoadFromStream(TStream& stream) {
  String text(static_cast<std::size_t>(std::max<std::int64_t>(0, stream.Size() - stream.Position())), '\0');
  text.resize(static_cast<std::size_t>(stream.Read(text.data(), static_cast<std::int64_t>(text.size()))));
  if (text.starts_with(kUtf8Bom)) text.erase(0, sizeof kUtf8Bom - 1);
  SetText(text);
}

void TStrings::SaveToStream(TStream& stream) const {
  const String text = Text();
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void TStrings::LoadFromFile(const String& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TStrings::SaveToFile(const String& fileName) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

// ---- TStringList ----

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (fOwnsObjects)
    for (auto& item : fList) std::unique_ptr<TObject>(item.fObject).reset();
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount()) Error(SListIndexError, index);
}

void TStringList::Changing() {
  if (UpdateCount() > 0) {
    if (fChangingFired) return;
    fChangingFired = true;
  }
  if (OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() > 0) {
    fChangedInUpdate = true;
    return;
  }
  if (OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  const bool changed = fChangedInUpdate;
  fChangingFired = false;
  fChangedInUpdate = false;
  if (!updating && changed) Changed();
}

int TStringList::CompareStrings(const String& s1, const String& s2) const {
  return fCaseSensitive ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

String TStringList::Get(int index) const {
  CheckIndex(index);
  return fList[static_cast<std::size_t>(index)].fString;
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return fList[static_cast<std::size_t>(index)].fObject;
}

void TStringList::Put(int index, const String& s) {
  if (fSorted) Error(SSortedListError);
  CheckIndex(index);
  Changing();
  fList[static_cast<std::size_t>(index)].fString = s;
  Changed();
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  TObject* old = std::exchange(fList[static_cast<std::size_t>(index)].fObject, object);
  if (fOwnsObjects && old != object) std::unique_ptr<TObject>(old).reset();
  Changed();
}

void TStringList::PutValueEntry(int index, const String& s) {
  if (!fSorted) {
    Put(index, s);
    return;
  }
  CheckIndex(index);
  Updating(*this, [&] {
    // Detached first so that Delete does not free it.
    TObject* object = std::exchange(fList[static_cast<std::size_t>(index)].fObject, nullptr);
    Delete(index);
    AddObject(s, object);
  });
}

void TStringList::InsertItem(int index, const String& s, TObject* object) {
  Changing();
  fList.insert(fList.begin() + index, TStringItem{s, object});
  Changed();
}

bool TStringList::Find(const String& s, int& index) const {
  int lo = 0, hi = GetCount() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareStrings(fList[static_cast<std::size_t>(mid)].fString, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;
    }
  }
  index = lo;
  return found;
}

int TStringList::AddObject(const String& s, TObject* object) {
  int index = GetCount();
  if (fSorted && Find(s, index)) {
    if (fDuplicates == dupIgnore) return index;
    if (fDuplicates == dupError) Error(SDuplicateString);
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Insert(int index, const String& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const String& s, TObject* object) {
  if (fSorted) Error(SSortedListError);
  if (index < 0 || index > GetCount()) Error(SListIndexError, index);
  InsertItem(index, s, object);
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  TObject* object = fList[static_cast<std::size_t>(index)].fObject;
  fList.erase(fList.begin() + index);
  if (fOwnsObjects) std::unique_ptr<TObject>(object).reset();
  Changed();
}

void TStringList::Clear() {
  if (fList.empty()) return;
  Changing();
  std::vector<TStringItem> items;
  items.swap(fList);
  if (fOwnsObjects)
    for (auto& item : items) std::unique_ptr<TObject>(item.fObject).reset();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(fList[static_cast<std::size_t>(index1)], fList[static_cast<std::size_t>(index2)]);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex);
  if (fSorted) Error(SSortedListError);
  CheckIndex(newIndex);
  Changing();
  const auto base = fList.begin();
  if (curIndex < newIndex)
    std::rotate(base + curIndex, base + curIndex + 1, base + newIndex + 1);
  else
    std::rotate(base + newIndex, base + curIndex, base + curIndex + 1);
  Changed();
}

int TStringList::IndexOf(const String& s) const {
  if (!fSorted) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

void TStringList::SortItems() {
  if (GetCount() < 2) return;
  Changing();
  std::stable_sort(fList.begin(), fList.end(), [this](const TStringItem& a, const TStringItem& b) {
    return CompareStrings(a.fString, b.fString) < 0;
  });
  Changed();
}

void TStringList::Sort() {
  if (!fSorted) SortItems();
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  if (fSorted || GetCount() < 2) return;
  Changing();
  detail::QuickSortIndices(
      0, GetCount() - 1, [&](int i, int p) { return compare(this, i, p); },
      [&](int i, int j) { std::swap(fList[static_cast<std::size_t>(i)], fList[static_cast<std::size_t>(j)]); });
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (value == fSorted) return;
  if (value) SortItems();
  fSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == fCaseSensitive) return;
  fCaseSensitive = value;
  if (fSorted) SortItems();
}

void TStrings::DefineProperties(TFiler& filer) {
  const auto read = [this](TReader& reader) {
    reader.ReadListBegin();
    std::vector<String> lines;
    while (!reader.EndOfList()) lines.push_back(reader.ReadString());
    reader.ReadListEnd();
    BeginUpdate();
    try {
      Clear();
      for (const String& line : lines) Add(line);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  };
  const auto write = [this](TWriter& writer) {
    writer.WriteListBegin();
    for (int i = 0; i < Count(); ++i) writer.WriteString(Get(i));
    writer.WriteListEnd();
  };
  filer.DefineProperty("Strings", read, write, Count() > 0);
}

}  // namespace zv
