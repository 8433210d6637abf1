#pragma once
// TStrings, the host's abstract list of strings with an object attached to each, and
// TStringList, its implementation, which can keep itself sorted.
//
// Text joins the lines with LineBreak, "\r\n" by default as on the host's own platform, and
// ends the last line with it too; setting Text splits on CR, LF or CRLF alike. Files and
// streams hold UTF-8 text; a UTF-8 byte order mark is skipped on load and never written.
// Separators, delimiters and quote characters are single ASCII characters.

#include <functional>
#include <vector>

#include "platform/classes/Persistent.h"
#include "platform/rtl/Exceptions.h"

namespace zv {

class TStream;
class TStringList;

ZV_EVENT(TNotifyEvent, void(TObject* sender));

class EStringListError : public EListError {
public:
  using EListError::EListError;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
  ZV_CLASS(TStrings, TPersistent)

public:
  // Index of the new string.
  virtual int Add(const String& s);
  virtual int AddObject(const String& s, TObject* object);
  void Append(const String& s) { Add(s); }
  virtual void Insert(int index, const String& s) = 0;
  virtual void InsertObject(int index, const String& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void AddStrings(const TStrings& strings);
  virtual void Move(int curIndex, int newIndex);
  virtual void Exchange(int index1, int index2);

  int Count() const { return GetCount(); }
  String Strings(int index) const { return Get(index); }
  void SetStrings(int index, const String& s) { Put(index, s); }
  TObject* Objects(int index) const { return GetObject(index); }
  void SetObjects(int index, TObject* object) { PutObject(index, object); }

  // Searches compare as CompareStrings does (case-insensitive here); -1 when absent.
  virtual int IndexOf(const String& s) const;
  virtual int IndexOfName(const String& name) const;
  int IndexOfObject(const TObject* object) const;
  // Same strings, case included, in the same order; objects are not compared.
  bool Equals(const TStrings& strings) const;

  // "name=value" entries. Names of an entry without a separator is empty; Values of an
  // absent name is empty; setting a value to "" deletes the entry.
  String Names(int index) const;
  String Values(const String& name) const;
  void SetValues(const String& name, const String& value);
  String ValueFromIndex(int index) const;
  void SetValueFromIndex(int index, const String& value);
  char NameValueSeparator() const { return fNameValueSeparator; }
  void SetNameValueSeparator(char c) { fNameValueSeparator = c; }

  virtual String Text() const;
  virtual void SetText(const String& text);
  const String& LineBreak() const { return fLineBreak; }
  // Setting Text splits on this exact text unless it is CR, LF or CRLF (then on any of those).
  void SetLineBreak(const String& lineBreak) { fLineBreak = lineBreak; }

  // Items separated by Delimiter. An item with a blank or control character, the delimiter or
  // the quote character is enclosed in QuoteChar with inner quotes doubled; a lone empty item
  // reads as two quotes. On setting, unquoted blanks also separate items unless
  // StrictDelimiter.
  String DelimitedText() const;
  void SetDelimitedText(const String& text);
  char Delimiter() const { return fDelimiter; }
  void SetDelimiter(char c) { fDelimiter = c; }
  char QuoteChar() const { return fQuoteChar; }
  void SetQuoteChar(char c) { fQuoteChar = c; }
  bool StrictDelimiter() const { return fStrictDelimiter; }
  void SetStrictDelimiter(bool value) { fStrictDelimiter = value; }
  // DelimitedText with ',' and '"' and blanks separating, whatever the properties say.
  String CommaText() const;
  void SetCommaText(const String& text);

  // Brackets a batch of changes; descendants report the batch once, at the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return fUpdateCount; }

  // Copies strings, objects and the separator properties of another TStrings; other sources
  // raise EConvertError "Cannot assign a X to a Y".
  void Assign(const TPersistent* source) override;

  // Replace the content by the UTF-8 text from the stream's position to its end.
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream) const;
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName) const;

