// Export as text: the walk over the records (Export), the cell writer with its quoting and
// UTF-8 repair, and the file side (a temporary file renamed over the target on success).
#include "runtime/grid/ExportAsText.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Streams.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Format.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/rtm/ZvErrors.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>
#include <vector>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TgpExportAsText, TPersistent)

namespace {

constexpr const char SExportWriteError[] = "Cannot write file %s";
// What a stream sink gathers before it writes: large enough that writes are few, small enough
// that the memory of a long export does not grow with it.
constexpr std::size_t kChunk = 256 * 1024;

// finish runs whether body returns or raises; when both raise, body's exception is the one that
// propagates (it says what went wrong first).
template <class Body, class Finish>
void TryFinally(Body&& body, Finish&& finish) {
  try {
    body();
  } catch (...) {
    try {
      finish();
    } catch (...) {
    }
    throw;
  }
  finish();
}

bool IsValidUTF8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    // Continuation bytes and the second byte's range, which excludes overlong forms,
    // surrogates and values past U+10FFFF.
    int n = 0;
    unsigned lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) n = 1;
    else if (c == 0xE0) n = 2, lo = 0xA0;
    else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) n = 2;
    else if (c == 0xED) n = 2, hi = 0x9F;
    else if (c == 0xF0) n = 3, lo = 0x90;
    else if (c >= 0xF1 && c <= 0xF3) n = 3;
    else if (c == 0xF4) n = 3, hi = 0x8F;
    else return false;
    if (end - p < n + 1 || p[1] < lo || p[1] > hi) return false;
    for (int k = 2; k <= n; ++k)
      if ((p[k] & 0xC0) != 0x80) return false;
    p += n + 1;
  }
  return true;
}

// Invalid sequences become U+FFFD, as the host's decoding replaces them.
String RepairUTF8(std::string_view text) { return IsValidUTF8(text) ? String(text) : UTF8Encode(UTF8Decode(text)); }

class TCellWriter {
public:
  TCellWriter(const String& colSep, const String& rowSep, TgpExportQuoting quoting)
      : fColSep(RepairUTF8(colSep)), fRowSep(RepairUTF8(rowSep)), fQuoting(quoting) {}

  const String& ColSep() const { return fColSep; }
  const String& RowSep() const { return fRowSep; }

  void Append(String& out, std::string_view text) const {
    String repaired;
    if (!IsValidUTF8(text)) {
      repaired = RepairUTF8(text);
      text = repaired;
    }
    if (!NeedsQuotes(text)) {
      out.append(text);
      return;
    }
    out.push_back('"');
    for (std::size_t start = 0;;) {
      const std::size_t quote = text.find('"', start);
      if (quote == std::string_view::npos) {
        out.append(text.substr(start));
        break;
      }
      out.append(text.substr(start, quote - start + 1));
      out.push_back('"');
      start = quote + 1;
    }
    out.push_back('"');
  }

private:
  bool NeedsQuotes(std::string_view text) const {
    if (fQuoting != eqAsNeeded) return fQuoting == eqAll;
    return text.find_first_of("\"\r\n") != std::string_view::npos ||
           (!fColSep.empty() && text.find(fColSep) != std::string_view::npos) ||
           (!fRowSep.empty() && text.find(fRowSep) != std::string_view::npos);
  }

  String fColSep;
  String fRowSep;
  TgpExportQuoting fQuoting;
};

[[noreturn]] void CannotCreate(const String& fileName) { throw EFCreateError(Format(SFCreateError, {fileName})); }

// Mode bits decide, not the process's privileges: an administrator's export does not write
// over a file, or into a folder, that is marked read-only either.
bool MarkedReadOnly(const struct stat& info) { return (info.st_mode & 0222) == 0; }

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The temporary file, written behind: each chunk goes to the disk as soon as it is full and
// leaves the page cache once written. A long export then holds little memory of the system's,
// the final sync has little left to do, and a cancelled export's file goes away at once instead
// of the kernel dropping tens of megabytes of cached pages on the way back to the user.
class TWriteBehindFile : public TStream {
public:
  explicit TWriteBehindFile(int handle) : fHandle(handle) {}
  ~TWriteBehindFile() override {
    if (fHandle >= 0) ::close(fHandle);
  }

