// zv-png-probe PNG WIDTH HEIGHT MIN_ROW_LINES MIN_COLUMN_LINES
// Fails (exit 1, saying why) unless the picture has the size given, is not one flat colour and
// shows a grid: dark lines across a third of it or more, at least as many horizontal and vertical
// ones as asked for.

#include <QColor>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

bool Dark(QRgb pixel) { return qGray(pixel) < 100; }

// Pixel rows (or columns) at least a third dark: a grid's lines, cut where they cross others;
// text never comes near that. Neighbouring ones count once.
int CountLines(const QImage& image, bool horizontal) {
  const int outer = horizontal ? image.height() : image.width();
  const int inner = horizontal ? image.width() : image.height();
  int lines = 0;
  bool previous = false;
  for (int o = 0; o < outer; ++o) {
    int dark = 0;
    for (int i = 0; i < inner; ++i) dark += Dark(horizontal ? image.pixel(i, o) : image.pixel(o, i));
    const bool line = dark * 3 >= inner;
    if (line && !previous) ++lines;
    previous = line;
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s PNG WIDTH HEIGHT MIN_ROW_LINES MIN_COLUMN_LINES\n", argv[0]);
    return 2;
  }
  const QImage image(QString::fromLocal8Bit(argv[1]));
  if (image.isNull()) {
    std::fprintf(stderr, "%s: not a picture that can be read\n", argv[1]);
    return 1;
  }
  bool ok = true;
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  if (image.width() != width || image.height() != height) {
    std::fprintf(stderr, "size %dx%d, expected %dx%d\n", image.width(), image.height(), width, height);
    ok = false;
  }
  std::map<QRgb, long> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ++colours[image.pixel(x, y)];
  long commonest = 0;
  for (const auto& [colour, count] : colours) commonest = std::max(commonest, count);
  const long area = static_cast<long>(image.width()) * image.height();
  if (colours.size() < 8 || commonest * 100 > area * 97) {
    std::fprintf(stderr, "blank: %zu colours, the commonest covers %ld of %ld pixels\n", colours.size(), commonest,
                 area);
    ok = false;
  }
  const int rows = CountLines(image, true);
  const int columns = CountLines(image, false);
  std::printf("%dx%d, %zu colours, %d horizontal and %d vertical grid lines\n", image.width(), image.height(),
              colours.size(), rows, columns);
  if (rows < std::atoi(argv[4]) || columns < std::atoi(argv[5])) {
    std::fprintf(stderr, "no grid: expected at least %s horizontal and %s vertical lines\n", argv[4], argv[5]);
    ok = false;
  }
  return ok ? 0 : 1;
}
