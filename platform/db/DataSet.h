#pragma once
// TDataSet: the cursor over a set of records, with the host's record-buffer protocol.
//
// The dataset keeps a window of record buffers (as many as the largest BufferCount of its data
// links): ActiveRecord is the row of the window that the cursor is on. Descendants implement the
// protected Internal... operations and the buffer protocol (AllocRecordBuffer, GetRecord in
// current/next/prior mode, bookmarks, field data); everything public is built on them here, so a
// grid scrolling a window of rows costs the rows on screen, not the rows in the table.
//
// Calculated and lookup fields are this class's alone: each record read into the window gets
// its calculated values (TRecordBuffer::CalcValues) here, in the dsCalcFields state, so a
// descendant's GetFieldData and SetFieldData only ever see data fields.
//
// The sources: DataSet.cpp (opening, the buffer window, moving, data events), DataSetEditing.cpp
// (editing states, posting, errors), DataSetFields.cpp (fields, searching, calculated and
// lookup fields).

#include "platform/classes/Component.h"
#include "platform/classes/Streams.h"
#include "platform/db/DBTypes.h"
#include "platform/db/Field.h"
#include "platform/db/FieldDefs.h"
#include "platform/rtl/Variant.h"

#include <functional>
#include <memory>
#include <vector>

namespace zv {

class TDataSource;
class TDataLink;
class TStrings;
class TBookmarkSet;

ZV_EVENT(TDataSetNotifyEvent, void(TDataSet* dataSet));
// Asked every few thousand steps of a long read; setting stop ends the read (as Interrupt does).
ZV_EVENT(TDataSetProgressEvent, void(TDataSet* dataSet, bool& stop));
ZV_EVENT(TDataSetErrorEvent, void(TDataSet* dataSet, EDatabaseError& error, TDataAction& action));

// Raises EDatabaseError; a named component prefixes the message with its name ("Table1: ..."),
// as the host does.
[[noreturn]] void DatabaseError(const String& message, const TComponent* component);

// Where a dataset sends the exceptions it has no caller to hand to: an open that fails while a
// form is loaded at design time, a control that fails while a lookup dataset is destroyed. The
// application object installs a handler that shows the message; the handler takes the
// exception, neither rethrowing nor keeping it. With none installed (the default) such an
// exception goes on to the caller where there is one, and is dropped where there is none.
using TDataSetExceptionHandler = std::function<void(TDataSet* dataSet, const std::exception& error)>;
void SetDataSetExceptionHandler(TDataSetExceptionHandler handler);
const TDataSetExceptionHandler& DataSetExceptionHandler();

// The fields of a dataset, in order; the dataset owns the fields it created itself.
class TFields {
public:
  explicit TFields(TDataSet* dataSet) : fDataSet(dataSet) {}
  int Count() const { return static_cast<int>(fList.size()); }
  TField* Fields(int index) const;  // raises "Field index out of range"
  TField* operator[](int index) const { return Fields(index); }
  TField* FindField(std::string_view name) const;  // case-insensitive; null when absent
  TField* FieldByName(std::string_view name) const;  // raises SFieldNotFound
  int IndexOf(const TField* field) const;
  void Add(TField* field);
  void Remove(TField* field);
  void Clear();
  void Move(int from, int to);
  auto begin() const { return fList.begin(); }
  auto end() const { return fList.end(); }

private:
  TDataSet* fDataSet;
  std::vector<TField*> fList;
};

class TDataSet : public TComponent {
  ZV_CLASS(TDataSet, TComponent)

public:
  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;

  // Opening and state.
  bool Active() const;
  void SetActive(bool value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return fState; }
  bool Modified() const { return fModified; }
  virtual bool CanModify() const;
  bool IsEmpty() const;

  // Moving. MoveBy returns the distance actually moved; moves stop at either end.
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  int MoveBy(int distance);
  bool Bof() const { return fBOF; }
  bool Eof() const { return fEOF; }
  virtual int RecordCount() const;
  // Whether RecordCount answers without a pass over the rows, and a figure that costs none: the
  // count when known, else the dataset's guess, or -1. A dataset that holds its rows knows.
  virtual bool RecordCountKnown() const { return true; }
  virtual int RecordCountEstimate() const { return RecordCount(); }
  virtual int RecNo() const;  // 1-based; -1 when unknown
  virtual void SetRecNo(int value);
  virtual bool IsSequenced() const;

  // Bookmarks.
  TBookmarkStr Bookmark() const;
  void SetBookmark(const TBookmarkStr& bookmark);
  void GotoBookmark(const TBookmarkStr& bookmark);
  virtual bool BookmarkValid(const TBookmarkStr& bookmark) const;
  virtual int CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const;

