#pragma once
// The two sides of a drop-down tool form that holds a data grid as its record list. The tool
// form hands itself to the grid (tfSetToolForm) while it is shown; the grid marks the record
// whose key is the tool form's current value and, when the user's pick is posted, writes the
// marked record's key back. Neither side includes the other's header.

#include "platform/controls/ControlTypes.h"
#include "platform/rtl/Variant.h"

namespace zv {

class TControl;
class TDataSource;
class TVisionToolForm;
class IvpFieldEditor;

// What a data grid sees of the tool form it is placed on.
class IvtfToolForm {
public:
  // The value the drop-down started from (the edit control's current value).
  virtual Variant tfCurrentValue() const = 0;
  // The value the user picked, posted to the edit control when the pop-up closes.
  virtual void tfSetResultValue(const Variant& value) = 0;
  // The grid's current record changed by the user: there is something to post.
  virtual void tfValueChanged() = 0;
  // The grid's user picked a record (post) or gave up: the drop-down closes.
  virtual void tfClosePopup(bool post) { (void)post; }

protected:
  ~IvtfToolForm() = default;
};

// What the tool form sees of the grid.
class IvtfDataGrid {
public:
  // The tool form the grid is shown in (null when it closes); it must implement IvtfToolForm.
  virtual void tfSetToolForm(TControl* toolForm) = 0;
  // The tool form's current value changed: mark the record with that key.
  virtual void tfCurrentChanged() = 0;
  // The pick is posted: write the marked record's key into the tool form's result.
  virtual void tfPostChanges() = 0;

protected:
  ~IvtfDataGrid() = default;
};

// What the data edit control sees of its open drop-down panel (the panel the vision showed).
class IVisionToolForm {
public:
  // Every key but Enter and Escape while the drop-down is open; may clear the key.
  virtual void UserKeyDown(Word& key, TShiftState shift) = 0;
  // The user pressed `control`: the drop-down closes unless that is inside it.
  virtual void UserCancelMode(TControl* control) = 0;
  // The editor's current value was changed from outside the drop-down (typing that completed
  // against the list): the grid on it marks the record with that key.
  virtual void CurrentChanged() = 0;
  // The edit's text was typed.
  virtual void EditTextChanged() = 0;
  // The panel itself (null for a drop-down that is none).
  virtual TVisionToolForm* GetSelf() = 0;
  // Closes the drop-down, posting the pick when asked.
  virtual void ClosePopup(bool post, bool hide) = 0;

protected:
  ~IVisionToolForm() = default;
};

// What the drop-down panel sees of the vision that opened it.
class IVisionToolFormUser {
public:
  // The data source the panel's list binds to while shown (null when there is none).
  virtual TDataSource* DefDataSource() = 0;
  // The panel that shows for this vision now; null once it closed.
  virtual void SetCallbackInterface(IVisionToolForm* toolForm) = 0;
  // The vision's own posting of the editor's current value; true when something was posted.
  virtual bool PostChanges(IvpFieldEditor& edit, bool selectAll) = 0;
  virtual bool PostChangesAndHide(IvpFieldEditor& edit, bool selectAll) = 0;

protected:
  ~IVisionToolFormUser() = default;
};

}  // namespace zv
