#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "PackageCheck.h"

class QWidget;

namespace mw {

// The file dialogs of the viewer, with the titles and filters of its position formats.
inline const QString kTessWinMapFilter = QStringLiteral("TessWinMap (*.MAP)");
inline const QString kNativeFilter = QStringLiteral("Corvane Map (*.QPX)");
inline const QString kAllMapfilesFilter = QStringLiteral("All Mapfiles (*.MAP *.QPX)");

std::optional<std::string> ShowOpenFileDialog(QWidget* owner);
std::optional<std::string> ShowSaveFileDialog(QWidget* owner, bool proposeNative);

// "LIst Units": the unit list as read-only text with a scroll bar and an "Ok" button.
class UnitListDialog : public QDialog {
 public:
  UnitListDialog(QWidget* owner, const std::string& text);
};

// "Income of country N": every sector the country holds, what it yields under which heading or
// why it yields nothing, and the sums, which are the info view's figures.
class IncomeDialog : public QDialog {
 public:
  IncomeDialog(QWidget* owner, const class Position& position, int country);
};

// "Check Map": what the package checker found in the open package, a finding a line with the
// summary under them. Double-clicking a finding that has a map point (or Enter on it) shows the
// point on the map.
class PackageCheckDialog : public QDialog {
 public:
  PackageCheckDialog(QWidget* owner, const std::string& packageName,
                     const Result<PackageReport>& report, std::function<void(QPoint)> showPoint);
};

// "About CorvaneMap": the program's name and version.
class AboutDialog : public QDialog {
 public:
  explicit AboutDialog(QWidget* owner);
};

}  // namespace mw
