// Helpers of the ISO writer tests: expected documents from indented listings, reading
// files back, and what a call raised.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "model/failure/failure.h"

namespace ordexa::test {

// Expected bytes from a listing of lines "<level><text>": "3<NbOfTxs>1</NbOfTxs>" is
// three TABs, the element and CR LF. Empty listing lines are skipped.
inline std::string Lines(std::string_view listing) {
  std::string bytes;
  while (!listing.empty()) {
    const std::size_t end = std::min(listing.find('\n'), listing.size());
    const std::string_view line = listing.substr(0, end);
    listing.remove_prefix(std::min(end + 1, listing.size()));
    if (line.empty()) continue;
    bytes.append(static_cast<std::size_t>(line[0] - '0'), '\t');
    bytes.append(line.substr(1));
    bytes.append("\r\n");
  }
  return bytes;
}

// The whole content of a file, or nothing when it does not exist.
inline std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// What a call raised: "none", "number <n>" (the ISO writer's plain numbers) or
// "hresult 0x<hr>" (CAtlException).
inline std::string Raised(const std::function<void()>& call) {
  try {
    call();
  } catch (std::int32_t number) {
    return "number " + std::to_string(number);
  } catch (const CAtlException& failure) {
    char text[32];
    std::snprintf(text, sizeof text, "hresult 0x%08X", static_cast<unsigned>(failure.hr()));
    return text;
  }
  return "none";
}

}  // namespace ordexa::test