  std::int64_t Read(void* buffer, std::int64_t count) override {
    std::int64_t done = 0;
    while (done < count) {
      const ssize_t n = ::read(fHandle, static_cast<char*>(buffer) + done, static_cast<std::size_t>(count - done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += n;
    }
    return done;
  }
  std::int64_t Write(const void* buffer, std::int64_t count) override {
    std::int64_t done = 0;
    while (done < count) {
      const ssize_t n = ::write(fHandle, static_cast<const char*>(buffer) + done, static_cast<std::size_t>(count - done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += n;
    }
    fWritten += done;
    WriteBehind();
    return done;
  }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    const off_t position =
        ::lseek(fHandle, offset, origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END);
    if (position < 0) throw EStreamError(SSeekError);
    return position;
  }
  // Everything on the disk and the file closed; false when the system could not.
  bool SyncAndClose() {
    const bool synced = ::fsync(fHandle) == 0;
    const bool closed = ::close(fHandle) == 0;
    fHandle = -1;
    return synced && closed;
  }

private:
  static constexpr off_t kBehind = 1024 * 1024;

  // Written sequentially from the start: chunks are whole kBehind blocks from offset 0.
  void WriteBehind() {
    while (fWritten - fStarted >= kBehind) {
      ::sync_file_range(fHandle, fStarted, kBehind, SYNC_FILE_RANGE_WRITE);
      if (fStarted >= kBehind) {
        const off_t previous = fStarted - kBehind;
        ::sync_file_range(fHandle, previous, kBehind,
                          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
        ::posix_fadvise(fHandle, previous, kBehind, POSIX_FADV_DONTNEED);
      }
      fStarted += kBehind;
    }
  }

  int fHandle;
  off_t fWritten = 0;
  off_t fStarted = 0;  // handed to the disk up to here
};

}  // namespace

// The text being made: the whole result for DoExport; for a stream, a chunk written out as it
// fills.
class TgpExportAsText::TSink {
public:
  explicit TSink(TStream* stream) : fStream(stream) {
    if (fStream) fText.reserve(kChunk + kChunk / 4);
  }
  String& Text() { return fText; }
  void WriteIfFull() {
    if (fStream && fText.size() >= kChunk) Write();
  }
  void Write() {
    if (!fStream || fText.empty()) return;
    fStream->WriteBuffer(fText.data(), static_cast<std::int64_t>(fText.size()));
    fText.clear();
  }

private:
  TStream* fStream;
  String fText;
};

TgpExportAsText::TgpExportAsText(TDBDivoRud* grid) : fGrid(grid), fColSep("\t"), fRowSep("\r\n") {}

void TgpExportAsText::DeclareProperties(TPropTable<TgpExportAsText>& t) {
  t.Prop("DisplayText", &TgpExportAsText::DisplayText, &TgpExportAsText::SetDisplayText).Default(true);
  t.Prop("ColSep", &TgpExportAsText::ColSep, &TgpExportAsText::SetColSep);
  t.Prop("RowSep", &TgpExportAsText::RowSep, &TgpExportAsText::SetRowSep);
  t.Prop("Quoting", &TgpExportAsText::Quoting, &TgpExportAsText::SetQuoting).Default(eqAsNeeded);
  t.Prop("WriteBOM", &TgpExportAsText::WriteBOM, &TgpExportAsText::SetWriteBOM).Default(true);
  t.Prop("ProgressStep", &TgpExportAsText::ProgressStep, &TgpExportAsText::SetProgressStep).Default(1000);
}

void TgpExportAsText::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const TgpExportAsText*>(source)) {
    fDisplayText = other->fDisplayText;
    fColSep = other->fColSep;
    fRowSep = other->fRowSep;
    fQuoting = other->fQuoting;
    fWriteBOM = other->fWriteBOM;
    fProgressStep = other->fProgressStep;
    return;
  }
  TPersistent::Assign(source);
}

void TgpExportAsText::SetProgressStep(int value) {
  CheckForPositive(value);
  fProgressStep = value;
}

void TgpExportAsText::Export(TSink& sink) {
  TDBDivoRud* grid = fGrid;
  if (!grid || !grid->Columns() || !grid->HasActiveDataSet()) return;
  TDataSet* dataSet = grid->DataSet();
  TgpColumns& columns = *grid->Columns();
  // Collection indexes, not columns: a handler that removes columns makes the next line fail
  // on its index instead of reaching a freed column.
  std::vector<int> shown;
  for (int i = 0; i < columns.Count(); ++i)
    if (columns.Items(i)->Visible()) shown.push_back(i);
  const TCellWriter writer(fColSep, fRowSep, fQuoting);
  const int step = fProgressStep;
  String& out = sink.Text();
  int total = -1;
  const auto report = [&](int done) {
    bool cancel = false;
    if (OnProgress) OnProgress(this, done, total, cancel);
    if (cancel) Abort();
  };

  dataSet->DisableControls();
  // Frozen so that a repaint while a progress handler processes messages keeps the picture
  // instead of following the walk.
  grid->FreezeGrid();
  TryFinally(
      [&] {
        dataSet->First();  // posts a record in edit before anything is written
        total = dataSet->IsSequenced() ? dataSet->RecordCount() : -1;
        for (std::size_t k = 0; k < shown.size(); ++k) {
          if (k > 0) out += writer.ColSep();
          writer.Append(out, columns.Items(shown[k])->FieldList()->Caption());
        }
        report(0);
        int done = 0;
        int reported = 0;
        while (!dataSet->Eof()) {
          out += writer.RowSep();
          for (std::size_t k = 0; k < shown.size(); ++k) {
            if (k > 0) out += writer.ColSep();
            writer.Append(out, columns.Items(shown[k])->GetText(fDisplayText));
          }
          sink.WriteIfFull();
          if (++done % step == 0) {
            reported = done;
            report(done);
          }
          dataSet->Next();
        }
        if (done != reported) report(done);
      },
      [&] { TryFinally([&] { dataSet->EnableControls(); }, [&] { grid->UnfreezeGrid(true); }); });
}

String TgpExportAsText::DoExport() {
  TSink sink(nullptr);
  Export(sink);
  return std::move(sink.Text());
}

void TgpExportAsText::SaveToStream(TStream& stream) {
  TSink sink(&stream);
  Export(sink);
  sink.Write();
}

void TgpExportAsText::SaveToFile(const String& fileName) {
  struct stat target {};
  const bool replacing = ::stat(fileName.c_str(), &target) == 0;
  if (replacing && (S_ISDIR(target.st_mode) || MarkedReadOnly(target))) CannotCreate(fileName);
  // The temporary file lives beside the target, so that the rename neither copies nor crosses
  // file systems.
  const String path = ExtractFilePath(fileName);
  const String folder = path.empty() ? String("./") : path;
  struct stat folderInfo {};
  if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode) || MarkedReadOnly(folderInfo))
    CannotCreate(fileName);
  String temp = folder + "." + ExtractFileName(fileName) + ".XXXXXX";
  const int handle = ::mkstemp(temp.data());
  if (handle < 0) CannotCreate(fileName);
  TWriteBehindFile file(handle);
  try {
    // The file a user gets keeps the permissions of the one it replaces, or has the usual ones.
    if (::fchmod(handle, replacing ? target.st_mode & 07777 : NewFileMode()) != 0) CannotCreate(fileName);
    if (fWriteBOM) file.WriteBuffer("\xEF\xBB\xBF", 3);
    SaveToStream(file);
    if (!file.SyncAndClose()) throw EWriteError(SWriteError);
    if (::rename(temp.c_str(), fileName.c_str()) != 0) CannotCreate(fileName);
  } catch (const EWriteError&) {
    ::unlink(temp.c_str());
    throw EWriteError(Format(SExportWriteError, {fileName}));
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
}

}  // namespace zv
