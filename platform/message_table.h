// The component's string table: the message formats of the failures it raises.
#pragma once

#include <cstdint>
#include <string>

namespace ordexa {

inline constexpr std::uint16_t IDS_INTERNAL_ERROR = 2000;
inline constexpr std::uint16_t IDS_CREATE_FILE_ERROR = 2001;
inline constexpr std::uint16_t IDS_WRITE_FILE_ERROR = 2002;
// The 2019 ISO file refuses one payment ("%s" its number from 1, "%s" the reason) or the batch.
inline constexpr std::uint16_t IDS_ISO2019_PAYMENT_REFUSED = 2003;
inline constexpr std::uint16_t IDS_ISO2019_BATCH_REFUSED = 2004;

// LoadMessageFormat()
// LoadString() of the component's string table: the format of message `id` as 1252 text
// ("\n" is one line feed), or the empty text for an id without a string.
// Example: LoadMessageFormat(2002) starts with "Ein Fehler beim schreiben".
std::string LoadMessageFormat(std::uint16_t id);

}  // namespace ordexa
