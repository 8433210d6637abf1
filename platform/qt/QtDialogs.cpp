#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QWindow>

namespace zv::qt {

std::vector<String> QtNameFilters(const String& filter) {
  std::vector<String> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == String::npos ? String::npos : bar - start));
    if (bar == String::npos) break;
    start = bar + 1;
  }
  // Pairs of description and patterns; Qt wants "Description (p1 p2)".
  std::vector<String> out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    String patterns = parts[i + 1];
    for (char& c : patterns)
      if (c == ';') c = ' ';
    String description = parts[i];
    if (const auto paren = description.find(" ("); paren != String::npos) description.resize(paren);
    out.push_back(description + " (" + patterns + ")");
  }
  return out;
}

bool QtInteractive() {
  const QString name = QGuiApplication::platformName();
  return !name.isEmpty() && name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

bool RunQtFileDialog(QWindow* owner, TNativeFileDialog& d) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  QFileDialog dialog(nullptr, QString::fromStdString(d.Title), QString::fromStdString(d.InitialDir));
  dialog.setOption(QFileDialog::DontUseNativeDialog, false);
  dialog.winId();
  if (owner && dialog.windowHandle()) dialog.windowHandle()->setTransientParent(owner);
  dialog.setAcceptMode(d.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(d.Save ? QFileDialog::AnyFile : d.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!d.Save || !d.OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite, !d.OverwritePrompt);
  if (!d.DefaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(d.DefaultExt));
  QStringList filters;
  for (const String& f : QtNameFilters(d.Filter)) filters << QString::fromStdString(f);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (d.FilterIndex >= 1 && d.FilterIndex <= filters.size()) dialog.selectNameFilter(filters[d.FilterIndex - 1]);
  }
  if (!d.FileName.empty()) dialog.selectFile(QString::fromStdString(d.FileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  d.FileName = dialog.selectedFiles().front().toStdString();
  if (const qsizetype index = filters.indexOf(dialog.selectedNameFilter()); index >= 0)
    d.FilterIndex = static_cast<int>(index) + 1;
  return true;
}

bool RunQtColorDialog(QWindow*, TColor& color) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  const TColor rgb = ColorToRGB(color);
  const QColor chosen = QColorDialog::getColor(QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
  if (!chosen.isValid()) return false;
  color = RGB(chosen.red(), chosen.green(), chosen.blue());
  return true;
}

}  // namespace zv::qt
