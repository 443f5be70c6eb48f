#include "standard_resistors_dialog.h"

#include <commctrl.h>

#include <string>

#include "resource_ids.h"
#include "text_conversion.h"

namespace {

struct Choice {
  const StandardResistorsList& list;
  std::optional<StandardPair> pair;
};

void addColumns(HWND table) {
  for (std::size_t column = 0; column < kStandardResistorsColumns.size(); ++column) {
    std::wstring title = widen(kStandardResistorsColumns[column]);
    LVCOLUMNW header{};
    header.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM;
    // The first column of a list view is always left-aligned; the figures are right-aligned.
    header.fmt = column == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
    header.pszText = title.data();
    header.iSubItem = static_cast<int>(column);
    ListView_InsertColumn(table, static_cast<int>(column), &header);
  }
}

void addRows(HWND table, const StandardResistorsList& list) {
  for (std::size_t row = 0; row < list.size(); ++row) {
    const StandardResistorsList::RowTexts texts = list.rowTexts(row);
    for (std::size_t column = 0; column < texts.size(); ++column) {
      std::wstring text = widen(texts[column]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.iSubItem = static_cast<int>(column);
      item.pszText = text.data();
      if (column == 0) {
        ListView_InsertItem(table, &item);
      } else {
        SendMessageW(table, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
      }
    }
  }
  for (std::size_t column = 0; column < kStandardResistorsColumns.size(); ++column) {
    ListView_SetColumnWidth(table, static_cast<int>(column), LVSCW_AUTOSIZE_USEHEADER);
  }
}

void fill(HWND dialog, const StandardResistorsList& list) {
  SetWindowTextW(dialog, widen(kStandardResistorsTitle).c_str());
  SetDlgItemTextW(dialog, IDC_STANDARD_RESISTORS_HEADING, widen(list.heading()).c_str());
  HWND table = GetDlgItem(dialog, IDC_STANDARD_RESISTORS_LIST);
  ListView_SetExtendedListViewStyle(table, LVS_EX_FULLROWSELECT);
  addColumns(table);
  addRows(table, list);
  if (!list.empty()) {
    const UINT selected = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(table, 0, selected, selected);
  }
  EnableWindow(GetDlgItem(dialog, IDOK), !list.empty());
  SetFocus(table);
}

void choose(HWND dialog, Choice& choice, int row) {
  choice.pair = choice.list.pairAt(row);
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    fill(dialog, reinterpret_cast<Choice*>(lParam)->list);
    // The focus is set: the list has it.
    return FALSE;
  }
  auto* choice = reinterpret_cast<Choice*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!choice) return FALSE;
  HWND table = GetDlgItem(dialog, IDC_STANDARD_RESISTORS_LIST);
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        choose(dialog, *choice, ListView_GetNextItem(table, -1, LVNI_SELECTED));
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
      }
      return TRUE;
    case WM_NOTIFY: {
      const auto* activation = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
      if (activation->hdr.hwndFrom == table && activation->hdr.code == NM_DBLCLK &&
          activation->iItem >= 0) {
        choose(dialog, *choice, activation->iItem);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

std::optional<StandardPair> chooseStandardPair(HINSTANCE instance, HWND owner,
                                               const StandardResistorsList& list) {
  Choice choice{list, std::nullopt};
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_STANDARD_RESISTORS), owner, &dialogProc,
                  reinterpret_cast<LPARAM>(&choice));
  return choice.pair;
}