  // Searching: keyFields is a ";" list; keyValues one value or a variant array of them.
  virtual bool Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options = {});
  // Posts a pending edit, then ReadByKey.
  virtual Variant Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields);
  // The resultFields of the first record whose keyFields hold keyValues, Null when none, read
  // without moving the cursor, posting or cancelling an edit, or reaching any data link or
  // scroll event: what painting may ask. The base walks a scratch buffer; datasets that can
  // find a record by key answer themselves.
  virtual Variant ReadByKey(const String& keyFields, const Variant& keyValues, const String& resultFields);

  // ---- Prefix search --------------------------------------------------------------------------
  // The record whose field text's caseless key (CaselessKey) starts with key, which is one
  // already. Forward or backward in the dataset's order, from the first (last) record
  // (psfEdge), the current one, or the one after (before) it. Found moves the cursor there once,
  // as Locate does; not found leaves it alone. psrCannot: this dataset has no such search (the
  // caller walks the records instead), the default.
  virtual TPrefixSearchResult FindPrefix(TField& field, TFieldTextKind kind, const String& key, bool forward,
                                         TPrefixSearchFrom from);

  // Fields.
  // The fields the application created before Open stay; when none of them is a data field
  // (only calculated and lookup ones, or none at all), the data fields are made from the
  // field definitions at Open, before the others, and destroyed at Close.
  TFields& Fields() { return fFields; }
  const TFields& Fields() const { return fFields; }
  int FieldCount() const { return fFields.Count(); }
  TField* FindField(std::string_view name) const { return fFields.FindField(name); }
  TField* FieldByName(std::string_view name) const { return fFields.FieldByName(name); }
  TFieldDefs& FieldDefs();
  // The fields named in a ";" list, in order; raises SFieldNotFound for a missing one.
  std::vector<TField*> GetFieldList(const String& fieldNames) const;
  // The values of a ";" list of fields: one value, or a variant array for several.
  Variant FieldValues(const String& fieldNames) const;
  void SetFieldValues(const String& fieldNames, const Variant& values);
  void GetFieldNames(TStrings& list) const;

  // Editing.
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // Adds and posts a record holding the values in one step (InternalAddRecord): before the
  // current record, or after the last. The values go to the fields in order, Null clearing
  // one; the events are BeforeInsert, OnNewRecord, AfterInsert, BeforePost and AfterPost, and
  // the controls hear one change at the end. On failure the window is as it was.
  void InsertRecord(const std::vector<Variant>& values);
  void AppendRecord(const std::vector<Variant>& values);
  // The values to the fields in order (Null clears one); more values than fields raise before
  // any is written.
  void SetFields(const std::vector<Variant>& values);
  void CheckBrowseMode();
  void UpdateRecord();
  void Refresh();
  void Resync(TResyncMode mode);
  void UpdateCursorPos();
  void CursorPosChanged() { fCurrentRecord = -1; }
  void ClearFields();
  void CheckActive() const;
  void CheckInactive() const;

  // The buffer window.
  TRecordBuffer* ActiveBuffer() const;
  int ActiveRecord() const { return fActiveRecord; }
  int BufferCount() const { return static_cast<int>(fBufferCount); }
  int BufferedRecordCount() const { return fRecordCount; }  // valid rows in the window

  // Notifications to data sources (and so to controls).
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return fDisableCount > 0; }
  void DataEvent(TDataEvent event, std::intptr_t info);

  virtual std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode);

  // Called in a catch block by code with no caller to raise to (a destructor, a notification):
  // hands the exception being handled to the application's handler, and drops it when none is
  // installed.
  void HandleExceptionQuietly() noexcept;

  // OnCalcFields runs, in the dsCalcFields state, for each record read into the window, when
  // the dataset goes into edit state, and, while AutoCalcFields, after each change of a data
  // field of the record being edited. It runs only when there are calculated or lookup fields;
  // lookup fields are filled just before it.
  bool AutoCalcFields() const { return fAutoCalcFields; }
  void SetAutoCalcFields(bool value) { fAutoCalcFields = value; }

  void Loaded() override;  // opens a dataset whose Active was read as true
  static void DeclareProperties(TPropTable<TDataSet>& t);

  // ---- Bookmark sets (BookmarkSet.h) ------------------------------------------------------
  // A record's bookmark holds the same bytes each time it is taken (read in a window, after a
  // move, from GotoBookmark), on every dataset: a set of them tests membership by the bytes.
  std::unique_ptr<TBookmarkSet> CreateBookmarkSet();
  // What the dataset shows (its file and table or statement, its server and table), so that a
  // reopen of the same data can be told from other data; empty when it cannot tell.
  virtual String DataIdentity() const { return {}; }

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent BeforeRefresh, AfterRefresh, OnNewRecord, OnCalcFields;
  TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

  // Field data of the record the current state reads from (the active buffer in browse, edit
  // and insert states, the record being calculated in dsCalcFields); false when the value is
  // null. Only data fields come here: TField keeps the others in the calculated values.
  virtual bool GetFieldData(const TField* field, Variant& value) const = 0;
  // The value as the record's window holds it, which for a long text or blob may be only its
  // start (GetFieldData reads such a value whole, each time it is asked): enough to show it or
  // to tell whether there is one. And the stored length in bytes of a value held only in part,
  // asked without reading it; -1 for a value held whole.
  virtual bool GetFieldDataStart(const TField* field, Variant& value) const { return GetFieldData(field, value); }
  virtual std::int64_t GetFieldDataLength(const TField*) const { return -1; }
  // Writes into the active buffer; called by TField::SetData in the write states. Descendants
  // store the value, then send DataEvent(deFieldChange, field), which marks the record
  // modified, tells the controls and fires the field's OnChange.
  virtual void SetFieldData(TField* field, const Variant& value) = 0;

