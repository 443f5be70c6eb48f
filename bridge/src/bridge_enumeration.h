// The bridges present, as ksthid_enumerate lists them and ksthid_open and
// the monitors find them.
#pragma once

#include <string>
#include <vector>

#include "ksthid_api.h"
#include "transport.h"

namespace ksthid {

struct BridgeEntry {
  std::string path;
  std::string serialNumber;
  std::string product;
  HidAttributes attributes;
  // 0, or the KSTHID_E_* code that opening it gives, and why.
  int error = 0;
  std::string errorText;
};

// Every bridge the transport has, in its order, those that cannot be opened
// included, then those a driver of the system has claimed. Devices that are
// known to be no bridge are never opened.
std::vector<BridgeEntry> findBridges(Transport& transport);

// The entries as a list for ksthid_free_enumeration; null when there are
// none or no memory is left.
ksthid_board_info* makeInfoList(std::vector<BridgeEntry> entries);

// Frees a list of makeInfoList, the strings its entries point to with it.
void freeInfoList(ksthid_board_info* list);

}  // namespace ksthid
