#pragma once
// The words that follow a status code on the status line.
namespace service {

// "Error" for a code without a phrase of its own.
const char* ReasonPhrase(int status);

}  // namespace service
