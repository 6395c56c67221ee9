#pragma once
// The claim of being the one gateway on this machine: a named mutex held
// for as long as the object lives.
#include "service/windows/owned_handle.h"

namespace service {

class SingleInstance {
public:
    SingleInstance();

    // False when another gateway holds the claim (or made it under another
    // user, whose mutex this one may not open).
    bool IsFirst() const { return first_; }

private:
    OwnedHandle mutex_;
    bool first_ = false;
};

}  // namespace service
