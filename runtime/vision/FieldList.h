#pragma once
// TgpFieldList: what a vision works on for one host (a grid column, an edit control, the grid's
// in-place editor, a text control): the host's fields resolved against its dataset, its data
// link, its resolved caption and alignments, and its editing state. Each host owns one; the
// vision is shared and reaches the host back only through the host's consumer interface.

#include "platform/classes/ClassesTypes.h"
#include "runtime/rtm/RtmTypes.h"
#include "runtime/vision/FieldValue.h"

#include <functional>
#include <vector>

namespace zv {

class TDataLink;
class TDataSet;
class TField;
class TPersistent;
class TvpFieldVision;
class IvpFieldVisionConsumer;
class TgpColumn;
class TDBDevidEdit;
class TDBDevidText;

// The OnAction of the edit and text controls, and of the grid (with the column).
ZV_EVENT(TvpActionEvent, void(TObject* sender, const String& action, int param));
ZV_EVENT(TgpActionEvent, void(TObject* sender, TgpColumn* column, const String& action, int param));

// The vision of every list whose host chose none; null until the default pack sets it.
TvpFieldVision* DefaultVision();
void SetDefaultVision(TvpFieldVision* vision);

class TgpFieldList {
public:
  // The host hands over its kind, its consumer and its data link (none of them owned). A new
  // list holds one null field and uses DefaultVision when there is one.
  TgpFieldList(TPersistent* host, TgpHostType hostType, IvpFieldVisionConsumer* consumer,
               TDataLink* dataLink = nullptr);
  ~TgpFieldList();
  TgpFieldList(const TgpFieldList&) = delete;
  TgpFieldList& operator=(const TgpFieldList&) = delete;

  IvpFieldVisionConsumer* Consumer() const { return fConsumer; }
  TDataSet* DataSet() const { return fDataSet; }
  TDataLink* DataLink() const { return fDataLink; }
  void SetDataLink(TDataLink* link) { fDataLink = link; }
  TgpHostType HostType() const { return fHostType; }
  TPersistent* Host() const { return fHost; }
  // For a column host, and for the in-place editor the column being edited (null before).
  TgpColumn* Column() const { return fColumn; }
  void SetColumn(TgpColumn* column) { fColumn = column; }
  TDBDevidEdit* EditControl() const { return fEditControl; }
  void SetEditControl(TDBDevidEdit* edit) { fEditControl = edit; }
  TDBDevidText* TextControl() const { return fTextControl; }
  void SetTextControl(TDBDevidText* text) { fTextControl = text; }
  // Where DoCtlAction goes: the control's OnAction, or for a column the grid's (sender = grid).
  // The events are the host's members, which outlive the list.
  void SetActionTarget(TObject* sender, const TvpActionEvent* event);
  void SetActionTarget(TObject* sender, const TgpActionEvent* event);

  // The vision in use: the one asked for, else DefaultVision. Setting null falls back to the
  // default; the consumer hears VisionChanged with what was asked for.
  TvpFieldVision* Vision() const { return fVision; }
  void SetVision(TvpFieldVision* vision);

  int Count() const { return static_cast<int>(fItems.size()); }
  // May be null (a name the dataset does not know, a closed dataset).
  TField* Items(int index) const;
  TField* MainField() const { return fItems.front(); }
  // Resolves FieldNames and the vision's RelatedFields against dataSet: entry k of the names is
  // always Items(k); "," separates alternatives, the first the dataset knows wins.
  void UpdateList(TDataSet* dataSet);
  // The first resolved field of that name (any case); null when none.
  TField* FieldByName(std::string_view name) const;

  const String& FieldNames() const { return fFieldNames; }
  void SetFieldNames(const String& value) { fFieldNames = value; }
  const String& Attrs() const { return fAttrs; }
  void SetAttrs(const String& value) { fAttrs = value; }
  bool Valid() const { return fValid; }
  void SetValid(bool value) { fValid = value; }
  bool Modified() const { return fModified; }
  void SetModified(bool value) { fModified = value; }
  bool InEdit() const { return fInEdit; }
  int PostLevel() const { return fPostLevel; }
  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment value) { fAlignment = value; }
  TLayout Layout() const { return fLayout; }
  void SetLayout(TLayout value) { fLayout = value; }
  const String& Caption() const { return fCaption; }
  void SetCaption(const String& value) { fCaption = value; }
  const String& DisplayFormat() const { return fDisplayFormat; }
  void SetDisplayFormat(const String& value) { fDisplayFormat = value; }
  const String& EditFormat() const { return fEditFormat; }
  void SetEditFormat(const String& value) { fEditFormat = value; }

  // A posting bracket: the host hears DoAfterPost once, when the outermost bracket closes after
  // a posting. An unmatched end never takes the level below 0.
  void BeginPostChanges();
  void EndPostChanges(bool posted);
  bool Edit() { return EditInt(false); }
  // Starts editing unless already Modified: the host, the vision and the dataset (unless the
  // vision is unbound) must agree. InEdit holds while it runs.
  bool EditInt(bool setModified);
  bool CanModify();
  void DoCtlAction(const String& action, int param);
  void DoVisionAction(const String& action, int param);

private:
  friend class TvpFieldVision;
  // The vision is going away: fall back to DefaultVision and tell the host once.
  void VisionDestroyed();

  IvpFieldVisionConsumer* fConsumer;
  TDataSet* fDataSet = nullptr;
  TDataLink* fDataLink;
  String fFieldNames;
  String fAttrs;
  TvpFieldVision* fVision = nullptr;
  TvpFieldVision* fAsked = nullptr;  // what the host asked for; null for the default
  std::vector<TField*> fItems;
  bool fValid = false;
  bool fModified = false;
  bool fInEdit = false;
  int fPostLevel = 0;
  TgpHostType fHostType;
  TPersistent* fHost;
  TgpColumn* fColumn = nullptr;
  TDBDevidEdit* fEditControl = nullptr;
  TDBDevidText* fTextControl = nullptr;
  TAlignment fAlignment = taLeftJustify;
  TLayout fLayout = tlTop;
  String fCaption;
  String fDisplayFormat;
  String fEditFormat;
  TObject* fActionSender = nullptr;
  const TvpActionEvent* fControlAction = nullptr;
  const TgpActionEvent* fGridAction = nullptr;
};

}  // namespace zv
