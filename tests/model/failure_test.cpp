// Tests of the failure objects' message texts.
#include "model/failure/failure.h"

#include <gtest/gtest.h>

#include <string>

namespace ordexa {
namespace {

TEST(MPayError, FormatsTheStringTableMessages) {
  const std::string long_name = "/data/" + std::string(10000, 'x') + ".dta";
  const std::pair<MPayError, std::string> cases[] = {
      {MPayError(IDS_CREATE_FILE_ERROR, {0x80070005u, std::string_view("C:\\pay\\lohn\xE4.dta")}),
       "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\n"
       "Status = 0x80070005\n"
       "\n"
       "C:\\pay\\lohn\xE4.dta"},
      {MPayError(IDS_CREATE_FILE_ERROR, {0x80070003u, std::string_view(long_name)}),
       "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x80070003\n\n" + long_name},
      {MPayError(IDS_WRITE_FILE_ERROR, {0x80070070u}),
       "Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x80070070"},
      {MPayError(IDS_WRITE_FILE_ERROR, {0x5u}), "Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x5"},
      {MPayError(IDS_INTERNAL_ERROR, {std::string_view("Liste")}), "Ein interner Programmfehler ist aufgetreten.\nListe"},
      {MPayError(1999, {std::string_view("no string")}), ""},
  };
  for (const auto& [error, expected] : cases) EXPECT_EQ(expected, error.text()) << error.id();
}

TEST(MPayError, RaiseFunnelsThrowTheirIdAndStatus) {
  try {
    RaiseCreateFileError(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), "out\\pay.dta");
    ADD_FAILURE() << "nothing raised";
  } catch (const MPayError& error) {
    EXPECT_EQ(IDS_CREATE_FILE_ERROR, error.id());
    EXPECT_EQ("Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x80070003\n\nout\\pay.dta",
              error.text());
  }
  try {
    RaiseWriteFileError(HRESULT_FROM_WIN32(ERROR_DISK_FULL));
    ADD_FAILURE() << "nothing raised";
  } catch (const MPayError& error) {
    EXPECT_EQ(IDS_WRITE_FILE_ERROR, error.id());
    EXPECT_EQ("Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x80070070", error.text());
  }
}

}  // namespace
}  // namespace ordexa
