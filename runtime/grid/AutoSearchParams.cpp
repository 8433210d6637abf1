// Searching by typing: its settings, when it starts and stops, the typed text and its prompt,
// and the search itself, one dataset query where the dataset can answer, else a walk.
#include "runtime/grid/AutoSearchParams.h"

#include "platform/controls/Menus.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/CurrRecInfo.h"
#include "runtime/grid/Column.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/GridHint.h"
#include "runtime/grid/RecShot.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/FieldVision.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TgpAutoSearchParams, TPersistent)

void TgpAutoSearchParams::DeclareProperties(TPropTable<TgpAutoSearchParams>& t) {
  using P = TgpAutoSearchParams;
  t.Prop("Enabled", &P::Enabled, &P::SetEnabled).Default(false);
  t.Prop("SearchableFields", &P::SearchableFields, &P::SetSearchableFields);
  t.Prop("ShortCut", &P::ShortCut, &P::SetShortCut).Default(0);
  t.Prop("ShortCutFindNext", &P::ShortCutFindNext, &P::SetShortCutFindNext).Default(0);
  t.Prop("ShortCutFindPrevious", &P::ShortCutFindPrevious, &P::SetShortCutFindPrevious).Default(0);
  t.Prop("SearchFromBegin", &P::SearchFromBegin, &P::SetSearchFromBegin).Default(true);
  t.Prop("CycleSearch", &P::CycleSearch, &P::SetCycleSearch).Default(false);
  t.Prop("WndColor", &P::WndColor, &P::SetWndColor).Default(clInfoBk).Idents(ColorTypeInfo());
  t.Prop("WndTextColor", &P::WndTextColor, &P::SetWndTextColor).Default(clInfoText).Idents(ColorTypeInfo());
  t.Prop("Prompt", &P::Prompt, &P::SetPrompt);
  t.Prop("EnablePrompt", &P::EnablePrompt, &P::SetEnablePrompt).Default(true);
}

TgpAutoSearchParams::~TgpAutoSearchParams() { DestroyPrompt(); }

void TgpAutoSearchParams::Assign(const TPersistent* source) {
  if (const auto* p = dynamic_cast<const TgpAutoSearchParams*>(source)) {
    fEnabled = p->fEnabled;
    fSearchableFields = p->fSearchableFields;
    fShortCut = p->fShortCut;
    fShortCutFindNext = p->fShortCutFindNext;
    fShortCutFindPrevious = p->fShortCutFindPrevious;
    fSearchFromBegin = p->fSearchFromBegin;
    fCycleSearch = p->fCycleSearch;
    fWndColor = p->fWndColor;
    fWndTextColor = p->fWndTextColor;
    fPrompt = p->fPrompt;
    fEnablePrompt = p->fEnablePrompt;
    return;
  }
  TPersistent::Assign(source);
}

// ---- Starting and stopping ---------------------------------------------------------------------

bool TgpAutoSearchParams::CanStart() const {
  if (fActive || !fGrid || !fGrid->HasActiveDataSet()) return false;
  const TgpColumn* column = fGrid->CurrentColumn();
  if (!column || column->FieldName().empty()) return false;
  return fSearchableFields.empty() || lioHasItem(fSearchableFields, column->FieldName());
}

bool TgpAutoSearchParams::Start(char32_t character) {
  if (!CanStart()) return false;
  fActive = true;
  fSearchText.clear();
  ProcessKey(character);
  return true;
}

void TgpAutoSearchParams::Cancel() {
  if (!fActive) return;
  DestroyPrompt();
  fSearchText.clear();
  fActive = false;
}

void TgpAutoSearchParams::DestroyPrompt() {
  delete fPromptWindow;
  fPromptWindow = nullptr;
}

// ---- Keys ----------------------------------------------------------------------------------------

namespace {

// The text without its last character (a code point, never a byte of one).
String WithoutLastChar(const String& text) {
  std::size_t end = text.size();
  while (end > 0 && (static_cast<unsigned char>(text[end - 1]) & 0xC0) == 0x80) --end;
  return text.substr(0, end > 0 ? end - 1 : 0);
}

}  // namespace

void TgpAutoSearchParams::ProcessKey(char32_t character) {
  if ((character >= 1 && character <= 7) || (character >= 9 && character <= 31)) return;
  if (!fActive) {
    Start(character);
    return;
  }
  String text = fSearchText;
  if (character == 8) {
    if (!text.empty()) text = WithoutLastChar(text);
  } else if (character >= 32) {
    AppendUTF8(text, character);
  }
  if (character != 0) {
    if (text == fSearchText) return;
    if (!Find(text, true, false, false, fSearchFromBegin)) return;
  }
  fSearchText = text;
  if (fEnablePrompt) ShowPrompt();
}

bool TgpAutoSearchParams::IsAutoSearchShortCut(Word key, TShiftState shift) {
  if (!fGrid) return false;
  const TShortCut shortCut = ::zv::ShortCut(key, shift);
  if (shortCut == 0) return false;
  if (fActive) {
    if (shortCut == fShortCutFindNext) {
      Find(fSearchText, true, fCycleSearch, true, false);
      return true;
    }
    if (shortCut == fShortCutFindPrevious) {
      Find(fSearchText, false, fCycleSearch, true, false);
      return true;
    }
    return false;
  }
  if (fEnabled && fShortCut != 0 && shortCut == fShortCut) return Start(0);
  return false;
}

// ---- The prompt ------------------------------------------------------------------------------------

