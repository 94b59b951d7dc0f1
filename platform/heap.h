#pragma once

namespace Heap {
// Gives every block of 64 KiB or more a mapping of its own, returned to the system the moment it
// is freed. The allocator otherwise raises that threshold each time such a block is freed, after
// which pictures, window buffers and font tables come from the heap and leave holes in it that
// trimming cannot give back. Called first thing in main.
void KeepLargeBlocksApart();

// Hands the memory freed since the last call back to the system. The allocator keeps freed
// blocks for reuse, so windows that were built, shown and deleted would otherwise stay in the
// resident figure of a program that sits in the tray for days.
void ReturnFreed();
}
