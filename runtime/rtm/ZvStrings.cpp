#include "runtime/rtm/ZvStrings.h"

namespace zv {

namespace {

TMessageTable& CurrentTable() {
  static TMessageTable table = DefaultMessageTable();
  return table;
}

}  // namespace

const TMessageTable& DefaultMessageTable() {
  // The texts stand exactly as the library has always shown them, misspellings included,
  // because applications compare against them.
  static const TMessageTable table{
      {0xFFFF, "Preview"},
      {0xFFFE, "Save to..."},
      {0xFFFD, "Load..."},
      {0xFFFC, "Clear"},
      {0xFFFB, "Paste"},
      {0xFFFA, "Copy"},
      {0xFFF9, "Cut"},
      {0xFFF8, "Error"},
      {0xFFF7, "Delete %d records. Are you sure?"},
      {0xFFF6, "Delete record. Are you sure?"},
      {0xFFF5, "AVG;;MAX;MIN;SUM;"},
      {0xFFF4, "Average;Count;Maximum;Minimum;Sum;None"},
      {0xFFF3, "Search: "},
      {0xFFF2, "Today"},
      {0xFFF1, "Empty"},
      {0xFFF0, "English"},
      {0xFFEF, "Switch control for logical fields."},
      {0xFFEE, "Number format, spin buttons are available."},
      {0xFFED, "Number format, two digits after decimal separator, thousand separator."},
      {0xFFEC, "Number format, two digits after decimal separator."},
      {0xFFEB, "Dsiplays and edits data as number."},
      {0xFFEA, "Calendar control without buttons."},
      {0xFFE9, "Calendar control with buttons."},
      {0xFFE8, "Displays and edits data as date."},
      {0xFFE7, "Determines 3D style of the cell."},
      {0xFFE6, "'%s' must be placed on '%s'"},
      {0xFFE5, "[Close]"},
      {0xFFE4, "Customize"},
      {0xFFE3, "Picture preview"},
      {0xFFE2, "&Cancel"},
      {0xFFE1, "&OK"},
      {0xFFE0, "Cancel"},
      {0xFFDF, "\"%s\" is out of range. The allowed range is %g to %g"},
      {0xFFDE, "\"%s\" is not a valid numeric value"},
      {0xFFDD, "Input value can not be blank. Please input valid numeric value"},
      {0xFFDC, "\"%s\" is out of range. Value must be less than %s"},
      {0xFFDB, "\"%s\" is out of range. Value must be more than %s"},
      {0xFFDA, "Input value can not be blank. Please input valid date value"},
      {0xFFD9, "Invalid input text"},
      {0xFFD8, "Invalid column margin. Correct value must be in 0..3 range"},
      {0xFFD7, "Invalid layout position (%d,%d)"},
      {0xFFD6, "Method call was cancelled (%s)"},
      {0xFFD5, "Unable to select column (%d)"},
      {0xFFD4, "Index is out of range (%d/%d)"},
      {0xFFD3, "Value must be positive (%d)"},
      {0xFFD2, "Value can not be negative (%d)"},
      {0xFFD1, "Internal error: %s"},
      {0xFFD0, "Switch control for integer fields. 0 - off, 1 - on."},
      {0xFFC3, "no records"},
      {0xFFC2, "unable to insert data"},
      {0xFFC1, "Bookmark not found"},
      {0xFFC0, "No data provider. Please assign value to \"ObjectRef\" property"},
  };
  return table;
}

void ReplaceMessageTable(TMessageTable table) {
  // Identifiers the translation lacks keep the English text rather than showing nothing.
  for (const auto& [id, text] : DefaultMessageTable()) table.try_emplace(id, text);
  CurrentTable() = std::move(table);
}

void RestoreDefaultMessageTable() { CurrentTable() = DefaultMessageTable(); }

TResString::operator std::string_view() const {
  const auto& table = CurrentTable();
  const auto it = table.find(Id);
  return it == table.end() ? std::string_view() : std::string_view(it->second);
}

TResString::operator String() const { return String(static_cast<std::string_view>(*this)); }

}  // namespace zv
