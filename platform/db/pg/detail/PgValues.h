#pragma once
// How the server's types become field types, and how values travel: the text form of each
// type, read and written exactly (numeric as decimal text, floats in their shortest exact form,
// time stamps in UTC, bytea in hex).

#include "platform/db/DBTypes.h"
#include "platform/db/pg/PgConnection.h"

namespace zv::pg {

struct TPgType {
  TFieldType FieldType = ftString;
  int Size = 0;       // string length, or a decimal's places
  int Precision = 0;  // a decimal's digits (0: any)
  bool Money = false; // read through numeric: money's own text follows the server's locale
  bool Ordered = true;  // the server can order the values (json and xml cannot; an unknown type may not)
  // Not a text type, shown as the server writes it: compared as that text, which a cast to text
  // may not give (an inet's adds its mask).
  bool OutputText = false;
};

TPgType PgTypeOf(TOid type, int modifier);
// The select-list expression that reads a column of the type exactly.
String PgReadExpression(const String& quotedColumn, const TPgType& type);
// A value read in text form, as the field type exchanges it.
Variant PgTextToValue(std::string_view text, TFieldType type);
// A value as the server's input functions read it; nothing for Null.
TPgParam PgValueToText(const Variant& value, TFieldType type);

}  // namespace zv::pg
