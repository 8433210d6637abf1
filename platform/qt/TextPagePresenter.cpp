#include "platform/qt/TextPagePresenter.h"

#include "platform/qt/QtEnvironment.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstdlib>

namespace zv::qt {

namespace {

constexpr int kMargin = 16;

QFont PageFont(const char* family, int pixelSize, bool bold = false) {
  QFont f(QString::fromUtf8(family));
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::NoSubpixelAntialias);
  return f;
}

QSize PageSize(const TextPage& page, const PinnedFonts& fonts) {
  QFontMetrics title(PageFont(fonts.Sans, 18, true));
  QFontMetrics body(PageFont(fonts.Mono, 13));
  int width = title.horizontalAdvance(QString::fromStdString(page.Title));
  for (const auto& line : page.Lines) width = std::max(width, body.horizontalAdvance(QString::fromStdString(line)));
  const int height = title.height() + 8 + body.lineSpacing() * static_cast<int>(page.Lines.size());
  return {width + 2 * kMargin, height + 2 * kMargin};
}

void PaintPage(QPainter& p, const QRect& area, const TextPage& page, const PinnedFonts& fonts) {
  p.fillRect(area, QColor(0xFF, 0xFF, 0xFF));
  p.setPen(QColor(0x20, 0x20, 0x20));
  const QFont titleFont = PageFont(fonts.Sans, 18, true);
  p.setFont(titleFont);
  QFontMetrics tm(titleFont);
  p.drawText(kMargin, kMargin + tm.ascent(), QString::fromStdString(page.Title));
  const QFont bodyFont = PageFont(fonts.Mono, 13);
  p.setFont(bodyFont);
  QFontMetrics bm(bodyFont);
  int y = kMargin + tm.height() + 8 + bm.ascent();
  for (const auto& line : page.Lines) {
    p.drawText(kMargin, y, QString::fromStdString(line));
    y += bm.lineSpacing();
  }
}

class PageWidget : public QWidget {
public:
  PageWidget(const TextPage& page, PinnedFonts fonts) : fPage(page), fFonts(fonts) {}

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    PaintPage(p, rect(), fPage, fFonts);
  }

private:
  const TextPage& fPage;
  PinnedFonts fFonts;
};

}  // namespace

PresentResult PresentTextPage(const TextPage& page, const std::string& pngPath, bool forceOffscreen) {
  if (forceOffscreen) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const bool windowed = PrepareQtPlatform() && !forceOffscreen;
  int argc = 1;
  char name[] = "zovrin";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  const PinnedFonts fonts = LoadPinnedFonts();
  const QSize size = PageSize(page, fonts);

  PresentResult result;
  if (windowed) {
    PageWidget w(page, fonts);
    w.setWindowTitle(QString::fromStdString(page.Title));
    w.resize(size);
    w.show();
    result.Windowed = true;
    result.ExitCode = app.exec();
    return result;
  }
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  {
    QPainter p(&image);
    PaintPage(p, image.rect(), page, fonts);
  }
  if (!image.save(QString::fromStdString(pngPath), "PNG")) {
    result.ExitCode = 1;
    return result;
  }
  result.PngPath = pngPath;
  return result;
}

}  // namespace zv::qt
