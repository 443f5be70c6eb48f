#include "standard_resistors_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest/QtTest>

#include <utility>

#include "qt_test_main.h"

namespace {

constexpr WantedRange kStartUpRange{.avdd = 18, .rset = 10000, .voutMax = 11.002, .voutMin = 9.637};
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QTableWidget& table(StandardResistorsDialog& dialog) {
  return *dialog.findChild<QTableWidget*>();
}

QStringList rowTexts(QTableWidget& table, int row) {
  QStringList texts;
  for (int column = 0; column < table.columnCount(); ++column) {
    texts.append(table.item(row, column)->text());
  }
  return texts;
}

QPushButton& button(StandardResistorsDialog& dialog, QDialogButtonBox::StandardButton which) {
  return *dialog.findChild<QDialogButtonBox*>()->button(which);
}

}  // namespace

class StandardResistorsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void listsThePairsBestFirstInTheLocalesNotation() {
    StandardResistorsDialog english(kStartUpRange, kEnglish);
    QCOMPARE(english.windowTitle(), QStringLiteral("Standard resistors"));
    QVERIFY(table(english).rowCount() >= 6);
    QCOMPARE(rowTexts(table(english), 0),
             QStringList({"E96", "24.9k", "39.2k", "11.002", "9.637", "0.4", "0.03"}));
    QCOMPARE(table(english).currentRow(), 0);

    StandardResistorsDialog german(kStartUpRange, QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(rowTexts(table(german), 0),
             QStringList({"E96", "24,9k", "39,2k", "11,002", "9,637", "0,4", "0,03"}));
  }

  void okReturnsTheSelectedPair() {
    StandardResistorsDialog dialog(kStartUpRange, kEnglish);
    dialog.show();
    table(dialog).selectRow(1);
    QTest::mouseClick(&button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const auto pair = dialog.chosenPair();
    QVERIFY(pair.has_value());
    const StandardPair second = nearestStandardPairs(kStartUpRange)[1];
    QCOMPARE(std::pair(pair->r1, pair->r2), std::pair(second.r1, second.r2));
  }

  void aDoubleClickChoosesItsRow() {
    StandardResistorsDialog dialog(kStartUpRange, kEnglish);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTableWidget& list = table(dialog);
    const QPoint thirdRow = list.visualItemRect(list.item(2, 0)).center();
    // A double-click as a mouse delivers it: the first click, then the second.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, thirdRow);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, thirdRow);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(list.currentRow(), 2);
    const StandardPair third = nearestStandardPairs(kStartUpRange)[2];
    QCOMPARE(std::pair(dialog.chosenPair()->r1, dialog.chosenPair()->r2),
             std::pair(third.r1, third.r2));
  }

  void aRangeNoResistorsGiveOffersNothingToChoose() {
    StandardResistorsDialog dialog({.avdd = 18, .rset = 10000, .voutMax = 9, .voutMin = 10},
                                   kEnglish);
    QCOMPARE(table(dialog).rowCount(), 0);
    QVERIFY(!button(dialog, QDialogButtonBox::Ok).isEnabled());
    QVERIFY(!dialog.chosenPair().has_value());
    QVERIFY(dialog.findChild<QLabel*>()->text().startsWith("No standard resistors"));
  }
};

QV6180_TEST_MAIN(StandardResistorsDialogTest)
#include "standard_resistors_dialog_test.moc"
