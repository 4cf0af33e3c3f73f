// Helpers of the site-file reader shared by its parts.
#pragma once

#include <string>
#include <string_view>

namespace kestrova {

// text in double quotes for a message: control characters shown as "?",
// cut after 40 characters.
std::string QuotedForMessage(std::string_view text);

} // namespace kestrova
