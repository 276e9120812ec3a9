#pragma once
#include <optional>
#include <string>
#include <vector>

#include "tools/quirnctl/Workspace.h"

namespace quirn::ctl {

using Words = std::vector<std::string>;

// "message NAME ARGS": the bytes of one command as its class builds them, or an error line.
std::optional<std::string> buildMessage(Workspace& ws, const Words& words, std::string& bytes);

// True when the message needs no database (so it also works without a working folder).
bool messageNeedsNoDatabase(const std::string& name);

}  // namespace quirn::ctl