protected:
  // The record-buffer protocol.
  virtual TRecordBufferPtr AllocRecordBuffer() = 0;
  virtual void InitRecord(TRecordBuffer& buffer);
  virtual void InternalInitRecord(TRecordBuffer& buffer) = 0;
  virtual TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) = 0;
  virtual TBookmarkStr GetBookmarkData(const TRecordBuffer& buffer) const { return buffer.Bookmark; }
  virtual void SetBookmarkData(TRecordBuffer& buffer, const TBookmarkStr& data) { buffer.Bookmark = data; }
  virtual TBookmarkFlag GetBookmarkFlag(const TRecordBuffer& buffer) const { return buffer.BookmarkFlag; }
  virtual void SetBookmarkFlag(TRecordBuffer& buffer, TBookmarkFlag flag) { buffer.BookmarkFlag = flag; }
  virtual void InternalGotoBookmark(const TBookmarkStr& bookmark) = 0;
  virtual void InternalSetToRecord(TRecordBuffer& buffer) = 0;
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual void InternalInitFieldDefs() = 0;
  virtual void InternalAddRecord(TRecordBuffer& buffer, bool append) = 0;
  virtual void InternalPost();  // checks required fields; descendants store, then call it first
  virtual void InternalDelete() = 0;
  virtual void InternalCancel() {}
  virtual void InternalEdit() {}
  virtual void InternalInsert() {}
  virtual void InternalRefresh() {}
  // Called in a catch block: hands the exception being handled to the application's handler
  // (SetDataSetExceptionHandler); without one it rethrows it.
  virtual void InternalHandleException();
  virtual bool IsCursorOpen() const = 0;

  // Hooks.
  virtual void DoOnNewRecord();
  virtual void OpenCursor(bool infoQuery);
  virtual void CloseCursor();
  // Creates one field per field def: the default fields (see Fields).
  virtual void CreateFields();
  virtual void DestroyFields();
  // The master data source of a detail dataset (none by default); guards against circular links.
  virtual TDataSource* GetDataSource() const { return nullptr; }
  void SetState(TDataSetState state);
  void SetModified(bool value) { fModified = value; }
  TRecordBuffer* Buffer(int index) const;  // a row of the window
  // The buffer the current state reads field data from.
  TRecordBuffer* GetActiveRecordBuffer() const;
  void SetBufferCount(int count);

  // Calculated fields. GetCalcFields switches to dsCalcFields with the buffer as CalcBuffer,
  // clears its calculated values and calls CalculateFields (lookup values, then
  // DoOnCalcFields); nothing happens when there are no calculated or lookup fields.
  virtual void GetCalcFields(TRecordBuffer& buffer);
  virtual void CalculateFields(TRecordBuffer& buffer);
  virtual void ClearCalcFields(TRecordBuffer& buffer);
  virtual void DoOnCalcFields();
  TRecordBuffer* CalcBuffer() const { return fCalcBuffer; }
  // What ReadByKey asks once its scratch buffer is the record fields read (dsInternalCalc):
  // fill it with the first record whose fields hold keys, calculated fields included, and say
  // whether there was one. The base walks the cursor from the first record; a dataset holding
  // its rows looks at them instead and leaves the cursor alone.
  virtual bool FindKeyRecord(TRecordBuffer& scratch, const std::vector<TField*>& fields,
                             const std::vector<Variant>& keys);
  int CalcFieldsCount() const { return fCalcFieldsCount; }  // calculated and lookup fields
  // A state for an internal operation, with no notification, and back.
  TDataSetState SetTempState(TDataSetState state);
  void RestoreState(TDataSetState state);
  // Lookup fields reading this dataset forget the values they cached; called after every
  // change of the data (descendants call it for changes of their own, such as emptying).
  void LookupDataChanged();

  // ---- Bookmark sets: what a TBookmarkSet asks ----------------------------------------------
  friend class TBookmarkSet;
  // An integer bookmark as its number and back (the set then holds runs of numbers); false for
  // a dataset whose bookmarks are not integers.
  virtual bool BookmarkNumber(const TBookmarkStr& bookmark, std::int64_t& number) const;
  virtual TBookmarkStr NumberBookmark(std::int64_t number) const;
  // Changes when older bookmarks stop naming the same records (a query read again).
  virtual std::int64_t BookmarkEpoch() const { return 0; }
  // The defaults walk the records, put the cursor back and fire no scroll event; descendants
  // answer without moving. AddRange's bookmarks are both empty for every record; Items' after
  // is a hint (the member before the first wanted) that a descendant may read on from.
  virtual void BookmarkSetAddRange(TBookmarkSet& set, const TBookmarkStr& from, const TBookmarkStr& to);
  virtual std::int64_t BookmarkRank(const TBookmarkStr& bookmark);
  virtual void BookmarkSetItems(const TBookmarkSet& set, std::int64_t skip, std::size_t count,
                                const TBookmarkStr& after, std::vector<TBookmarkStr>& into);
  virtual void BookmarkSetPurge(TBookmarkSet& set);
  // Deletes the set's records, pending edit already posted: the default record by record.
  virtual void BookmarkSetDelete(TBookmarkSet& set);

