#pragma once
// Record snapshots: how the grid remembers a record apart from the dataset's cursor. A
// TgpRecShot knows how to recognise and re-find one record (its bookmark, the values of the
// grid's UniqueFields and BookmarkFields, its record number); TgpCurrentRecShot is the one that
// marks the grid's current record, and follows the grid's CursorType.

#include "platform/classes/Persistent.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DBTypes.h"
#include "platform/rtl/Variant.h"

namespace zv {

class TDBDivoRud;

// How the grid holds its current record: the dataset's own current record, or a mark of the
// grid's that the cursor may leave, re-found by bookmark or by the UniqueFields values.
ZV_ENUM(TgpCursorType, gctSensitive, gctInsensitiveBmrk, gctInsensitiveID);

// The grid's database options.
class TgpDBParams : public TPersistent {
  ZV_CLASS(TgpDBParams, TPersistent)

public:
  TgpDBParams() = default;
  // Every snapshot also knows its record's number.
  bool EnableRecNo() const { return fEnableRecNo; }
  void SetEnableRecNo(bool value) { fEnableRecNo = value; }
  void Assign(const TPersistent* source) override;

  static void DeclareProperties(TPropTable<TgpDBParams>& t);

private:
  bool fEnableRecNo = true;
};

class TgpRecShot : public TObject {
public:
  explicit TgpRecShot(TDBDivoRud* grid) : fGrid(grid) {}
  ~TgpRecShot() override = default;

  TDBDivoRud* Grid() const { return fGrid; }
  const TBookmarkStr& GetBookmarkPtr() const { return fBookmark; }
  // The combined UniqueFields value; unassigned when none was captured.
  const Variant& IdentityValue() const { return fIdentity; }
  // The combined BookmarkFields value; unassigned when none was captured.
  const Variant& BookmarkFieldsValue() const { return fBookmarkValues; }
  // The record's number, -1 when not captured. Counting the records before one can be a query
  // over the whole table after a jump, so a snapshot learns it when asked, and only while its
  // record is in view or current.
  int RecNo() const;
  bool HasRecord() const { return fHasRecord; }

  // Captures the record the dataset stands on, whose bookmark is given (empty: no record).
  virtual void Init(const TBookmarkStr& bookmark);
  // Whether the dataset's current record is this snapshot's record.
  bool IsEqual() const;
  // Moves the dataset to the snapshot's record; false (cursor unmoved) when it is not found.
  bool GotoRecShot();

protected:
  TDBDivoRud* fGrid;
  TBookmarkStr fBookmark;
  Variant fIdentity;
  Variant fBookmarkValues;
  mutable int fRecNo = -1;
  mutable bool fRecNoPending = false;
  bool fHasRecord = false;
};

class TgpCurrentRecShot : public TgpRecShot {
public:
  using TgpRecShot::TgpRecShot;

  // Tied to a bookmark captured from the dataset; false while the mark knows only an identity
  // or a bookmark handed in and not yet found among the rows.
  bool Resolved() const { return fResolved; }
  bool CurrentChanged() const { return fCurrentChanged; }
  void SetCurrentChanged(bool value) { fCurrentChanged = value; }

  void Init(const TBookmarkStr& bookmark) override;
  // kind 1: by bookmark, 2: by identity. When allowed, the old mark is dropped first.
  bool PrepareForSelect(int kind);
  void SelectByID(const Variant& value, bool locate, bool notify);
  void SelectByBookmark(const TBookmarkStr& bookmark, bool gotoIt, bool notify);
  // Marks the dataset's current record.
  void Select(bool notify);
  // Select, when the mark follows the cursor now (sensitive, or inside a user action).
  void Update(bool notify);
  // Drops a resolved mark of an insensitive grid.
  void Deselect(bool notify);

private:
  friend class TDBDivoRud;
  bool fResolved = false;
  bool fCurrentChanged = false;
};

}  // namespace zv
