#pragma once

// Time stamps of a connection's phases, for the connect benchmark (bench/connect-phases.sh).
// With RDP_PHASE_STAMPS=1 in the environment every stamp writes one line to stderr:
//
//   rdp-phase NAME MS REALTIME_NS
//
// MS is monotonic milliseconds since the "enter" stamp (the login window's Enter; the first
// stamp of the process when there was none), REALTIME_NS the wall clock, which lines the
// stamp up with outside measurements. Without the variable a stamp costs one test of a flag.
// Safe on any thread.
namespace rdp {

void StampPhase(const char* name);

} // namespace rdp
