#pragma once
// The registry calls of the settings, one virtual per Win32 call. Status
// codes are the Win32 error numbers (0 is success).
#include <cstdint>

#include "platform/types.h"

namespace platform {

enum class RegistryRoot { LocalMachine, CurrentUser };

class Registry {
public:
    virtual ~Registry() = default;

    // RegOpenKeyA: opens an existing key only.
    virtual long OpenKey(RegistryRoot root, const char* path, RegKeyHandle& key) = 0;
    // RegCreateKeyA: opens the key or creates it.
    virtual long CreateKey(RegistryRoot root, const char* path, RegKeyHandle& key) = 0;
    // RegQueryValueExA: type and size are in/out; data may be null to learn the size.
    virtual long QueryValue(RegKeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) = 0;
    virtual long SetValue(RegKeyHandle key, const char* name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) = 0;
    virtual long CloseKey(RegKeyHandle key) = 0;
};

}  // namespace platform
