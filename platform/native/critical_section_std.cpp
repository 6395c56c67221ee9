// The lock of the native build.
#include <mutex>

#include "platform/threads.h"

namespace platform {

struct CriticalSection::Impl {
    std::recursive_mutex mutex;  // a critical section may be re-entered by its owner
};

CriticalSection::CriticalSection() : impl_(new Impl) {}
CriticalSection::~CriticalSection() = default;
void CriticalSection::Enter() { impl_->mutex.lock(); }
void CriticalSection::Leave() { impl_->mutex.unlock(); }

}  // namespace platform
