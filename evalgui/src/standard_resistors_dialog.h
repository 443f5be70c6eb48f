#pragma once

#include <QDialog>
#include <QLocale>

#include <optional>

#include "locale_numbers.h"
#include "standard_resistors_list.h"

class QDialogButtonBox;
class QTableWidget;

// "Standard resistors": the pairs of standard R1 and R2 nearest to a wanted range, best first, for
// the user to choose one by a double-click or OK.
class StandardResistorsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit StandardResistorsDialog(const WantedRange& wanted, const QLocale& locale = QLocale(),
                                   QWidget* parent = nullptr);

  // The pair on the chosen row; none when the list is empty.
  std::optional<StandardPair> chosenPair() const;

 private:
  void fillTable();

  LocaleNumbers numbers_;
  StandardResistorsList list_;
  QTableWidget* table_;
  QDialogButtonBox* buttons_;
};
