// Tests of the failure objects' message texts.
#include "model/failure/failure.h"

#include <gtest/gtest.h>

#include <string>

namespace ordexa {
namespace {

TEST(MPayError, CreateFileErrorHasFourLines) {
  const MPayError error(IDS_CREATE_FILE_ERROR, {0x80070005u, std::string_view("C:\\pay\\lohn\xE4.dta")});
  EXPECT_EQ(2001, error.id());
  EXPECT_EQ(
      "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\n"
      "Status = 0x80070005\n"
      "\n"
      "C:\\pay\\lohn\xE4.dta",
      error.text());
}

TEST(MPayError, WriteFileErrorShowsTheStatusInUpperCaseHex) {
  EXPECT_EQ("Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x80070070",
            MPayError(IDS_WRITE_FILE_ERROR, {0x80070070u}).text());
  EXPECT_EQ("Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x5",
            MPayError(IDS_WRITE_FILE_ERROR, {0x5u}).text());
  EXPECT_EQ("Ein interner Programmfehler ist aufgetreten.\nListe",
            MPayError(IDS_INTERNAL_ERROR, {std::string_view("Liste")}).text());
}

TEST(MPayError, FormatsALongFileNameInFull) {
  const std::string name = "/data/" + std::string(10000, 'x') + ".dta";
  const MPayError error(IDS_CREATE_FILE_ERROR, {0x80070003u, std::string_view(name)});
  const std::string expected =
      "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x80070003\n\n" + name;
  EXPECT_EQ(expected, error.text());
}

TEST(MPayError, AnIdWithoutAStringGivesAnEmptyText) {
  EXPECT_EQ("", MPayError(1999, {std::string_view("ignored")}).text());
  EXPECT_EQ("", LoadMessageFormat(2003));
}

TEST(RaiseCreateFileError, ThrowsMPayError2001WithTheStatusAndName) {
  try {
    RaiseCreateFileError(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), "out\\pay.dta");
    FAIL() << "nothing raised";
  } catch (const MPayError& error) {
    EXPECT_EQ(IDS_CREATE_FILE_ERROR, error.id());
    EXPECT_EQ(
        "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x80070003\n\nout\\pay.dta",
        error.text());
  }
}

TEST(RaiseWriteFileError, ThrowsMPayError2002WithTheStatus) {
  try {
    RaiseWriteFileError(HRESULT_FROM_WIN32(ERROR_DISK_FULL));
    FAIL() << "nothing raised";
  } catch (const MPayError& error) {
    EXPECT_EQ(IDS_WRITE_FILE_ERROR, error.id());
    EXPECT_EQ("Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x80070070", error.text());
  }
}

}  // namespace
}  // namespace ordexa
