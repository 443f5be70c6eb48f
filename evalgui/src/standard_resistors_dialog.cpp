#include "standard_resistors_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>
#include <utility>

namespace {

constexpr int kVoltageDecimals = 3;
constexpr int kMillivoltDecimals = 1;
constexpr int kPercentDecimals = 2;
// Standard values have three significant digits.
constexpr int kResistorDigits = 3;
constexpr double kPrefixStep = 1000;

const QStringList kColumnTitles{"Series",      "R1 (ohm)",   "R2 (ohm)", "VOUTmax (V)",
                                "VOUTmin (V)", "Error (mV)", "Error (%)"};

}  // namespace

StandardResistorsDialog::StandardResistorsDialog(const WantedRange& wanted, const QLocale& locale,
                                                 QWidget* parent)
    : QDialog(parent),
      numbers_(locale),
      locale_(locale),
      pairs_(nearestStandardPairs(wanted)),
      table_(new QTableWidget(0, static_cast<int>(kColumnTitles.size()), this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
  setWindowTitle(QStringLiteral("Standard resistors"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(wantedText(wanted), this));
  layout->addWidget(table_);
  layout->addWidget(buttons_);

  fillTable();
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!pairs_.empty());
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
}

std::optional<StandardPair> StandardResistorsDialog::chosenPair() const {
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(pairs_.size())) return std::nullopt;
  return pairs_[static_cast<std::size_t>(row)];
}

QString StandardResistorsDialog::wantedText(const WantedRange& wanted) const {
  if (pairs_.empty()) return QStringLiteral("No standard resistors give this range.");
  return QStringLiteral("Nearest pairs for VOUTmax %1 V to VOUTmin %2 V at AVDD %3 V, Rset %4 ohm:")
      .arg(QString::fromStdString(numbers_.fixed(wanted.voutMax, kVoltageDecimals)),
           QString::fromStdString(numbers_.fixed(wanted.voutMin, kVoltageDecimals)),
           QString::fromStdString(numbers_.general(wanted.avdd)),
           QString::fromStdString(numbers_.general(wanted.rset)));
}

void StandardResistorsDialog::fillTable() {
  table_->setHorizontalHeaderLabels(kColumnTitles);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setRowCount(static_cast<int>(pairs_.size()));
  for (int row = 0; row < table_->rowCount(); ++row) {
    const StandardPair& pair = pairs_[static_cast<std::size_t>(row)];
    const std::array texts{
        QString::fromLatin1(seriesName(pair.series)),
        resistorText(pair.r1),
        resistorText(pair.r2),
        QString::fromStdString(numbers_.fixed(pair.voutMax, kVoltageDecimals)),
        QString::fromStdString(numbers_.fixed(pair.voutMin, kVoltageDecimals)),
        QString::fromStdString(numbers_.fixed(pair.errorMillivolts, kMillivoltDecimals)),
        QString::fromStdString(numbers_.fixed(pair.errorPercent, kPercentDecimals))};
    for (int column = 0; column < static_cast<int>(texts.size()); ++column) {
      auto* item = new QTableWidgetItem(texts[static_cast<std::size_t>(column)]);
      item->setTextAlignment(column == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(row, column, item);
    }
  }
  table_->resizeColumnsToContents();
  // The list is short: the dialog shows it whole, without scrolling.
  table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  if (!pairs_.empty()) table_->selectRow(0);
}

// As resistors are marked: 470, 4.7k, 24.9k, 1.02M.
QString StandardResistorsDialog::resistorText(double ohms) const {
  static constexpr std::array kPrefixes{"", "k", "M"};
  std::size_t prefix = 0;
  while (ohms >= kPrefixStep && prefix + 1 < kPrefixes.size()) {
    ohms /= kPrefixStep;
    ++prefix;
  }
  return locale_.toString(ohms, 'g', kResistorDigits) + QLatin1String(kPrefixes[prefix]);
}
