#pragma once
// Threads as the logic sees them: the caller's identity and a lock.
#include <cstdint>
#include <memory>

namespace platform {

class Threads {
public:
    virtual ~Threads() = default;
    virtual std::uint32_t GetCurrentThreadId() = 0;
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