void TgpAutoSearchParams::ShowPrompt() {
  String text;
  if (fPrompt.empty()) {
    text = SSearchPrompt.Text() + fSearchText;
  } else {
    // An application's prompt may hold a "%" that is no placeholder ("100% match: "): it is
    // shown as written, the typed text after it.
    try {
      text = Format(fPrompt, {fSearchText});
    } catch (const Exception&) {
      text = fPrompt + fSearchText;
    }
  }
  DestroyPrompt();
  fPromptWindow = new THintWindowEx(fGrid);
  fPromptWindow->SetColor(fWndColor);
  fPromptWindow->Font()->Assign(fGrid->Font());
  if (fWndTextColor != clNone) fPromptWindow->Font()->SetColor(fWndTextColor);
  TRect r = fPromptWindow->CalcHintRect(fGrid->Width(), text, nullptr);
  const TPoint corner = fGrid->Parent() ? fGrid->Parent()->ClientToScreen(TPoint{fGrid->Left(), fGrid->Top() + fGrid->Height()})
                                        : fGrid->ClientToScreen(TPoint{0, fGrid->Height()});
  r = TRect{corner.X, corner.Y, corner.X + r.Width(), corner.Y + r.Height()};
  fPromptWindow->ActivateHint(r, text);
  fPromptWindow->Update();
}

// ---- Finding -----------------------------------------------------------------------------------------

namespace {

// With no vision at all the column shows its field's own text, as the base vision does.
TField* SearchField(TgpColumn& column, TFieldTextKind& kind) {
  TgpFieldList& fields = *column.FieldList();
  if (TvpFieldVision* vision = column.CurVision()) return vision->AutoSearchField(fields, kind);
  TField* field = fields.MainField();
  kind = dynamic_cast<const TNumericField*>(field) ? ftkEditText : ftkDisplayText;
  return field;
}

String CellSearchText(TgpColumn& column) {
  TgpFieldList& fields = *column.FieldList();
  if (TvpFieldVision* vision = column.CurVision()) return vision->AutoSearchText(fields);
  TField* field = fields.MainField();
  if (!field) return String();
  return dynamic_cast<const TNumericField*>(field) ? field->Text() : field->DisplayText();
}

}  // namespace

bool TgpAutoSearchParams::FindNext(const String& text) { return fActive && Find(text, true, false, false, true); }

bool TgpAutoSearchParams::Find(const String& text, bool forward, bool cycle, bool skipCurrent, bool fromBegin) {
  if (!fActive || !fGrid || !fGrid->HasActiveDataSet()) return false;
  TDataSet* ds = fGrid->DataSet();
  TgpColumn* column = fGrid->CurrentColumn();
  if (!column || !column->FieldList()) return false;
  const String key = CaselessKey(text);
  // Nothing typed is found where the cursor stands: Backspace back to nothing keeps the record.
  if (key.empty()) return true;
  if (ds->IsEmpty()) return false;
  const bool sensitive = fGrid->CursorType() == gctSensitive;
  if (!sensitive && !fromBegin) fGrid->SyncCursors(true);

  // One query where the dataset can answer for the column's text; otherwise the walk.
  bool found = false;
  TFieldTextKind kind = ftkDisplayText;
  TField* field = SearchField(*column, kind);
  TPrefixSearchResult answer = psrCannot;
  if (field) {
    const TPrefixSearchFrom from = fromBegin ? psfEdge : skipCurrent ? psfNext : psfCurrent;
    answer = ds->FindPrefix(*field, kind, key, forward, from);
    if (answer == psrNotFound && cycle && !fromBegin) answer = ds->FindPrefix(*field, kind, key, forward, psfEdge);
    found = answer == psrFound;
  }
  if (answer == psrCannot) {
    const TvpCurrRecInfo saved = vprGetCurrRecInfo(*ds);
    ds->DisableControls();
    try {
      found = Walk(key, forward, cycle, skipCurrent, fromBegin);
      if (!found) vprSetCurrRec(*ds, saved);
    } catch (...) {
      try {
        vprSetCurrRec(*ds, saved);
      } catch (...) {
        // The dataset's own failure is the one the user sees.
      }
      ds->EnableControls();
      throw;
    }
    ds->EnableControls();
  }
  if (found && !sensitive) fGrid->CurrentRecShot()->Select(true);
  return found;
}

bool TgpAutoSearchParams::Walk(const String& key, bool forward, bool cycle, bool skipCurrent, bool fromBegin) {
  TDataSet& ds = *fGrid->DataSet();
  TgpColumn& column = *fGrid->CurrentColumn();
  auto matches = [&] { return CaselessKeyStartsWith(CellSearchText(column), key); };
  auto atEnd = [&] { return forward ? ds.Eof() : ds.Bof(); };
  auto step = [&] { forward ? ds.Next() : ds.Prior(); };
  auto toEdge = [&] { forward ? ds.First() : ds.Last(); };

  if (fromBegin) toEdge();
  const TBookmarkStr start = ds.Bookmark();
  // A step that reaches the end ends the walk: the record the cursor stays on was compared
  // already (or, skipping, is the one the walk started on).
  bool first = true;
  for (;;) {
    if (first && skipCurrent) {
      step();
      if (atEnd()) break;
    }
    first = false;
    if (matches()) return true;
    step();
    if (atEnd()) break;
  }
  if (!cycle || fromBegin || start.empty()) return false;
  // The second round starts on the edge record itself and ends on the record the first began
  // on, which a skipping first round never compared.
  toEdge();
  for (;;) {
    const bool last = ds.CompareBookmarks(ds.Bookmark(), start) == 0;
    if (matches()) return true;
    if (last) return false;
    step();
    if (atEnd()) return false;
  }
}

}  // namespace zv
