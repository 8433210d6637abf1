#pragma once
// Streams: the host's abstract TStream and its memory, file and string streams. Sizes and
// positions are 64-bit; a position may lie past the end (writing there fills the gap with
// zeros), never before the start.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/rtl/Exceptions.h"

namespace zv {

class EFCreateError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

class EFOpenError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

inline constexpr const char SSeekError[] = "Stream seek error";
inline constexpr const char SInvalidStreamSize[] = "Invalid stream size (%d)";

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
// The host's older names of the origins.
inline constexpr TSeekOrigin soFromBeginning = soBeginning;
inline constexpr TSeekOrigin soFromCurrent = soCurrent;
inline constexpr TSeekOrigin soFromEnd = soEnd;

// TFileStream modes: one access mode, optionally or-ed with a share mode. fmCreate creates or
// truncates the file and opens it for reading and writing. Share modes are accepted and
// ignored: POSIX has no mandatory file sharing.
inline constexpr unsigned fmCreate = 0xFF00;
inline constexpr unsigned fmOpenRead = 0x0000;
inline constexpr unsigned fmOpenWrite = 0x0001;
inline constexpr unsigned fmOpenReadWrite = 0x0002;
inline constexpr unsigned fmShareCompat = 0x0000;
inline constexpr unsigned fmShareExclusive = 0x0010;
inline constexpr unsigned fmShareDenyWrite = 0x0020;
inline constexpr unsigned fmShareDenyRead = 0x0030;
inline constexpr unsigned fmShareDenyNone = 0x0040;

class TStream : public TObject {
  ZV_CLASS(TStream, TObject)

public:
  // Transfers up to count bytes at the position and advances it; returns the bytes moved
  // (fewer at the end of the data, 0 for count <= 0).
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Returns the new position; EStreamError (SSeekError) when it would be negative or overflow.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, soBeginning); }
  virtual std::int64_t Size();
  // Truncates or extends the data; the position stays, pulled back to the new end if past it.
  virtual void SetSize(std::int64_t newSize);

  // Exactly count bytes or EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies count bytes from source's position; count 0 copies the whole of source from its
  // start, a negative count whatever remains of it. Returns the bytes copied.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
  ZV_CLASS(TMemoryStream, TStream)

public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(fData.size()); }
  // Growing fills with zeros; EStreamError "Out of memory..." when the memory is not there.
  void SetSize(std::int64_t newSize) override;

  // The data, Size() bytes; valid until the next call that changes the size.
  std::span<std::uint8_t> Memory() { return fData; }
  std::span<const std::uint8_t> Memory() const { return fData; }
  void Clear();
  // Replaces the data by the whole of stream (read from its start); keeps the position.
  void LoadFromStream(TStream& stream);
  // Writes the whole data to stream, whatever the position.
  void SaveToStream(TStream& stream) const;
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName) const;

private:
  void Resize(std::int64_t newSize);

  std::vector<std::uint8_t> fData;
  std::int64_t fPosition = 0;
};

// A stream over an open file.
class TFileStream : public TStream {
  ZV_CLASS(TFileStream, TStream)

public:
  // EFCreateError "Cannot create file X" for fmCreate, EFOpenError "Cannot open file X" else.
  TFileStream(const String& fileName, unsigned mode);
  ~TFileStream() override;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override;
  // EWriteError when the file cannot be resized (opened read-only, disk full).
  void SetSize(std::int64_t newSize) override;

  const String& FileName() const { return fFileName; }

private:
  String fFileName;
  int fHandle = -1;
};

// A memory stream whose data reads as a String.
class TStringStream : public TMemoryStream {
  ZV_CLASS(TStringStream, TMemoryStream)

public:
  // Holds `data`, positioned at its start.
  explicit TStringStream(const String& data = String());

  String DataString() const;
  // Up to count bytes from the position, fewer at the end.
  String ReadString(std::int64_t count);
  void WriteString(const String& text);
};

}  // namespace zv
