#pragma once
// TPgConnection: one session with a PostgreSQL server, shared by any number of TPgDataSet.
//
// The session is opened with libpq's connection string (key/value "host=/run/pg dbname=shop" or
// URI "postgresql://..."), then pinned to what the datasets rely on: UTF-8, ISO dates, time
// stamps with a time zone shown in UTC. Statements are sent with their values as bound
// parameters, never spliced into the text.
//
// A failed statement raises EPgError with the server's message and SQLSTATE. When the server
// goes away (a restart, pg_terminate_backend, a broken socket) the connection closes itself,
// OnLost fires, and the statement raises EPgError with SQLSTATE 08006; setting Connected (or
// calling Open) again starts a new session.

#include "platform/classes/Component.h"
#include "platform/classes/Strings.h"
#include "platform/rtl/Exceptions.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

namespace zv {

class TDataSet;

inline constexpr const char SPgNotConnected[] = "Not connected to a database server";
inline constexpr const char SPgConnectionLost[] = "The connection to the database server was lost: %s";
inline constexpr const char SPgNoTransaction[] = "No transaction is active";
inline constexpr const char SPgInTransaction[] = "A transaction is already active";
inline constexpr const char SPgTransactionFailed[] =
    "The transaction was rolled back: a statement in it had failed";

// The server's error: Message() is its text, SqlState() its five-character code ("23505" for a
// unique violation, "40001" for a serialization failure, "08006" for a lost connection).
class EPgError : public EDatabaseError {
public:
  EPgError(String message, String sqlState) : EDatabaseError(std::move(message)), fSqlState(std::move(sqlState)) {}
  const String& SqlState() const { return fSqlState; }
  // 40001 and 40P01: the transaction may succeed when run again.
  bool IsSerializationFailure() const { return fSqlState == "40001" || fSqlState == "40P01"; }
  bool IsConnectionLost() const { return fSqlState.starts_with("08") || fSqlState == "57P01"; }

private:
  String fSqlState;
};

namespace pg {

using TOid = unsigned int;

// A value sent to the server: its text (as the type's input function reads it) or NULL.
using TPgParam = std::optional<String>;

// The rows of one statement, in the text form of each type.
class TPgResult {
public:
  TPgResult() = default;
  explicit TPgResult(pg_result* result);
  ~TPgResult();
  TPgResult(TPgResult&& other) noexcept;
  TPgResult& operator=(TPgResult&& other) noexcept;
  TPgResult(const TPgResult&) = delete;
  TPgResult& operator=(const TPgResult&) = delete;

  int Rows() const;
  int Columns() const;
  String ColumnName(int column) const;
  TOid ColumnType(int column) const;
  int ColumnModifier(int column) const;
  bool IsNull(int row, int column) const;
  std::string_view Text(int row, int column) const;
  // The text, or nothing for NULL.
  TPgParam Value(int row, int column) const;
  // Rows written by an INSERT, UPDATE or DELETE.
  std::int64_t Affected() const;

private:
  pg_result* fResult = nullptr;
};

}  // namespace pg

class TPgConnection : public TComponent {
  ZV_CLASS(TPgConnection, TComponent)

public:
  explicit TPgConnection(TComponent* owner);
  ~TPgConnection() override;

  const String& ConnectionString() const { return fConnectionString; }
  // Changing it closes an open session.
  void SetConnectionString(const String& value);
  bool Connected() const { return fConn != nullptr; }
  // Closing closes the datasets on the connection first, as the host's connections do; a lost
  // session leaves them open, so that an edit survives until the connection opens again.
  void SetConnected(bool value);
  void Open() { SetConnected(true); }
  void Close() { SetConnected(false); }

  // BEGIN / COMMIT / ROLLBACK. While a transaction is open, every dataset posts inside it (each
  // post within a savepoint, so that a failed one leaves the transaction usable).
  void StartTransaction();
  void Commit();
  void Rollback();
  bool InTransaction() const { return fInTransaction; }

  // The server closed the session under the connection (it is closed here too).
  TNotifyEvent OnLost;
  // Fired after a session opened and before it closes.
  TNotifyEvent AfterConnect;
  TNotifyEvent BeforeDisconnect;

  // Runs one statement with its parameters ($1, $2, ...); raises EPgError on failure.
  pg::TPgResult Execute(const String& sql, const std::vector<pg::TPgParam>& params = {});
  // While set, Execute waits for the server in slices of about 50 ms and asks this between them;
  // true cancels the statement, which then raises EAbort (a statement that finished first
  // returns as usual).
  std::function<bool()> OnWait;
  // Asks the server to stop the statement running now (safe from another thread); the statement
  // then fails with the server's "canceling statement" error, or with EAbort under OnWait.
  void Cancel();
  // Whether a statement runs now.
  bool Running() const { return fRunning; }
  // Checks a statement without running it: the columns it would return.
  pg::TPgResult Describe(const String& sql, int paramCount);
  // Statements sent since the connection was created (for tests that count the cost of a move).
  std::int64_t StatementsRun() const { return fStatements; }
  // The server's process id of the session (0 when closed).
  int BackendPid() const;
  // The datasets using the connection (TPgDataSet keeps itself listed).
  const std::vector<TDataSet*>& DataSets() const { return fDataSets; }
  void RegisterDataSet(TDataSet* dataSet);
  void UnregisterDataSet(TDataSet* dataSet);

  static void DeclareProperties(TPropTable<TPgConnection>& t);

private:
  void CheckConnected() const;
  [[noreturn]] void RaiseResultError(pg_result* result);
  void Disconnect();

  String fConnectionString;
  pg_conn* fConn = nullptr;
  bool fInTransaction = false;
  std::atomic<bool> fRunning{false};
  std::int64_t fStatements = 0;
  std::vector<TDataSet*> fDataSets;
};

// An identifier in double quotes, inner quotes doubled: never read as SQL.
String PgQuoteIdentifier(std::string_view name);

}  // namespace zv
