#pragma once
// Threads as the logic sees them: the caller's identity, starting one, and
// a lock (the window framework's creation lock; the bar shares none with
// its workers, see ticker/handover.h).
#include <cstdint>
#include <memory>

namespace platform {

// A thread's body; its result is the thread's exit code.
using ThreadEntry = std::uint32_t (*)(void* argument);

class Threads {
public:
    virtual ~Threads() = default;
    virtual std::uint32_t GetCurrentThreadId() = 0;
    // CreateThread with the default stack and no flags, the thread taking
    // `priority` (SetThreadPriority) before `entry` runs. No handle is kept:
    // the thread's bookkeeping goes when it returns. False when no thread
    // could be made; `entry` then never runs.
    virtual bool StartThread(int priority, ThreadEntry entry, void* argument) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// A critical section. Each back end supplies the implementation; the
// logic only locks and unlocks it through CriticalSectionLock.
class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter();
    void Leave();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~CriticalSectionLock() { section_.Leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& section_;
};

}  // namespace platform
