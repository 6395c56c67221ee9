#include "service/windows/single_instance.h"

#include "service/windows/instance_names.h"

namespace service {

SingleInstance::SingleInstance() : mutex_(::CreateMutexW(nullptr, FALSE, kServiceMutexName)) {
    first_ = mutex_ != nullptr && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace service
