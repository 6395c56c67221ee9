#pragma once
// Memory freed after a large answer, given back to the system.

namespace service {

// Answers from this size on are followed by ReturnFreedMemory.
constexpr unsigned long kLargeAnswerBytes = 256 * 1024;

// glibc keeps what was freed in each thread's heap for later use, so one
// large or hostile answer would hold the resident size up for good; this
// hands the free pages back. Nothing where the C library has no such call.
void ReturnFreedMemory();

// glibc raises its threshold for giving a block its own mapping each time
// such a block is freed; after one large answer, blocks of that size come
// from the threads' heaps and stay there. A fixed threshold keeps each of
// them a mapping of its own, unmapped as soon as it is freed. Called once,
// before any thread fetches.
void KeepLargeBlocksApart();

}  // namespace service
