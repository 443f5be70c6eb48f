#include "standard_resistors_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

StandardResistorsDialog::StandardResistorsDialog(const WantedRange& wanted, const QLocale& locale,
                                                 QWidget* parent)
    : QDialog(parent),
      numbers_(locale),
      list_(wanted, numbers_),
      table_(new QTableWidget(0, static_cast<int>(kStandardResistorsColumns.size()), this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
  setWindowTitle(QString::fromUtf8(kStandardResistorsTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromStdString(list_.heading()), this));
  layout->addWidget(table_);
  layout->addWidget(buttons_);

  fillTable();
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!list_.empty());
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
}

std::optional<StandardPair> StandardResistorsDialog::chosenPair() const {
  return list_.pairAt(table_->currentRow());
}

void StandardResistorsDialog::fillTable() {
  QStringList titles;
  for (const char* title : kStandardResistorsColumns) titles.append(QString::fromUtf8(title));
  table_->setHorizontalHeaderLabels(titles);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setRowCount(static_cast<int>(list_.size()));
  for (int row = 0; row < table_->rowCount(); ++row) {
    const StandardResistorsList::RowTexts texts = list_.rowTexts(static_cast<std::size_t>(row));
    for (int column = 0; column < static_cast<int>(texts.size()); ++column) {
      auto* item =
          new QTableWidgetItem(QString::fromStdString(texts[static_cast<std::size_t>(column)]));
      item->setTextAlignment(column == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(row, column, item);
    }
  }
  table_->resizeColumnsToContents();
  // The list is short: the dialog shows it whole, without scrolling.
  table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  if (!list_.empty()) table_->selectRow(0);
}