private:
  friend class TDataLink;
  friend class TDataSource;
  friend class TField;
  friend class TFields;
  // The buffer-window machinery (as the host: GetNextRecords, GetPriorRecords, ...).
  bool GetNextRecord();
  bool GetPriorRecord();
  int GetNextRecords();
  int GetPriorRecords();
  void ClearBuffers();
  void ActivateBuffers();
  void SetCurrentRecord(int index);
  void MoveBuffer(int from, int to);
  void UpdateBufferCount();
  void AddDataSource(TDataSource* source);
  void RemoveDataSource(TDataSource* source);
  void DoAfterScroll();
  void DoBeforeScroll();
  void AdjustFirstRecord(int delta);
  void BindFields();
  bool BookmarkAvailable() const;
  void CheckCanModify() const;
  void BeginInsertAppend();
  void EndInsertAppend();
  void AddRecord(const std::vector<Variant>& values, bool append);
  // Raises SFieldRequired for the first required data field that is empty, after asking its
  // controls to take the focus.
  void CheckRequiredFields();
  // Runs an operation, letting the error event fail, abort or retry it.
  void CheckOperation(void (TDataSet::*operation)(), const TDataSetErrorEvent& onError);
  // The Locate/Lookup walk: true with the cursor on the match, else back where it was.
  bool LocateRecord(const String& keyFields, const Variant& keyValues, TLocateOptions options);
  // GetRecord, then the calculated fields of the record read.
  TGetResult FetchRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck);
  // Calculates every row of the window again and tells the controls.
  void RecalcWindow();
  // The calculated values of the record the current state reads from, for TField.
  bool GetCalcFieldData(const TField* field, Variant& value) const;
  void SetCalcFieldData(TField* field, const Variant& value);
  void AddLookupField(TField* field);
  void RemoveLookupField(TField* field);
  void DestroyDefaultFields();

  TFields fFields;
  std::unique_ptr<TFieldDefs> fFieldDefs;
  std::vector<TDataSource*> fDataSources;
  std::vector<TRecordBufferPtr> fBuffers;  // fBufferCount rows, plus one spare at the end
  std::size_t fBufferCount = 0;
  int fRecordCount = 0;    // valid rows in the window
  int fActiveRecord = 0;   // the row the dataset's cursor shows
  int fCurrentRecord = -1; // the row the descendant's cursor is positioned on; -1 = unknown
  bool fBOF = true;
  bool fEOF = true;
  bool fModified = false;
  TDataSetState fState = dsInactive;
  int fDisableCount = 0;
  TDataSetState fDisableState = dsInactive;
  TDataEvent fDisabledEvent = deDataSetChange;
  bool fHasDisabledEvent = false;
  int fScrollEventLock = 0;  // scroll events are held back while Locate walks
  std::vector<TField*> fDefaultFieldList;  // the fields Open made from the definitions
  TRecordBuffer* fCalcBuffer = nullptr;    // the record being calculated, in dsCalcFields
  int fCalcFieldsCount = 0;
  bool fAutoCalcFields = true;
  bool fStreamedActive = false;            // Active as read from a form, applied by Loaded
  std::vector<TField*> fLookupClients;     // lookup fields of other datasets that read this one
};

}  // namespace zv
