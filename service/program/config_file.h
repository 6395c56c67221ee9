#pragma once
// The settings file: one `name=value` line for each long option and its
// value, as on the command line without the dashes (`source=chart,finnhub`,
// `key=finnhub=KEY`, `cache-seconds=120`). Blank lines and lines starting
// with `#` or `;` are skipped; blanks around the name and the value are
// dropped; lines may end with CR LF. A line that is not
// a setting, or names no option, or holds a value the option refuses is
// reported by its number (never by its text, which may hold a key) and
// left out, so that one bad line leaves the rest in force.
#include <string>
#include <vector>

namespace service {

struct ConfigArguments {
    std::vector<std::string> arguments;  // "--name=value", in the file's order
    std::vector<std::string> problems;   // "line 3: ...", one for each line left out
};

ConfigArguments ReadConfigText(const std::string& text);

// The command line's own --config FILE (or --config=FILE), taken out of it.
struct ConfigChoice {
    std::vector<std::string> otherArguments;
    std::string path;  // empty when none was given
    std::string error;
};
ConfigChoice TakeConfigOption(const std::vector<std::string>& arguments);

}  // namespace service
