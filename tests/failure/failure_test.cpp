// Tests of the failure objects' message texts and raise funnels.
#include "failure/failure.h"

#include <gtest/gtest.h>

#include <string>

namespace ordexa {
namespace {

MPayError Raised(void (*raise)()) {
  try {
    raise();
  } catch (const MPayError& error) {
    return error;
  }
  return MPayError(0, {});
}

TEST(MPayError, FormatsTheStringTableMessages) {
  const std::string create = "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x";
  const std::string write = "Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x";
  const std::string long_name = "/data/" + std::string(10000, 'x') + ".dta";
  const std::tuple<MPayError, std::uint16_t, std::string> cases[] = {
      {Raised([] { RaiseCreateFileError(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), "C:\\pay\\lohn\xE4.dta"); }), 2001,
       "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x80070003\n\nC:\\pay\\lohn\xE4.dta"},
      {MPayError(IDS_CREATE_FILE_ERROR, {0x80070005u, std::string_view(long_name)}), 2001,
       create + "80070005\n\n" + long_name},
      {Raised([] { RaiseWriteFileError(HRESULT_FROM_WIN32(ERROR_DISK_FULL)); }), 2002, write + "80070070"},
      {MPayError(IDS_WRITE_FILE_ERROR, {0x5u}), 2002, write + "5"},
      {MPayError(IDS_INTERNAL_ERROR, {std::string_view("Liste")}), 2000,
       "Ein interner Programmfehler ist aufgetreten.\nListe"},
      {MPayError(1999, {std::string_view("no string")}), 1999, ""},
  };
  for (const auto& [error, id, text] : cases) {
    EXPECT_EQ(id, error.id());
    EXPECT_EQ(text, error.text()) << id;
  }
}

}  // namespace
}  // namespace ordexa
