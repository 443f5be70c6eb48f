// The exports of ksthid_api.h that pull KSTHID_SIMULATE's virtual boards out
// and plug them back in.
#include "environment_transport.h"
#include "ksthid_api.h"
#include "virtual/virtual_transport.h"

namespace ksthid {
namespace {

int changeVirtualBoard(const char* path, void (VirtualTransport::*change)(const std::string&)) {
  if (!path) return KSTHID_E_INVALID_ARGUMENT;
  VirtualTransport* boards = environmentSimulatedBoards();
  if (!boards || !boards->has(path)) return KSTHID_E_NOT_FOUND;
  (boards->*change)(path);
  return 0;
}

}  // namespace
}  // namespace ksthid

extern "C" {

KSTHID_EXPORT int ksthid_virtual_unplug(const char* path) {
  return ksthid::changeVirtualBoard(path, &ksthid::VirtualTransport::unplug);
}

KSTHID_EXPORT int ksthid_virtual_plug_in(const char* path) {
  return ksthid::changeVirtualBoard(path, &ksthid::VirtualTransport::plugIn);
}

}  // extern "C"
