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

// The fields warnings name, by format and record, with the characters each holds.
inline constexpr FileField kDtaAmount{"DTA", "amount", 12};                      // TA 826, 827
inline constexpr FileField kDtaIbanAmount{"DTA", "amount", 15};                  // TA 836
inline constexpr FileField kDtaTotal{"DTA", "total", 16};                        // TA 890
inline constexpr FileField kDtaDate{"DTA", "date", 6};
inline constexpr FileField kDtaSenderId{"DTA", "sender identification", 5};      // settings.DtaID
inline constexpr FileField kDtaReference{"DTA", "reference", 5};                 // settings.DtaID_Sender
inline constexpr FileField kDtaOrderingBank{"DTA", "ordering bank clearing number", 7};
inline constexpr FileField kDtaDebitAccount{"DTA", "debit account", 24};
inline constexpr FileField kDtaBankClearing{"DTA", "bank clearing number", 12};  // TA 827, payRedBank
inline constexpr FileField kDtaBeneficiaryAccount{"DTA", "beneficiary account", 27};
inline constexpr FileField kDtaEsrParticipant{"DTA", "ESR participant number", 9};
inline constexpr FileField kDtaEsr15Reference{"DTA", "reference number", 15};    // TA 826, payESR15
inline constexpr FileField kDtaEsrReference{"DTA", "reference number", 27};      // TA 826, payESR16, payESR17
inline constexpr FileField kDtaEsrAddressLine{"DTA", "address line", 20};        // TA 826
inline constexpr FileField kDtaAddressLine{"DTA", "address line", 24};           // TA 827
inline constexpr FileField kDtaIbanAddressLine{"DTA", "address line", 35};       // TA 836
inline constexpr FileField kDtaEsrSenderLine{"DTA", "ordering party line", 20};  // TA 826
inline constexpr FileField kDtaSenderLine{"DTA", "ordering party line", 24};     // TA 827
inline constexpr FileField kDtaIbanSenderLine{"DTA", "ordering party line", 35}; // TA 836
inline constexpr FileField kDtaReason{"DTA", "reason", 112};                     // TA 827
inline constexpr FileField kDtaIbanReason{"DTA", "reason", 35};                  // TA 836
inline constexpr FileField kDtaCurrency{"DTA", "currency", 3};                   // TA 836
inline constexpr FileField kDtaBeneficiaryBank{"DTA", "beneficiary bank line", 35};
inline constexpr FileField kEzagAmount{"EZAG", "amount", 13};
inline constexpr FileField kEzagTotal{"EZAG", "total", 13};
inline constexpr FileField kEzagDate{"EZAG", "date", 6};
inline constexpr FileField kEzagDebitAccount{"EZAG", "debit account", 9};
inline constexpr FileField kEzagPostAccount{"EZAG", "postal account", 9};        // types 22, 28
inline constexpr FileField kEzagReference{"EZAG", "reference number", 27};
inline constexpr FileField kEzagAccount{"EZAG", "account", 35};
inline constexpr FileField kEzagBic{"EZAG", "BIC", 15};
inline constexpr FileField kEzagReceiverLine{"EZAG", "receiver line", 35};
inline constexpr FileField kEzagPostcode{"EZAG", "postcode", 10};
inline constexpr FileField kEzagPlace{"EZAG", "place", 25};
inline constexpr FileField kEzagReason{"EZAG", "reason", 140};
inline constexpr FileField kIsoExecutionDate{"ISO", "execution date", 0};
inline constexpr FileField kIsoAmount{"ISO", "amount", 0};

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

// ""000000000000000000000012345" is not a valid ESR reference number (check digit 7 expected); the bank
// refuses the payment"; for the empty text "is empty where the EZAG ESR reference number is needed; ..."
std::string NotAnEsrReference(std::string_view written, std::string_view why, std::string_view format);

// ""eur" is not a currency code (three capital letters); the EZAG file carries it as given"
std::string NotACurrencyCode(std::string_view text, std::string_view format);

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

// What the file carries differently from the batch, or not at all.

// "EUR is not written; the 2009 ISO file pays every payment in the batch currency CHF"
// (a value shown as it is: a currency, a date).
std::string ValueNotWritten(std::string_view value, std::string_view why);

// ""21000000000313947143000901" is not written; the 2009 ISO file carries no ESR reference number"
std::string TextNotWritten(std::string_view text, std::string_view why);

// "-12.50 is negative; the DTA amount field (12 characters) gets "-12,50", which no bank takes"
std::string NegativeAmountWritten(std::int64_t amount, const FileField& field, std::string_view written);

// "1234.5678 has more than two decimals; the DTA amount field (12 characters) gets "1234,57""
std::string AmountRounded(std::int64_t amount, const FileField& field, std::string_view written);

// "2023-03-15 is before the day of writing (2026-12-06); written as it is: the bank executes
// it at once or refuses it"
std::string DateBeforeToday(DATE date, DATE today);

// ""Weiß" is written as "WEI ": the DTA character set has no "ß"" (why: after the colon)
std::string TextWrittenAs(std::string_view text, std::string_view written, std::string_view why);

// ""80331 München" gives the 2009 ISO file the country CH, but Receiver.Country is DE: put the
// country in front of the postcode, as "DE-80331 München""
std::string CountryNotTheReceivers(std::string_view city, std::string_view written, std::string_view country,
                                   std::string_view told_by);

// ""CH93 0076 2011 6238 5295 8" is not a valid IBAN ...; the 2019 ISO writer refuses the batch"
// (the text of the 2019 writer's refusal, with what it means for the file)
std::string Iso2019Refusal(std::string_view text);

}  // namespace ordexa::payfile
