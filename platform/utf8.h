// UTF-16 to UTF-8 and back, for texts the platform keeps outside the process (registry
// file, module paths). Unpaired surrogates and malformed bytes become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace ordexa {

// Utf16ToUtf8(): Example: Utf16ToUtf8(u"Z\u00FCrich") == "Z\xC3\xBCrich".
std::string Utf16ToUtf8(std::u16string_view text);
// Utf8ToUtf16(): Example: Utf8ToUtf16("Z\xC3\xBCrich") == u"Z\u00FCrich".
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace ordexa
