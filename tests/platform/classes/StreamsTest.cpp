#include "platform/classes/Streams.h"

#include "ExpectMessage.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {

using zvtest::MessageOf;

String Bytes(const TMemoryStream& s) { return String(s.Memory().begin(), s.Memory().end()); }

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// Accepts at most `room` bytes in all, like a full disk.
class TinyStream : public TMemoryStream {
public:
  explicit TinyStream(std::int64_t room) : room(room) {}
  std::int64_t Write(const void* buffer, std::int64_t count) override {
    const std::int64_t n = TMemoryStream::Write(buffer, std::min(count, room));
    room -= n;
    return n;
  }
  std::int64_t room;
};

TEST(StreamsTest, MemoryStreamGrowsAndReadsBack) {
  TMemoryStream stream;
  String expected;
  for (int i = 0; i < 3000; ++i) {
    const char piece[] = {static_cast<char>('a' + i % 26), static_cast<char>(i & 0xFF), '\0'};
    stream.WriteBuffer(piece, 3);
    expected.append(piece, 3);
  }
  EXPECT_EQ(stream.Size(), 9000);
  EXPECT_EQ(stream.Position(), 9000);
  EXPECT_EQ(Bytes(stream), expected);

  char buffer[16];
  EXPECT_EQ(stream.Read(buffer, 16), 0);  // at the end
  stream.Seek(-5, soFromEnd);
  EXPECT_EQ(stream.Read(buffer, 16), 5);  // fewer near the end
  EXPECT_EQ(String(buffer, 5), expected.substr(8995));
  EXPECT_EQ(stream.Read(buffer, -1), 0);

  stream.SetPosition(1);
  stream.WriteBuffer("XY", 2);  // overwrites without growing
  EXPECT_EQ(stream.Size(), 9000);
  EXPECT_EQ(Bytes(stream).substr(0, 4), expected.substr(0, 1) + "XY" + expected.substr(3, 1));

  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
}

TEST(StreamsTest, SeekEdgeCases) {
  TMemoryStream stream;
  stream.WriteBuffer("abcdef", 6);
  EXPECT_EQ(stream.Seek(2, soFromBeginning), 2);
  EXPECT_EQ(stream.Seek(3, soFromCurrent), 5);
  EXPECT_EQ(stream.Seek(-6, soFromEnd), 0);
  EXPECT_EQ(MessageOf<EStreamError>([&] { stream.Seek(-1, soFromBeginning); }), "Stream seek error");
  EXPECT_EQ(MessageOf<EStreamError>([&] { stream.Seek(-7, soFromEnd); }), "Stream seek error");
  stream.SetPosition(kMax);
  EXPECT_EQ(MessageOf<EStreamError>([&] { stream.Seek(1, soFromCurrent); }), "Stream seek error");
  EXPECT_EQ(stream.Position(), kMax);  // a failed seek does not move
  EXPECT_EQ(MessageOf<EStreamError>([&] { stream.Write("x", 1); }),
            "Out of memory while expanding memory stream");
  char c;
  EXPECT_EQ(stream.Read(&c, 1), 0);

  // Past the end: reading finds nothing, writing fills the gap with zeros.
  stream.Seek(4, soFromEnd);
  EXPECT_EQ(stream.Read(&c, 1), 0);
  stream.WriteBuffer("z", 1);
  EXPECT_EQ(Bytes(stream), String("abcdef\0\0\0\0z", 11));

  stream.SetPosition(10);
  stream.SetSize(3);  // the position comes back to the new end
  EXPECT_EQ(stream.Position(), 3);
  EXPECT_EQ(Bytes(stream), "abc");
  stream.SetPosition(1);
  stream.SetSize(5);  // grows with zeros, position kept
  EXPECT_EQ(stream.Position(), 1);
  EXPECT_EQ(Bytes(stream), String("abc\0\0", 5));
  EXPECT_EQ(MessageOf<EStreamError>([&] { stream.SetSize(-1); }), "Invalid stream size (-1)");
  EXPECT_EQ(stream.Size(), 5);
}

TEST(StreamsTest, ShortTransfersRaise) {
  TMemoryStream stream;
  stream.WriteBuffer("abc", 3);
  stream.SetPosition(0);
  char buffer[8] = {};
  EXPECT_EQ(MessageOf<EReadError>([&] { stream.ReadBuffer(buffer, 4); }), "Stream read error");
  stream.SetPosition(3);
  stream.ReadBuffer(buffer, 0);  // nothing asked, nothing missing
  EXPECT_THROW(stream.ReadBuffer(buffer, 1), EFilerError);

  TinyStream tiny(2);
  EXPECT_EQ(MessageOf<EWriteError>([&] { tiny.WriteBuffer("abc", 3); }), "Stream write error");
  EXPECT_EQ(Bytes(tiny), "ab");
}