  // Published string lists stream their lines as the host's "Strings" list
  // (Items.Strings = ( 'a' 'b' )); an empty list writes nothing.
  void DefineProperties(TFiler& filer) override;

protected:
  virtual String Get(int index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int index) const;
  // Default: deletes and re-inserts, keeping the object.
  virtual void Put(int index, const String& s);
  // Default: ignores the object (a list that holds none).
  virtual void PutObject(int index, TObject* object);
  // Called with true at the first BeginUpdate, with false at the last EndUpdate.
  virtual void SetUpdateState(bool updating);
  // The comparison behind IndexOf, IndexOfName and sorting: AnsiCompareText here.
  virtual int CompareStrings(const String& s1, const String& s2) const;
  // Stores the rewritten entry of SetValues and SetValueFromIndex.
  virtual void PutValueEntry(int index, const String& s) { Put(index, s); }

  // Raise EStringListError with the message (formatted with data).
  [[noreturn]] static void Error(const char* message, int data);
  [[noreturn]] static void Error(const char* message);

private:
  String GetDelimited(char delimiter, char quote, bool strict) const;
  void SetDelimited(const String& text, char delimiter, char quote, bool strict);

  String fLineBreak = "\r\n";
  char fDelimiter = ',';
  char fQuoteChar = '"';
  char fNameValueSeparator = '=';
  bool fStrictDelimiter = false;
  int fUpdateCount = 0;
};

// <0 when the string at index1 sorts before the one at index2, 0 when equal, >0 after.
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

class TStringList : public TStrings {
  ZV_CLASS(TStringList, TStrings)

public:
  TStringList() = default;
  explicit TStringList(bool ownsObjects) : fOwnsObjects(ownsObjects) {}
  // Frees the owned objects without firing events.
  ~TStringList() override;

  // On a sorted list Add inserts in order and applies Duplicates: dupIgnore returns the index
  // of the string already there (an object passed along is not taken), dupError raises
  // EStringListError "String list does not allow duplicates".
  int Add(const String& s) override { return AddObject(s, nullptr); }
  int AddObject(const String& s, TObject* object) override;
  // EStringListError "Operation not allowed on sorted list" when Sorted.
  void Insert(int index, const String& s) override;
  void InsertObject(int index, const String& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  // EStringListError "Operation not allowed on sorted list" when Sorted.
  void Move(int curIndex, int newIndex) override;
  int IndexOf(const String& s) const override;

  // Binary search of a sorted list: true when found; index is the first position of s, or
  // where it would be inserted.
  bool Find(const String& s, int& index) const;
  // Both do nothing on a list that is already Sorted.
  void Sort();
  void CustomSort(const TStringListSortCompare& compare);

  bool Sorted() const { return fSorted; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return fDuplicates; }
  void SetDuplicates(TDuplicates value) { fDuplicates = value; }
  // False: AnsiCompareText; true: AnsiCompareStr. A sorted list re-sorts on change.
  bool CaseSensitive() const { return fCaseSensitive; }
  void SetCaseSensitive(bool value);
  // When true, the list destroys the objects of the strings it deletes or clears, and an
  // object replaced through SetObjects.
  bool OwnsObjects() const { return fOwnsObjects; }
  void SetOwnsObjects(bool value) { fOwnsObjects = value; }

  // Fired around each change, or once around a BeginUpdate/EndUpdate batch that changed
  // something: OnChanging before its first change, OnChange at the last EndUpdate.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  String Get(int index) const override;
  int GetCount() const override { return static_cast<int>(fList.size()); }
  TObject* GetObject(int index) const override;
  // EStringListError "Operation not allowed on sorted list" when Sorted.
  void Put(int index, const String& s) override;
  void PutObject(int index, TObject* object) override;
  void SetUpdateState(bool updating) override;
  int CompareStrings(const String& s1, const String& s2) const override;
  // A sorted list moves the rewritten entry to its place rather than refusing.
  void PutValueEntry(int index, const String& s) override;

  virtual void Changing();
  virtual void Changed();

private:
  struct TStringItem {
    String fString;
    TObject* fObject = nullptr;  // owned only when fOwnsObjects
  };

  void CheckIndex(int index) const;
  void InsertItem(int index, const String& s, TObject* object);
  void SortItems();

  std::vector<TStringItem> fList;
  TDuplicates fDuplicates = dupIgnore;
  bool fSorted = false;
  bool fCaseSensitive = false;
  bool fOwnsObjects = false;
  bool fChangingFired = false;  // OnChanging already fired in the current update batch
  bool fChangedInUpdate = false;
};

}  // namespace zv
