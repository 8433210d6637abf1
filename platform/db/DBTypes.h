#pragma once
// The enumerations and small types of the data-access layer, in the host's order.

#include "platform/classes/ClassesTypes.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/StringUtils.h"
#include "platform/rtl/Variant.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zv {

ZV_ENUM(TFieldType,
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
  ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
  ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
  ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
  ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd);
// The host's display names of the field types ("String", "Integer", ...), for messages.
const char* FieldTypeName(TFieldType type);

ZV_ENUM(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate);

enum TDataSetState {
  dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
  dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening
};
// States in which field values may be written.
inline constexpr TSet<TDataSetState> dsWriteModes{dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter,
                                                  dsNewValue, dsInternalCalc};

enum TDataEvent {
  deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
  deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
  deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange
};

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };
enum TResyncModeItem { rmExact, rmCenter };
using TResyncMode = TSet<TResyncModeItem>;
enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;
enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };
enum TDataAction { daFail, daAbort, daRetry };
// Prefix search: which text of a field is searched (its display text, its edit text, or its
// value as a string), where the search starts, and what the dataset answered.
ZV_ENUM(TFieldTextKind, ftkDisplayText, ftkEditText, ftkValueString);
ZV_ENUM(TPrefixSearchFrom, psfEdge, psfCurrent, psfNext);
ZV_ENUM(TPrefixSearchResult, psrCannot, psrFound, psrNotFound);
ZV_ENUM(TFieldAttribute, faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed);
using TFieldAttributes = TSet<TFieldAttribute>;

// A bookmark is an opaque byte string chosen by the dataset; empty means none.
using TBookmarkStr = String;

// The common bookmark of datasets whose records have a 64-bit identity (a record id, a rowid):
// eight bytes, least significant first.
TBookmarkStr IntegerBookmark(std::int64_t id);
bool DecodeIntegerBookmark(const TBookmarkStr& bookmark, std::int64_t& id);

// One record of a dataset's buffer window. Datasets derive their record layout from it; the
// bookmark and its flag, and the values of the calculated and lookup fields (one per such
// field, filled by TDataSet as the record is read), are kept here for every dataset.
struct TRecordBuffer {
  virtual ~TRecordBuffer() = default;
  TBookmarkStr Bookmark;
  TBookmarkFlag BookmarkFlag = bfCurrent;
  std::vector<Variant> CalcValues;
};
using TRecordBufferPtr = std::unique_ptr<TRecordBuffer>;

}  // namespace zv
