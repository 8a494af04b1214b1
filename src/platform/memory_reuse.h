#pragma once

namespace kelvane {

// Has the C library keep the memory the program frees for its next allocations
// instead of handing it back to the system at once. A run takes and frees buffers
// of about an archive's size for every archive (a horse register is 1.7 MB), and
// each one handed back was mapped and faulted in anew for the next archive: blocks
// up to 8 MiB come from the heap, and up to 64 MiB free at its top stays there.
// The peak is what it was; only what follows it is not given back.
void KeepFreedMemoryForReuse();

}  // namespace kelvane
