// The data source's and data link's header alone: the dataset they follow is usable as such.
#include "platform/db/DataLink.h"

bool ReachThroughDataSource(zv::TDataSource& source, zv::TDataLink& link) {
  return source.DataSet()->Active() && link.DataSet()->FieldByName("ID")->IsNull();
}
