#pragma once
// TgpAutoSearchParams: searching by typing in the grid's current column. Its settings are
// published as the grid's ParamsAutoSearch; while a search is active it holds the typed text
// and the prompt under the grid, and moves the dataset to the first record whose text in the
// column starts with that text, compared by their caseless keys.

#include "platform/classes/Persistent.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/ControlTypes.h"
#include "platform/graphics/Colors.h"

namespace zv {

class TDBDivoRud;
class THintWindowEx;

class TgpAutoSearchParams : public TPersistent {
  ZV_CLASS(TgpAutoSearchParams, TPersistent)

public:
  explicit TgpAutoSearchParams(TDBDivoRud* grid = nullptr) : fGrid(grid) {}
  ~TgpAutoSearchParams() override;

  bool Enabled() const { return fEnabled; }
  void SetEnabled(bool value) { fEnabled = value; }
  // ";"-separated field names; empty: every column.
  const String& SearchableFields() const { return fSearchableFields; }
  void SetSearchableFields(const String& value) { fSearchableFields = value; }
  // When set, only this short-cut starts a search.
  Word ShortCut() const { return fShortCut; }
  void SetShortCut(Word value) { fShortCut = value; }
  Word ShortCutFindNext() const { return fShortCutFindNext; }
  void SetShortCutFindNext(Word value) { fShortCutFindNext = value; }
  Word ShortCutFindPrevious() const { return fShortCutFindPrevious; }
  void SetShortCutFindPrevious(Word value) { fShortCutFindPrevious = value; }
  bool SearchFromBegin() const { return fSearchFromBegin; }
  void SetSearchFromBegin(bool value) { fSearchFromBegin = value; }
  bool CycleSearch() const { return fCycleSearch; }
  void SetCycleSearch(bool value) { fCycleSearch = value; }
  TColor WndColor() const { return fWndColor; }
  void SetWndColor(TColor value) { fWndColor = value; }
  // clNone keeps the grid font's colour.
  TColor WndTextColor() const { return fWndTextColor; }
  void SetWndTextColor(TColor value) { fWndTextColor = value; }
  // A format with one string placeholder for the typed text; empty: the library's words.
  const String& Prompt() const { return fPrompt; }
  void SetPrompt(const String& value) { fPrompt = value; }
  bool EnablePrompt() const { return fEnablePrompt; }
  void SetEnablePrompt(bool value) { fEnablePrompt = value; }

  // Run-time state.
  bool Active() const { return fActive; }
  THintWindowEx* PromptWindow() const { return fPromptWindow; }
  const String& SearchText() const { return fSearchText; }
  TDBDivoRud* Grid() const { return fGrid; }

  void Assign(const TPersistent* source) override;

  // Starts a search and processes character (0: the prompt alone); false when refused.
  bool Start(char32_t character);
  void Cancel();
  // A typed character: Backspace takes the last one back, a control character is ignored.
  void ProcessKey(char32_t character);
  // Moves to a record whose text starts with text; false (position kept) when there is none.
  bool Find(const String& text, bool forward, bool cycle, bool skipCurrent, bool fromBegin);
  bool FindNext(const String& text);
  // A key-down message's short-cut: find next or previous while active, else start.
  bool IsAutoSearchShortCut(Word key, TShiftState shift);

  static void DeclareProperties(TPropTable<TgpAutoSearchParams>& t);

private:
  bool CanStart() const;
  void ShowPrompt();
  void DestroyPrompt();
  // The walk over the dataset's records; false leaves the cursor wherever the walk ended.
  bool Walk(const String& key, bool forward, bool cycle, bool skipCurrent, bool fromBegin);

  TDBDivoRud* fGrid;
  bool fEnabled = false;
  String fSearchableFields;
  Word fShortCut = 0;
  Word fShortCutFindNext = 0;
  Word fShortCutFindPrevious = 0;
  bool fSearchFromBegin = true;
  bool fCycleSearch = false;
  TColor fWndColor = clInfoBk;
  TColor fWndTextColor = clInfoText;
  String fPrompt;
  bool fEnablePrompt = true;

  bool fActive = false;
  THintWindowEx* fPromptWindow = nullptr;
  String fSearchText;
};

}  // namespace zv
