#pragma once

namespace Heap {
// Hands the memory freed since the last call back to the system. The allocator keeps freed
// blocks for reuse, so windows that were built, shown and deleted would otherwise stay in the
// resident figure of a program that sits in the tray for days.
void ReturnFreed();
}
