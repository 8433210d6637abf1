#pragma once
// The blob stream every dataset that exchanges blobs as values can use: the field's bytes in
// memory, and what is written goes back into the record when the stream is destroyed (unless
// the edit was given up meanwhile).

#include "platform/classes/Streams.h"
#include "platform/db/DBTypes.h"

#include <memory>

namespace zv {

class TDataSet;
class TField;

// Checks the field may be written in write modes (SFieldReadOnly, SNotEditing); bmWrite starts
// from an empty value. A failure to store the bytes when the stream is destroyed goes to the
// dataset's exception handler (TDataSet::HandleExceptionQuietly).
std::unique_ptr<TStream> CreateRecordBlobStream(TDataSet& dataSet, TField& field, TBlobStreamMode mode);

}  // namespace zv