TEST(StreamsTest, CopyFrom) {
  TStringStream source("0123456789");
  TMemoryStream dest;
  source.SetPosition(10);
  EXPECT_EQ(dest.CopyFrom(source, 0), 10);  // 0: all of it, from the start
  EXPECT_EQ(Bytes(dest), "0123456789");

  source.SetPosition(2);
  dest.Clear();
  EXPECT_EQ(dest.CopyFrom(source, 3), 3);  // from where source stands
  EXPECT_EQ(Bytes(dest), "234");
  EXPECT_EQ(source.Position(), 5);
  EXPECT_EQ(dest.CopyFrom(source, -1), 5);  // the rest
  EXPECT_EQ(Bytes(dest), "23456789");
  source.SetPosition(8);
  EXPECT_THROW(dest.CopyFrom(source, 3), EReadError);

  TStringStream empty;
  dest.Clear();
  EXPECT_EQ(dest.CopyFrom(empty, 0), 0);
  EXPECT_EQ(dest.Size(), 0);
}

TEST(StreamsTest, MemoryStreamIntoItself) {
  TMemoryStream stream;
  const String block(1000, 'q');
  stream.WriteBuffer(block.data(), 1000);
  stream.SaveToStream(stream);  // reads its own memory while growing it
  EXPECT_EQ(Bytes(stream), block + block);

  TMemoryStream copy;
  copy.SetPosition(3);
  copy.LoadFromStream(stream);
  EXPECT_EQ(copy.Size(), 2000);
  EXPECT_EQ(copy.Position(), 3);  // kept, as the host does
}

TEST(StreamsTest, StringStream) {
  TStringStream stream("hello world");
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(stream.ReadString(5), "hello");
  EXPECT_EQ(stream.ReadString(100), " world");
  EXPECT_EQ(stream.ReadString(100), "");
  EXPECT_EQ(stream.ReadString(-2), "");
  stream.SetPosition(6);
  stream.WriteString("W");  // overwrites, does not truncate
  EXPECT_EQ(stream.DataString(), "hello World");
  stream.Seek(0, soFromEnd);
  stream.WriteString("!");
  EXPECT_EQ(stream.DataString(), "hello World!");
}

class FileStreamTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("zv-streams-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  String PathOf(const char* name) const { return (dir / name).string(); }
  std::filesystem::path dir;
};

TEST_F(FileStreamTest, RoundTripAndModes) {
  const String name = PathOf("data.bin");
  {
    TFileStream file(name, fmCreate | fmShareExclusive);
    EXPECT_EQ(file.FileName(), name);
    file.WriteBuffer("0123456789", 10);
    EXPECT_EQ(file.Size(), 10);
    file.SetSize(6);
    EXPECT_EQ(file.Position(), 6);
    file.Seek(-2, soFromEnd);
    file.WriteBuffer("xy", 2);
  }
  {
    TFileStream file(name, fmOpenRead);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 16), 6);
    EXPECT_EQ(String(buffer, 6), "0123xy");
    EXPECT_EQ(file.Read(buffer, 16), 0);
    EXPECT_EQ(MessageOf<EWriteError>([&] { file.WriteBuffer("a", 1); }), "Stream write error");
    EXPECT_EQ(MessageOf<EStreamError>([&] { file.Seek(-1, soFromBeginning); }), "Stream seek error");
  }
  {
    TFileStream file(name, fmOpenReadWrite);  // opening does not truncate
    EXPECT_EQ(file.Size(), 6);
    file.Seek(2, soFromEnd);
    file.WriteBuffer("!", 1);  // past the end: the gap reads as zeros
  }
  TMemoryStream memory;
  memory.LoadFromFile(name);
  EXPECT_EQ(String(memory.Memory().begin(), memory.Memory().end()), String("0123xy\0\0!", 9));
  {
    TFileStream file(name, fmCreate);  // truncates
    EXPECT_EQ(file.Size(), 0);
  }
  memory.SaveToFile(name);
  EXPECT_EQ(std::filesystem::file_size(name), 9u);
}

TEST_F(FileStreamTest, SizesPastFourGigabytes) {
  TFileStream file(PathOf("sparse.bin"), fmCreate);
  const std::int64_t far = (std::int64_t{5} << 30) + 3;
  EXPECT_EQ(file.Seek(far, soFromBeginning), far);
  file.WriteBuffer("x", 1);
  EXPECT_EQ(file.Size(), far + 1);
  file.SetPosition(far);
  char c = 0;
  file.ReadBuffer(&c, 1);
  EXPECT_EQ(c, 'x');
  file.SetSize(0);
}

TEST_F(FileStreamTest, OpenErrors) {
  const String missing = PathOf("missing.bin");
  EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream file(missing, fmOpenRead); }), "Cannot open file " + missing);
  EXPECT_FALSE(std::filesystem::exists(missing));  // opening never creates
  const String noDir = PathOf("no/such/dir.bin");
  EXPECT_EQ(MessageOf<EFCreateError>([&] { TFileStream file(noDir, fmCreate); }), "Cannot create file " + noDir);
  const String self = dir.string();
  EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream file(self, fmOpenRead); }), "Cannot open file " + self);
  EXPECT_THROW(TMemoryStream().LoadFromFile(missing), EStreamError);
}

}  // namespace
}  // namespace zv
