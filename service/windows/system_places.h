#pragma once
// Where Windows keeps what the gateway reads, and how it speaks to the
// console it was started from.
#include <string>

namespace service {

// %ProgramData%\Velmoria\velmoria-service.conf, which the installer writes,
// in the ANSI code page as the C runtime opens files;
// empty when the folder is not known.
std::string DefaultConfigPath();

// Standard output and error to the console of the program that started
// this one, if it has one and they lead nowhere yet (a WIN32 program gets
// none of its own).
void UseParentConsole();

}  // namespace service
