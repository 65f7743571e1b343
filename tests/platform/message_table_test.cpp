// The Linux string table against the Windows one: the string resources that ordexa.dll
// carries (com/ordexa.rc.in) must hold exactly the formats the Linux build formats with.
#include "platform/message_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace ordexa {
namespace {

// The STRINGTABLE entries of a resource script: id and text, with the resource compiler's
// escapes \n, \t, \\ and "" undone.
std::map<int, std::string> StringTableOf(const std::string& script) {
  std::map<int, std::string> table;
  const std::size_t begin = script.find("STRINGTABLE");
  const std::size_t end = script.find("\nEND", begin);
  if (begin == std::string::npos || end == std::string::npos) return table;
  const std::string block = script.substr(begin, end - begin);
  const std::regex entry(R"re(\n\s*(\d+)\s+"((?:[^"]|"")*)")re");
  for (auto it = std::sregex_iterator(block.begin(), block.end(), entry); it != std::sregex_iterator(); ++it) {
    const std::string raw = (*it)[2];
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"') {
        text.push_back('"');
        ++i;
      } else if (raw[i] == '\\' && i + 1 < raw.size()) {
        const char escaped = raw[++i];
        text.push_back(escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped);
      } else {
        text.push_back(raw[i]);
      }
    }
    table[std::stoi((*it)[1])] = text;
  }
  return table;
}

TEST(MessageTable, HoldsTheFormatsOfTheWindowsStringTable) {
  const auto script_path = std::filesystem::path(__FILE__).parent_path() / "../../com/ordexa.rc.in";
  std::ifstream in(script_path, std::ios::binary);
  ASSERT_TRUE(in) << script_path;
  std::ostringstream script;
  script << in.rdbuf();
  const std::map<int, std::string> windows = StringTableOf(script.str());

  ASSERT_EQ(5u, windows.size());
  for (const std::uint16_t id : {IDS_INTERNAL_ERROR, IDS_CREATE_FILE_ERROR, IDS_WRITE_FILE_ERROR,
                                 IDS_ISO2019_PAYMENT_REFUSED, IDS_ISO2019_BATCH_REFUSED}) {
    ASSERT_EQ(1u, windows.count(id)) << id;
    EXPECT_EQ(windows.at(id), LoadMessageFormat(id)) << id;
  }
  EXPECT_EQ("", LoadMessageFormat(2005));
}

}  // namespace
}  // namespace ordexa
