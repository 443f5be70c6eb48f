#include "library_state.h"

#include "environment_transport.h"

namespace ksthid {
namespace {

Transport* replacement = nullptr;

}  // namespace

Transport& transport() {
  return replacement ? *replacement : environmentTransport();
}

void useTransport(Transport* transport) {
  replacement = transport;
  libraryState() = LibraryState{};
}

}  // namespace ksthid
