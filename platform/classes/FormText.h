#pragma once
// The textual form format and the conversions between it, the binary form and components.
//
//   object Form1: TMyForm            inherited / inline for ffInherited / ffInline,
//     Caption = 'Gr'#252'e'           " [n]" after the class for ffChildPos
//     Ratio = 0.100000000000000000   floats: 18 decimals; suffix s single, c currency, d date
//     Style = [fsBold, fsItalic]     Lines.Strings = ( 'a' 'b' )   Data = { 0001FF }
//     Items = < item Title = 'x' end >
//     object Child: TChild ... end
//   end
//
// The text is UTF-8. A string longer than 64 characters is split into 64-character chunks
// joined by " +" on lines of their own. Control characters, the quote and anything beyond
// ASCII are written as #nnn (the Unicode code point); reading also takes '' for a quote, raw
// UTF-8 inside quotes, #$hex, and surrogate pairs as two #nnn.

#include "platform/classes/Component.h"
#include "platform/classes/Parser.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zv {

// Binary form (from the position of input) to text, appended at the position of output.
// Corrupt input raises EReadError; output is only written once the whole object converted.
void ObjectBinaryToText(TStream& input, TStream& output);
// Text (from the position of input) to the binary form. Bad text raises EParserError
// "<message> on line N"; input is left just after the object's final "end".
void ObjectTextToBinary(TStream& input, TStream& output);

// Conveniences over TWriter/TReader and the conversions above. The To-functions write root
// and everything it owns and streams; the From-functions read into root, or, with a null
// root, create the registered class the form names and return it (the caller owns it).
String ComponentToText(TComponent* root);
TComponent* TextToComponent(std::string_view text, TComponent* root = nullptr);
std::vector<std::uint8_t> ComponentToBinary(TComponent* root);
TComponent* BinaryToComponent(std::span<const std::uint8_t> data, TComponent* root = nullptr);

}  // namespace zv
