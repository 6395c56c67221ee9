#pragma once
// The names by which one running gateway is found: the installer and
// `--stop` look for its window, a second start for its mutex.
namespace service {

// The hidden window whose WM_CLOSE stops the gateway.
const wchar_t* const kServiceWindowClass = L"VelmoriaServiceWindow";
// Global\, so that one gateway runs on the machine, whoever signed in.
const wchar_t* const kServiceMutexName = L"Global\\VelmoriaService";

}  // namespace service
