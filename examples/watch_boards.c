/* Prints each bridge board that arrives or leaves, until EVENTS have been
 * seen (without end when not given). With a virtual board's path it first
 * pulls that board out and plugs it back in, to show both events without
 * hardware.
 *
 *   ./watch_boards                      # plug boards in and out
 *   KSTHID_SIMULATE=1 ./watch_boards 2 sim:0 */
#include <ksthid_api.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  const long events = argc > 1 ? strtol(argv[1], NULL, 10) : -1;
  ksthid_monitor* monitor = NULL;
  long seen;
  int result = ksthid_monitor_open(&monitor);
  if (result != 0) {
    fprintf(stderr, "watch_boards: %s\n", ksthid_strerror(result));
    return 1;
  }
  if (argc > 2) {
    ksthid_virtual_unplug(argv[2]);
    ksthid_virtual_plug_in(argv[2]);
  }
  for (seen = 0; events < 0 || seen < events; ++seen) {
    struct ksthid_board_info* info = NULL;
    int event = 0;
    result = ksthid_monitor_next(monitor, 10000, &event, &info);
    if (result <= 0) break;
    printf("%s %s %s\n", event == KSTHID_ARRIVED ? "arrived" : "left", info->path, info->serial);
    fflush(stdout);
    ksthid_free_enumeration(info);
  }
  ksthid_monitor_close(monitor);
  return result < 0 ? 1 : 0;
}
