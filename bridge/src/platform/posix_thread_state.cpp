// Each thread's library state lives as long as the thread: when the thread
// ends, the boards it opened are closed with it.
#include "library_state.h"

namespace ksthid {

LibraryState& libraryState() {
  thread_local LibraryState state;
  return state;
}

}  // namespace ksthid
