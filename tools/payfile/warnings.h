// The warnings about a batch: what a payment file format will cut, shift or leave empty
// and what the bank or the ISO schema will refuse. One catalogue of wordings and of the
// file fields they name, so that every command says the same thing the same way. Texts
// passed in are UTF-8; nothing here needs the batch reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "oleauto.h"

namespace ordexa::payfile {

// A field of a payment file as warnings name it: "the DTA amount field (12 characters)".
struct FileField {
  std::string_view format;  // "DTA", "EZAG", "ISO"
  std::string_view name;    // "amount", "reason", ...
  std::size_t width;        // characters the field holds; 0 for fields without a fixed width
};

// Places in the batch, spelled as the batch file's keys (batch.h).
// PaymentPlace(3, "Amount") == "payments[3].Amount";
// PaymentPlace(3, "BankDst", "Account") == "payments[3].BankDst.Account";
// SettingPlace("Sender", "Name1") == "settings.Sender.Name1".
std::string PaymentPlace(std::size_t index, std::string_view key, std::string_view subkey = {});
std::string SettingPlace(std::string_view key, std::string_view subkey = {});
inline constexpr std::string_view kPaymentsPlace = "payments";
inline constexpr std::string_view kPeriodPlace = "--period";

// WarningLine(): "<source>: <place>: <text>", the one line a warning is printed as.
std::string WarningLine(std::string_view source_name, std::string_view place, std::string_view text);

// AmountValueText(): an amount as a person writes it: "-1234.50", "0.0049" (two to four
// decimals, a point, no separators).
std::string AmountValueText(std::int64_t amount);

// DateValueText(): a date as the batch could spell it: "2024-06-25", "2024-06-25T18:00:00",
// or the number ("1e+300") when it is no calendar date.
std::string DateValueText(DATE date);

// The wordings. Each returns the text after the place; `written` is what the file gets.

// "99999999999999.99 does not fit the DTA amount field (12 characters); written as "99999999999999,""
std::string AmountDoesNotFit(std::int64_t amount, const FileField& field, std::string_view written);

// "the sum of the amounts, 99999999999999999.99, does not fit the DTA total field (16 characters);
// written as "...""  (place: payments)
std::string TotalDoesNotFit(std::int64_t total, const FileField& field, std::string_view written);

// "99999999999.995 does not fit the EZAG amount field (13 characters); the EZAG writer refuses the file"
std::string AmountRefused(std::int64_t amount, const FileField& field);

// "the sum of the amounts, 100000000000.00, does not fit the EZAG total field (13 characters);
// the EZAG writer refuses the file"  (place: payments)
std::string TotalRefused(std::int64_t total, const FileField& field);

// "the sum of the amounts leaves the range of currency values; the total is written wrapped around"
std::string TotalOverflows();

// "-12.50 is negative; the ISO schema accepts no negative amount"
std::string NegativeAmount(std::int64_t amount);

// "2105-03-01 is outside the years 1900 to 2099 that the DTA date field (6 characters) holds;
// written as "1050301", which shifts the rest of the record"
std::string DateOutsideYears(DATE date, const FileField& field, int first_year, int last_year,
                             std::string_view written, bool shifts);

// "50 is before 9 April 1900 and counts as not given; the DTA date field gets the day of writing"
std::string DateTakenAsToday(DATE date, const FileField& field);

// "not given; the ISO execution date is written as 1899-12-30, a day long past"
std::string ExecutionDateNotGiven();

// ""CH93 0076" is not a valid IBAN; the DTA IBAN field is written empty" (consequence given);
// for the empty text "is empty where an IBAN is needed; ..."
std::string NotAnIban(std::string_view text, std::string_view consequence);

// ""01-162-9" is not a valid postal account (check digit 8 expected); written as "010001629"";
// for the empty text "is empty where a postal account is needed; the field is written blank"
std::string NotAPostalAccount(std::string_view text, std::string_view why, std::string_view written);

// "payForeign payments get no DTA record; only the amount counts in the total"
std::string NoRecordForKind(std::int32_t pay_type, std::string_view format);

// ""Lohn März 2023 für Grenzgänger" is cut to the DTA reason field (35 characters): written as "LOHN ...""
std::string TextCut(std::string_view text, const FileField& field, std::string_view written);

// ""EUR1" is not 3 characters long; the EZAG record grows by 1 character" (or shrinks)
std::string RecordLengthChanges(std::string_view text, std::string_view format, std::ptrdiff_t change);

// ""Zürich" has no postcode in front of the place; the EZAG postcode and place fields stay empty"
std::string NoPostcode(std::string_view city);

// "is empty; the ISO schema refuses the empty <Nm> element"
std::string EmptyForSchema(std::string_view element);

// "is empty for the foreign IBAN DE89370400440532013000; the ISO schema refuses the empty <BIC> element"
std::string EmptyBicForForeignIban(std::string_view iban);

// "is not used for payManual payments in an EUR batch: the ISO file gets an empty <BIC> element,
// which the schema refuses"
std::string EmptyBicInEuroBatch(std::int32_t pay_type);

// ""..." has 80 characters; the Swiss ISO schema allows at most 70 in <Nm>"
std::string TooLongForSchema(std::string_view text, std::size_t length, std::string_view flavour,
                             std::size_t limit, std::string_view element);

// ""Lohn € Juni" has "€", outside the character set of the Swiss ISO schema (<Ustrd>)"
std::string OutsideSwissCharacters(std::string_view text, std::string_view character, std::string_view element);

// "written as <Ctry>BERN</Ctry>, which is no two-letter country code: put the postcode in
// front of the place, as "3000 Bern""
std::string NotACountryCode(std::string_view written);

// "written as <BIC>BANKCH</BIC>, which is not a BIC the ISO schema accepts"
std::string NotABic(std::string_view written);

// ""ch93 0076 2011" is written as the debtor <IBAN>CH93 0076 2011</IBAN>, which the ISO schema
// refuses: give the IBAN without blanks"
std::string NotADebtorIban(std::string_view text, std::string_view written);

}  // namespace ordexa::payfile
