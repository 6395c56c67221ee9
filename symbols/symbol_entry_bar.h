#pragma once
// The one-line bar in which the user edits a text, here the symbol list: a
// prompt, an edit field, OK and Cancel, laid over or under its owner and as
// wide. It knows nothing of symbols: it is given a text and hands one back.
#include <string>

#include "app/dialog_object.h"
#include "app/message_table.h"
#include "platform/platform.h"
#include "symbols/entry_bar_layout.h"

namespace symbols {

inline constexpr int kEntryBarTemplate = 202;
inline constexpr int kEditField = 204;
inline constexpr int kPromptControl = 207;
inline constexpr const char* kSymbolsPrompt = "Symbols:";

class SymbolEntryBar final : public app::DialogObject {
public:
    SymbolEntryBar(platform::Platform& platform, std::string entryText, std::string promptText);

    bool HandleMessage(const app::Message& message, platform::ProcResult& result, int table) override;

    // Shown in the edit field at the start; the field's text after OK.
    std::string entryText;
    std::string promptText;

private:
    using Row = app::MessageRow<SymbolEntryBar>;
    static const Row kMessageTable[];

    platform::ProcResult OnInitDialog(const app::Message& message);
    // Moved to a monitor of another DPI: laid out again for it, in place of
    // the platform's own rescaling of the template.
    platform::ProcResult OnDpiChanged(const app::Message& message);
    // The texts are set only at the start: the user may be typing later.
    void LayOut(bool setTexts);
    platform::ProcResult OnCancel(const app::Message& message);
    platform::ProcResult OnOk(const app::Message& message);

    // The prompt's width, measured on a fresh context of the prompt control.
    std::int32_t MeasurePrompt();
    void Place(int control, const Placement& placement);
};

}  // namespace symbols
