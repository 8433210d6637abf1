#pragma once
// The runtime package's message table: every message and caption it shows. The table is
// replaced as a whole (ReplaceMessageTable) to translate the library; an identifier the new
// table lacks keeps its English text.

#include <map>
#include <string>
#include <string_view>

namespace zv {

using String = std::string;

// A message of the table, named as the library names it and looked up when used.
struct TResString {
  unsigned Id;
  operator std::string_view() const;  // NOLINT: used where the host uses a resourcestring
  operator String() const;            // NOLINT
  String Text() const { return String(*this); }
};

using TMessageTable = std::map<unsigned, String>;

// The English table the library ships with.
const TMessageTable& DefaultMessageTable();
// Replaces the current table; the views returned by earlier lookups are invalidated.
void ReplaceMessageTable(TMessageTable table);
void RestoreDefaultMessageTable();

inline constexpr unsigned char ZVCharset = 0;  // the ANSI character set

inline constexpr TResString SPreviewAction{0xFFFF};
inline constexpr TResString SSaveToAction{0xFFFE};
inline constexpr TResString SLoadAction{0xFFFD};
inline constexpr TResString SClearAction{0xFFFC};
inline constexpr TResString SPasteAction{0xFFFB};
inline constexpr TResString SCopyAction{0xFFFA};
inline constexpr TResString SCutAction{0xFFF9};
inline constexpr TResString SCalculatorErrorPrompt{0xFFF8};
inline constexpr TResString SDeleteRecordsPrompt{0xFFF7};
inline constexpr TResString SDeleteRecordPrompt{0xFFF6};
inline constexpr TResString SFooterStateMarkers{0xFFF5};
inline constexpr TResString SFooterStateStrings{0xFFF4};
inline constexpr TResString SSearchPrompt{0xFFF3};
inline constexpr TResString SToday{0xFFF2};
inline constexpr TResString SEmpty{0xFFF1};
inline constexpr TResString SZVLanguage{0xFFF0};
inline constexpr TResString SfvdCheckBoxBool{0xFFEF};
inline constexpr TResString SfvdNumericSpin{0xFFEE};
inline constexpr TResString SfvdNumericDefSep{0xFFED};
inline constexpr TResString SfvdNumericDef{0xFFEC};
inline constexpr TResString SfvdNumeric{0xFFEB};
inline constexpr TResString SfvdCalendarSimple{0xFFEA};
inline constexpr TResString SfvdCalendar{0xFFE9};
inline constexpr TResString SfvdDate{0xFFE8};
inline constexpr TResString SfvdTitleSurface{0xFFE7};
inline constexpr TResString SEControlPlacement{0xFFE6};
inline constexpr TResString SPickerClose{0xFFE5};
inline constexpr TResString SPickerCaption{0xFFE4};
inline constexpr TResString SPicturePreview{0xFFE3};
inline constexpr TResString SBtnCancelCaption{0xFFE2};
inline constexpr TResString SBtnOKCaption{0xFFE1};
inline constexpr TResString SCancelAction{0xFFE0};
inline constexpr TResString SENumericValueOutOfRange{0xFFDF};
inline constexpr TResString SEInvalidNumericValue{0xFFDE};
inline constexpr TResString SENumericValueBlank{0xFFDD};
inline constexpr TResString SEDateValueOutOfRangeL{0xFFDC};
inline constexpr TResString SEDateValueOutOfRangeM{0xFFDB};
inline constexpr TResString SEDateValueBlank{0xFFDA};
inline constexpr TResString SEInvalidInputText{0xFFD9};
inline constexpr TResString SEInvalidColumnsMargin{0xFFD8};
inline constexpr TResString SEInvalidLayoutPos{0xFFD7};
inline constexpr TResString SEMethodCanceled{0xFFD6};
inline constexpr TResString SEInvalidSelection{0xFFD5};
inline constexpr TResString SEInvalidIndex{0xFFD4};
inline constexpr TResString SEPositiveValue{0xFFD3};
inline constexpr TResString SENegativeValue{0xFFD2};
inline constexpr TResString SEInternal{0xFFD1};
inline constexpr TResString SfvdCheckBoxInt{0xFFD0};
inline constexpr TResString SENoRecords{0xFFC3};
inline constexpr TResString SEUnableToInsertDate{0xFFC2};
inline constexpr TResString SEBookmarkNotFound{0xFFC1};
inline constexpr TResString SENoDataProvider{0xFFC0};

}  // namespace zv
