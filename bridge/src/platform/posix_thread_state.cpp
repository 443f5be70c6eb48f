// Each thread's library state lives as long as the thread: when the thread
// ends, the boards it opened are closed.
#include "connection.h"
#include "library_state.h"

namespace ksthid {
namespace {

struct ThreadState {
  ~ThreadState() { closeBoards(state); }
  LibraryState state;
};

}  // namespace

LibraryState& libraryState() {
  thread_local ThreadState threadState;
  return threadState.state;
}

}  // namespace ksthid
