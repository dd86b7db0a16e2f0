#pragma once
// How the running app keeps its resident memory down between checks. A check
// fills the heap from several worker threads (scans, feeds, parsing) and
// frees nearly all of it at the end; the C library keeps those freed pages
// and one arena per busy thread unless asked. Both calls are cheap and change
// no behaviour; where the C library offers neither, they do nothing.
namespace larkvale::HeapUse {

// Caps the number of malloc arenas, so that the check's worker threads share
// a couple instead of keeping one each. Call once, early, on the main thread.
void limitArenas();

// Hands the heap's free pages back to the system.
void releaseFreePages();

}  // namespace larkvale::HeapUse
