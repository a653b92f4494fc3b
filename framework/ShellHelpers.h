#pragma once

#include <string>

namespace VelkUtility {

// Hands a web address, a mailto: link or a document to the shell's "open" verb. True when
// the shell accepted it.
bool OpenDocument(std::string target);

// A task-modal Yes/No question; true only for Yes.
bool AskYesNo(std::string text, std::string caption);

} // namespace VelkUtility
