#include "platform/qt/QtClipboard.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <algorithm>

namespace zv::qt {

namespace {

QClipboard* Board() { return QGuiApplication::clipboard(); }

QByteArray Bytes(const std::vector<std::uint8_t>& data) {
  return QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
}

std::vector<std::uint8_t> Vector(const QByteArray& data) {
  return {reinterpret_cast<const std::uint8_t*>(data.constData()),
          reinterpret_cast<const std::uint8_t*>(data.constData()) + data.size()};
}

bool IsPicture(const String& mime) { return mime == "image/png" || mime == "image/bmp"; }

}  // namespace

void SetQtClipboard(const std::vector<TWindowBackend::TClipboardFormat>& formats) {
  auto mime = std::make_unique<QMimeData>();
  bool hasImage = false;
  for (const auto& f : formats) {
    if (f.Mime == "text/plain") {
      mime->setText(QString::fromUtf8(Bytes(f.Data)));
    } else {
      mime->setData(QString::fromStdString(f.Mime), Bytes(f.Data));
      if (!hasImage && IsPicture(f.Mime)) {
        QImage image;
        if (image.loadFromData(Bytes(f.Data))) {
          mime->setImageData(image);
          hasImage = true;
        }
      }
    }
  }
  Board()->setMimeData(mime.release());  // the clipboard takes ownership
}

std::vector<String> QtClipboardFormats() {
  std::vector<String> names;
  const QMimeData* mime = Board()->mimeData();
  if (!mime) return names;
  for (const QString& f : mime->formats()) names.push_back(f.toStdString());
  // Another application's picture may come only as image data: it can always be given as PNG.
  if (mime->hasImage() && std::find(names.begin(), names.end(), "image/png") == names.end())
    names.push_back("image/png");
  return names;
}

std::vector<std::uint8_t> QtClipboardData(const String& format) {
  const QMimeData* mime = Board()->mimeData();
  if (!mime) return {};
  if (format == "text/plain") return mime->hasText() ? Vector(mime->text().toUtf8()) : std::vector<std::uint8_t>{};
  const QString name = QString::fromStdString(format);
  if (mime->hasFormat(name)) return Vector(mime->data(name));
  if (format == "image/png" && mime->hasImage()) {
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.isNull() && image.save(&buffer, "PNG")) return Vector(png);
  }
  return {};
}

void ClearQtClipboard() { Board()->clear(); }

}  // namespace zv::qt
