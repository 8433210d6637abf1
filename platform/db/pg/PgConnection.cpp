// TPgConnection: the libpq session, its settings, statements with bound parameters, errors and
// the lost connection; TPgResult over libpq's result.

#include "platform/db/pg/PgConnection.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <utility>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TPgConnection, TComponent)

void TPgConnection::DeclareProperties(TPropTable<TPgConnection>& t) {
  t.Prop("ConnectionString", &TPgConnection::ConnectionString, &TPgConnection::SetConnectionString);
  t.Prop("Connected", &TPgConnection::Connected, &TPgConnection::SetConnected).Default(0);
  t.Event("OnLost", &TPgConnection::OnLost);
  t.Event("AfterConnect", &TPgConnection::AfterConnect);
  t.Event("BeforeDisconnect", &TPgConnection::BeforeDisconnect);
}

String PgQuoteIdentifier(std::string_view name) {
  String out = "\"";
  for (const char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

namespace {

// What the datasets read and write relies on: UTF-8 text, ISO dates, time stamps with a zone
// shown in UTC (so that no value drifts with the client's zone), floats in their shortest exact
// form.
constexpr const char SessionSettings[] =
    "SET client_encoding TO 'UTF8'; SET DateStyle TO 'ISO, YMD'; SET TimeZone TO 'UTC'; "
    "SET extra_float_digits TO 3; SET IntervalStyle TO 'postgres'";

void IgnoreNotice(void*, const char*) {}

String ConnectionMessage(pg_conn* conn) {
  String message = TrimRight(PQerrorMessage(conn));
  return message.empty() ? String("connection closed") : message;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TPgResult

namespace pg {

TPgResult::TPgResult(pg_result* result) : fResult(result) {}
TPgResult::~TPgResult() {
  if (fResult) PQclear(fResult);
}
TPgResult::TPgResult(TPgResult&& other) noexcept : fResult(std::exchange(other.fResult, nullptr)) {}
TPgResult& TPgResult::operator=(TPgResult&& other) noexcept {
  if (this != &other) {
    if (fResult) PQclear(fResult);
    fResult = std::exchange(other.fResult, nullptr);
  }
  return *this;
}

int TPgResult::Rows() const { return fResult ? PQntuples(fResult) : 0; }
int TPgResult::Columns() const { return fResult ? PQnfields(fResult) : 0; }
String TPgResult::ColumnName(int column) const { return PQfname(fResult, column); }
TOid TPgResult::ColumnType(int column) const { return PQftype(fResult, column); }
int TPgResult::ColumnModifier(int column) const { return PQfmod(fResult, column); }
bool TPgResult::IsNull(int row, int column) const { return PQgetisnull(fResult, row, column) != 0; }
std::string_view TPgResult::Text(int row, int column) const {
  return {PQgetvalue(fResult, row, column), static_cast<std::size_t>(PQgetlength(fResult, row, column))};
}
TPgParam TPgResult::Value(int row, int column) const {
  if (IsNull(row, column)) return std::nullopt;
  return String(Text(row, column));
}
std::int64_t TPgResult::Affected() const {
  const char* text = fResult ? PQcmdTuples(fResult) : "";
  return *text ? StrToInt64(text) : 0;
}

}  // namespace pg

// ---------------------------------------------------------------------------------------------
// The session

TPgConnection::TPgConnection(TComponent* owner) : TComponent(owner) {}

TPgConnection::~TPgConnection() {
  Destroying();
  if (fConn) PQfinish(fConn);
  fConn = nullptr;
}

void TPgConnection::SetConnectionString(const String& value) {
  if (value == fConnectionString) return;
  Close();
  fConnectionString = value;
}

void TPgConnection::SetConnected(bool value) {
  if (value == Connected()) return;
  if (!value) {
    for (TDataSet* dataSet : std::vector<TDataSet*>(fDataSets)) dataSet->Close();
    if (BeforeDisconnect) BeforeDisconnect(this);
    Disconnect();
    return;
  }
  pg_conn* conn = PQconnectdb(fConnectionString.c_str());
  if (!conn) throw EPgError("Out of memory connecting to the server", "53200");
  if (PQstatus(conn) != CONNECTION_OK) {
    const String message = ConnectionMessage(conn);
    PQfinish(conn);
    throw EPgError(message, "08001");
  }
  PQsetNoticeProcessor(conn, IgnoreNotice, nullptr);
  pg_result* set = PQexec(conn, SessionSettings);
  const bool ok = PQresultStatus(set) == PGRES_COMMAND_OK;
  String message = ok ? String() : String(PQresultErrorMessage(set));
  PQclear(set);
  if (!ok) {
    PQfinish(conn);
    throw EPgError(TrimRight(message), "08001");
  }
  fConn = conn;
  if (AfterConnect) AfterConnect(this);
}

void TPgConnection::Disconnect() {
  if (!fConn) return;
  PQfinish(fConn);
  fConn = nullptr;
  fInTransaction = false;
}

void TPgConnection::RegisterDataSet(TDataSet* dataSet) {
  if (std::find(fDataSets.begin(), fDataSets.end(), dataSet) == fDataSets.end()) fDataSets.push_back(dataSet);
}

void TPgConnection::UnregisterDataSet(TDataSet* dataSet) { std::erase(fDataSets, dataSet); }

int TPgConnection::BackendPid() const { return fConn ? PQbackendPID(fConn) : 0; }

void TPgConnection::CheckConnected() const {
  if (!fConn) throw EPgError(SPgNotConnected, "08003");
}

// The session is checked first: a statement that failed because the server went away is told
// as a lost connection, whatever the server said last.
void TPgConnection::RaiseResultError(pg_result* result) {
  pg::TPgResult owned(result);
  if (!fConn || PQstatus(fConn) == CONNECTION_BAD) {
    const String reason = result ? String(TrimRight(PQresultErrorMessage(result))) : ConnectionMessage(fConn);
    Disconnect();
    if (OnLost) OnLost(this);
    throw EPgError(Format(SPgConnectionLost, {reason.empty() ? String("connection closed") : reason}), "08006");
  }
  if (!result) throw EPgError(ConnectionMessage(fConn), "08006");
  const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
  const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
  const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL);
  String message = primary ? String(primary) : String(TrimRight(PQresultErrorMessage(result)));
  if (detail) message += String("\n") + detail;
  throw EPgError(message, state ? state : "XX000");
}

pg::TPgResult TPgConnection::Execute(const String& sql, const std::vector<pg::TPgParam>& params) {
  CheckConnected();
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const pg::TPgParam& p : params) values.push_back(p ? p->c_str() : nullptr);
  ++fStatements;
  struct TRunning {
    std::atomic<bool>& Flag;
    ~TRunning() { Flag = false; }
  } running{fRunning};
  fRunning = true;
  if (!OnWait) {
    pg_result* result = PQexecParams(fConn, sql.c_str(), static_cast<int>(params.size()), nullptr,
                                     values.empty() ? nullptr : values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) RaiseResultError(result);
    return pg::TPgResult(result);
  }
  // Sent without waiting, so that the wait can be sliced and the statement cancelled.
  if (!PQsendQueryParams(fConn, sql.c_str(), static_cast<int>(params.size()), nullptr,
                         values.empty() ? nullptr : values.data(), nullptr, nullptr, 0))
    RaiseResultError(nullptr);
  bool cancelled = false;
  while (PQisBusy(fConn)) {
    pollfd fd{PQsocket(fConn), POLLIN, 0};
    if (::poll(&fd, 1, 50) != 0) {
      if (!PQconsumeInput(fConn)) break;
      continue;
    }
    if (!cancelled && OnWait()) {
      Cancel();
      cancelled = true;
    }
  }
  pg_result* result = nullptr;
  while (pg_result* next = PQgetResult(fConn)) {
    if (result) PQclear(result);
    result = next;
  }
  const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return pg::TPgResult(result);
  const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  if (cancelled && state && String(state) == "57014") {
    PQclear(result);
    Abort();
  }
  RaiseResultError(result);
}

void TPgConnection::Cancel() {
  if (!fConn || !fRunning) return;
  if (PGcancel* cancel = PQgetCancel(fConn)) {
    char error[256];
    PQcancel(cancel, error, sizeof error);
    PQfreeCancel(cancel);
  }
}

pg::TPgResult TPgConnection::Describe(const String& sql, int paramCount) {
  CheckConnected();
  ++fStatements;
  pg_result* prepared = PQprepare(fConn, "", sql.c_str(), paramCount, nullptr);
  if (!prepared || PQresultStatus(prepared) != PGRES_COMMAND_OK) RaiseResultError(prepared);
  PQclear(prepared);
  pg_result* described = PQdescribePrepared(fConn, "");
  if (!described || PQresultStatus(described) != PGRES_COMMAND_OK) RaiseResultError(described);
  return pg::TPgResult(described);
}

// ---------------------------------------------------------------------------------------------
// Transactions

void TPgConnection::StartTransaction() {
  CheckConnected();
  if (InTransaction()) throw EPgError(SPgInTransaction, "25001");
  Execute("BEGIN");
  fInTransaction = true;
}

void TPgConnection::Commit() {
  CheckConnected();
  if (!InTransaction()) throw EPgError(SPgNoTransaction, "25P01");
  // The server answers COMMIT of a failed transaction by rolling it back without an error:
  // the caller must hear that nothing was written.
  const bool failed = PQtransactionStatus(fConn) == PQTRANS_INERROR;
  fInTransaction = false;
  Execute(failed ? "ROLLBACK" : "COMMIT");
  if (failed) throw EPgError(SPgTransactionFailed, "25P02");
}

void TPgConnection::Rollback() {
  CheckConnected();
  if (!InTransaction()) throw EPgError(SPgNoTransaction, "25P01");
  fInTransaction = false;
  Execute("ROLLBACK");
}

}  // namespace zv
