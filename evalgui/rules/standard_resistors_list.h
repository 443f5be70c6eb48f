#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "number_text.h"
#include "standard_resistors.h"

// File > "Standard resistors...": the dialog's title, its heading, and the texts of its rows,
// without a toolkit. A front end draws the rows in a table of kStandardResistorsColumns and, when
// the user chooses a row, passes its pair to EvalWindow::useResistors.
inline constexpr const char* kStandardResistorsTitle = "Standard resistors";
inline constexpr std::array<const char*, 7> kStandardResistorsColumns{
    "Series", "R1 (ohm)", "R2 (ohm)", "VOUTmax (V)", "VOUTmin (V)", "Error (mV)", "Error (%)"};

class StandardResistorsList {
 public:
  using RowTexts = std::array<std::string, kStandardResistorsColumns.size()>;

  // `numbers` writes the values in the user's notation and must outlive the list.
  StandardResistorsList(const WantedRange& wanted, const NumberText& numbers);

  // The line above the table: the wanted range, or that no pair gives it.
  const std::string& heading() const { return heading_; }
  std::size_t size() const { return pairs_.size(); }
  bool empty() const { return pairs_.empty(); }
  // The texts of a row, column by column; the pairs are listed best first.
  RowTexts rowTexts(std::size_t row) const;
  // The pair on a row; none for a row outside the list (nothing chosen).
  std::optional<StandardPair> pairAt(int row) const;

 private:
  std::string resistorText(double ohms) const;

  const NumberText& numbers_;
  std::vector<StandardPair> pairs_;
  std::string heading_;
};
