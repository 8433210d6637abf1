#pragma once
// TgpDeleteParams: the grid's delete command. Which key runs it, whether it asks first and with
// which words; DeleteRecordsInt runs it over the current record or the grid's selection.

#include "platform/classes/Persistent.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/ControlTypes.h"

namespace zv {

class TDBDivoRud;

ZV_ENUM(TgpDeletePromptKind, dpkAlways, dpkMultiRecord, dpkNever);

class TgpDeleteParams : public TPersistent {
  ZV_CLASS(TgpDeleteParams, TPersistent)

public:
  explicit TgpDeleteParams(TDBDivoRud* grid = nullptr) : fGrid(grid) {}

  // Whether the short-cut runs the command (code runs it regardless).
  bool Enabled() const { return fEnabled; }
  void SetEnabled(bool value) { fEnabled = value; }
  Word ShortCut() const { return fShortCut; }
  void SetShortCut(Word value) { fShortCut = value; }
  TgpDeletePromptKind PromptKind() const { return fPromptKind; }
  void SetPromptKind(TgpDeletePromptKind value) { fPromptKind = value; }
  // Empty: the library's own question. PromptMsgMulti takes the record count (%d).
  const String& PromptMsg() const { return fPromptMsg; }
  void SetPromptMsg(const String& value) { fPromptMsg = value; }
  const String& PromptMsgMulti() const { return fPromptMsgMulti; }
  void SetPromptMsgMulti(const String& value) { fPromptMsgMulti = value; }
  // Whether the last run deleted anything.
  bool Deleted() const { return fDeleted; }
  TDBDivoRud* Grid() const { return fGrid; }

  void Assign(const TPersistent* source) override;
  // Runs the command for key with shift, or from code with key 0. True when the command
  // applied (the key was the delete short-cut), whether or not anything was deleted.
  bool DeleteRecordsInt(Word key, TShiftState shift);

  static void DeclareProperties(TPropTable<TgpDeleteParams>& t);

private:
  // The question for count records; false when the user declined.
  bool Confirm(int count) const;

  bool fDeleted = false;
  TDBDivoRud* fGrid;
  bool fEnabled = false;
  Word fShortCut = 16430;  // Ctrl+Delete
  TgpDeletePromptKind fPromptKind = dpkAlways;
  String fPromptMsg;
  String fPromptMsgMulti;
};

}  // namespace zv
