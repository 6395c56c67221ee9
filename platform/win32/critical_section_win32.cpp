#include "platform/win32/win32_api.h"

#include "platform/threads.h"

namespace platform {

struct CriticalSection::Impl {
    CRITICAL_SECTION section;
};

CriticalSection::CriticalSection() : impl_(new Impl) { ::InitializeCriticalSection(&impl_->section); }
CriticalSection::~CriticalSection() { ::DeleteCriticalSection(&impl_->section); }
void CriticalSection::Enter() { ::EnterCriticalSection(&impl_->section); }
void CriticalSection::Leave() { ::LeaveCriticalSection(&impl_->section); }

}  // namespace platform
