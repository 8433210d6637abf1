#pragma once
// TDataSource connects a dataset to controls; TDataLink is how a control follows a dataset:
// it asks for a window of BufferCount records, moves among them through ActiveRecord, and hears
// the dataset's events through its overridable notifications.

#include "platform/classes/Component.h"
#include "platform/db/DBTypes.h"
#include "platform/db/DataSet.h"

#include <functional>
#include <vector>

namespace zv {

class TDataSource;
class TDataLink;

// Where a record lies against a link's window of rows.
enum TWindowPlace { wpNoWindow, wpBefore, wpInWindow, wpAfter };

ZV_EVENT(TDataChangeEvent, void(TObject* sender, TField* field));
ZV_EVENT(TNotifyEventDS, void(TObject* sender));

class TDataSource : public TComponent {
  ZV_CLASS(TDataSource, TComponent)

public:
  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return fDataSet; }
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return fEnabled; }
  void SetEnabled(bool value);
  bool AutoEdit() const { return fAutoEdit; }
  void SetAutoEdit(bool value) { fAutoEdit = value; }
  TDataSetState State() const { return fState; }
  // Puts the dataset in edit state when AutoEdit allows and it is browsing.
  void Edit();
  bool IsLinkedTo(const TDataSet* dataSet) const;

  TNotifyEventDS OnStateChange;
  TDataChangeEvent OnDataChange;
  TNotifyEventDS OnUpdateData;

  static void DeclareProperties(TPropTable<TDataSource>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent event, std::intptr_t info);
  void NotifyDataLinks(TDataEvent event, std::intptr_t info);
  void NotifyLinkTypes(TDataEvent event, std::intptr_t info, bool linkType);
  void SetState(TDataSetState state);
  void UpdateState();
  void AddDataLink(TDataLink* link);
  void RemoveDataLink(TDataLink* link);

  TDataSet* fDataSet = nullptr;
  std::vector<TDataLink*> fDataLinks;
  bool fEnabled = true;
  bool fAutoEdit = true;
  TDataSetState fState = dsInactive;
};

class TDataLink : public TPersistent {
  ZV_CLASS(TDataLink, TPersistent)

public:
  TDataLink();
  ~TDataLink() override;

  TDataSource* DataSource() const { return fDataSource; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;
  bool Active() const { return fActive; }
  bool Editing() const { return fEditing; }
  // Puts the dataset in edit state; true when it is (or already was) editing.
  bool Edit();
  bool ReadOnly() const { return fReadOnly; }
  void SetReadOnly(bool value);
  // The row of this link's window that the dataset's active record is, and moving to a row.
  int ActiveRecord() const;
  void SetActiveRecord(int value);
  int BufferCount() const { return fBufferCount; }
  void SetBufferCount(int value);
  // Valid rows in this link's window.
  int RecordCount() const;
  // Whether the record of a bookmark comes before this link's window, after it, or on one of
  // its rows, found by comparing bookmarks with the window's first and last records: neither
  // the cursor nor the active record moves, and a bookmark equal to either costs no
  // comparison. wpNoWindow for an empty bookmark, an inactive link, or a window that holds
  // no posted record (a record being inserted has no place to compare with).
  TWindowPlace WindowPlace(const TBookmarkStr& bookmark) const;
  void UpdateRecord();
  bool ExecuteAction() { return false; }
  // Controls' links are told of events after the other links (master-detail ones).
  bool VisualControl() const { return fVisualControl; }
  void SetVisualControl(bool value) { fVisualControl = value; }

protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int distance) { (void)distance; DataSetChanged(); }
  virtual void FocusControl(TField** field) { (void)field; }
  virtual void EditingChanged() {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* field) { (void)field; }
  virtual void UpdateData() {}

private:
  friend class TDataSource;
  friend class TDataSet;
  void DataEvent(TDataEvent event, std::intptr_t info);
  void SetActive(bool value);
  void SetEditing(bool value);
  void UpdateState();
  // Keeps the dataset's active record inside this link's window.
  void UpdateRange();

  TDataSource* fDataSource = nullptr;
  int fFirstRecord = 0;  // the dataset's window row that is this link's row 0
  int fBufferCount = 1;
  bool fActive = false;
  bool fEditing = false;
  bool fReadOnly = false;
  bool fUpdating = false;
  bool fVisualControl = false;
};

}  // namespace zv
