#include "platform/classes/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/Format.h"

namespace zv {

ZV_DEFINE_CLASS(TStream, TObject)
ZV_DEFINE_CLASS(TMemoryStream, TStream)
ZV_DEFINE_CLASS(TStringStream, TMemoryStream)

// No factory: a file stream cannot be made without a file name.
TClass TFileStream::StaticClass() {
  static const TClassInfo info{"TFileStream", TStream::StaticClass(), nullptr};
  return &info;
}

namespace {

constexpr std::int64_t kMaxInt64 = std::numeric_limits<std::int64_t>::max();

// base + offset as a stream position: never negative, never wrapped.
std::int64_t SeekTarget(std::int64_t base, std::int64_t offset) {
  std::int64_t target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) throw EStreamError(SSeekError);
  return target;
}

void CheckSize(std::int64_t size) {
  if (size < 0) throw EStreamError(Format(SInvalidStreamSize, {size}));
}

}  // namespace

// ---- TStream ----

std::int64_t TStream::Size() {
  const std::int64_t position = Seek(0, soCurrent);
  const std::int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) {}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(SWriteError);
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  constexpr std::int64_t kBufferSize = 1 << 20;
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(count < 0 ? kBufferSize : std::min(count, kBufferSize)));
  if (count < 0) {
    std::int64_t total = 0;
    for (;;) {
      const std::int64_t n = source.Read(buffer.data(), static_cast<std::int64_t>(buffer.size()));
      if (n <= 0) return total;
      WriteBuffer(buffer.data(), n);
      total += n;
    }
  }
  for (std::int64_t left = count; left > 0;) {
    const std::int64_t n = std::min(left, static_cast<std::int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

// ---- TMemoryStream ----

void TMemoryStream::Resize(std::int64_t newSize) {
  CheckSize(newSize);
  if (static_cast<std::uint64_t>(newSize) > fData.max_size()) throw EStreamError(SMemoryStreamError);
  try {
    const auto size = static_cast<std::size_t>(newSize);
    // Doubling keeps a stream written in small pieces linear in time.
    if (size > fData.capacity()) fData.reserve(std::max(size, std::min(fData.capacity() * 2, fData.max_size())));
    fData.resize(size);
  } catch (const std::bad_alloc&) {
    throw EStreamError(SMemoryStreamError);
  } catch (const std::length_error&) {
    throw EStreamError(SMemoryStreamError);
  }
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t size = Size();
  if (count <= 0 || fPosition >= size) return 0;
  const std::int64_t n = std::min(count, size - fPosition);
  // memmove: a stream may be read into its own memory.
  std::memmove(buffer, fData.data() + fPosition, static_cast<std::size_t>(n));
  fPosition += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  if (fPosition > kMaxInt64 - count) throw EStreamError(SMemoryStreamError);
  const std::int64_t end = fPosition + count;
  if (end > Size()) {
    // Growing moves the memory: a buffer inside it (a stream saved into itself) is copied first.
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    const std::less<const std::uint8_t*> less;
    if (!fData.empty() && !less(bytes, fData.data()) && less(bytes, fData.data() + fData.size())) {
      const std::vector<std::uint8_t> copy(bytes, bytes + count);
      Resize(end);
      std::memcpy(fData.data() + fPosition, copy.data(), copy.size());
      fPosition = end;
      return count;
    }
    Resize(end);
  }
  std::memmove(fData.data() + fPosition, buffer, static_cast<std::size_t>(count));
  fPosition = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? fPosition : Size();
  fPosition = SeekTarget(base, offset);
  return fPosition;
}

void TMemoryStream::SetSize(std::int64_t newSize) {
  Resize(newSize);
  fPosition = std::min(fPosition, newSize);
}

void TMemoryStream::Clear() {
  std::vector<std::uint8_t>().swap(fData);
  fPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const std::int64_t count = stream.Size();
  SetSize(count);
  stream.ReadBuffer(fData.data(), count);
}

void TMemoryStream::SaveToStream(TStream& stream) const {
  stream.WriteBuffer(fData.data(), static_cast<std::int64_t>(fData.size()));
}

void TMemoryStream::LoadFromFile(const String& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const String& fileName) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

// ---- TFileStream ----

TFileStream::TFileStream(const String& fileName, unsigned mode) : fFileName(fileName) {
  const bool create = (mode & fmCreate) == fmCreate;
  int flags = O_CLOEXEC;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (mode & 3) {
      case fmOpenRead: flags |= O_RDONLY; break;
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: throw EFOpenError(Format(SFOpenError, {fileName}));
    }
  }
  do {
    fHandle = ::open(fileName.c_str(), flags, 0666);
  } while (fHandle < 0 && errno == EINTR);
  struct stat info {};
  // A directory opens read-only on POSIX, but it is not a file to stream.
  if (fHandle >= 0 && (::fstat(fHandle, &info) != 0 || S_ISDIR(info.st_mode))) {
    ::close(fHandle);
    fHandle = -1;
  }
  if (fHandle < 0) {
    if (create) throw EFCreateError(Format(SFCreateError, {fileName}));
    throw EFOpenError(Format(SFOpenError, {fileName}));
  }
}

TFileStream::~TFileStream() {
  if (fHandle >= 0) ::close(fHandle);
}

// Both loop because POSIX may move fewer bytes than asked (signals, huge counts).
std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  constexpr std::int64_t kChunk = 1 << 30;
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fHandle, bytes + done, static_cast<std::size_t>(std::min(count - done, kChunk)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  constexpr std::int64_t kChunk = 1 << 30;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fHandle, bytes + done, static_cast<std::size_t>(std::min(count - done, kChunk)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t position = ::lseek(fHandle, static_cast<off_t>(offset), whence);
  if (position < 0) throw EStreamError(SSeekError);
  return static_cast<std::int64_t>(position);
}

std::int64_t TFileStream::Size() {
  struct stat info {};
  if (::fstat(fHandle, &info) != 0) throw EReadError(SReadError);
  return static_cast<std::int64_t>(info.st_size);
}

void TFileStream::SetSize(std::int64_t newSize) {
  CheckSize(newSize);
  const std::int64_t position = Position();
  int rc;
  do {
    rc = ::ftruncate(fHandle, static_cast<off_t>(newSize));
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) throw EWriteError(SWriteError);
  if (position > newSize) Seek(newSize, soBeginning);
}

// ---- TStringStream ----

TStringStream::TStringStream(const String& data) {
  WriteString(data);
  SetPosition(0);
}

String TStringStream::DataString() const {
  const auto bytes = Memory();
  return String(bytes.begin(), bytes.end());
}

String TStringStream::ReadString(std::int64_t count) {
  const std::int64_t available = std::max<std::int64_t>(0, Size() - Position());
  String text(static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, available)), '\0');
  text.resize(static_cast<std::size_t>(Read(text.data(), static_cast<std::int64_t>(text.size()))));
  return text;
}

void TStringStream::WriteString(const String& text) { WriteBuffer(text.data(), static_cast<std::int64_t>(text.size())); }

}  // namespace zv
