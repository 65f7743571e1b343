// The warning wordings.
#include "tools/payfile/warnings.h"

#include <charconv>
#include <cstdio>

#include "format/amount.h"
#include "ordexa_enums.h"

namespace ordexa::payfile {
namespace {

constexpr AmountFormat kFourDecimalsFormat{0, '.', 4, 0};

std::string Quote(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string FieldText(const FileField& field) {
  std::string text = "the " + std::string(field.format) + " " + std::string(field.name) + " field";
  if (field.width != 0) text += " (" + std::to_string(field.width) + " characters)";
  return text;
}

std::string KindName(std::int32_t pay_type) {
  if (pay_type >= 0 && pay_type < static_cast<std::int32_t>(std::size(kPayTypesNames))) {
    return std::string(kPayTypesNames[pay_type]);
  }
  return "PayType " + std::to_string(pay_type);
}

std::string Characters(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " character" : " characters");
}

}  // namespace

std::string PaymentPlace(std::size_t index, std::string_view key, std::string_view subkey) {
  std::string place = "payments[" + std::to_string(index) + "]." + std::string(key);
  if (!subkey.empty()) place += "." + std::string(subkey);
  return place;
}

std::string SettingPlace(std::string_view key, std::string_view subkey) {
  std::string place = "settings." + std::string(key);
  if (!subkey.empty()) place += "." + std::string(subkey);
  return place;
}

std::string WarningLine(std::string_view source_name, std::string_view place, std::string_view text) {
  return std::string(source_name) + ": " + std::string(place) + ": " + std::string(text);
}

std::string AmountValueText(std::int64_t amount) {
  std::string text = FormatAmount(amount, &kFourDecimalsFormat);
  // Four decimals, then the zeros beyond the second taken off: 12.5000 -> 12.50.
  while (text.size() > 3 && text.back() == '0' && text[text.size() - 3] != '.') text.pop_back();
  return text;
}

std::string DateValueText(DATE date) {
  SYSTEMTIME time;
  if (VariantTimeToSystemTime(date, &time)) {
    char text[64];
    if (time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0) {
      std::snprintf(text, sizeof text, "%04u-%02u-%02u", time.wYear, time.wMonth, time.wDay);
    } else {
      std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
                    time.wHour, time.wMinute, time.wSecond);
    }
    return text;
  }
  char number[64];
  const auto result = std::to_chars(number, number + sizeof number, date);
  return std::string(number, result.ptr);
}

std::string AmountDoesNotFit(std::int64_t amount, const FileField& field, std::string_view written) {
  return AmountValueText(amount) + " does not fit " + FieldText(field) + "; written as " + Quote(written);
}

std::string TotalDoesNotFit(std::int64_t total, const FileField& field, std::string_view written) {
  return "the sum of the amounts, " + AmountValueText(total) + ", does not fit " + FieldText(field) +
         "; written as " + Quote(written);
}

std::string AmountRefused(std::int64_t amount, const FileField& field) {
  return AmountValueText(amount) + " does not fit " + FieldText(field) + "; the " + std::string(field.format) +
         " writer refuses the file";
}

std::string TotalRefused(std::int64_t total, const FileField& field) {
  return "the sum of the amounts, " + AmountValueText(total) + ", does not fit " + FieldText(field) + "; the " +
         std::string(field.format) + " writer refuses the file";
}

std::string TotalOverflows() {
  return "the sum of the amounts leaves the range of currency values; the total is written wrapped around";
}

std::string NegativeAmount(std::int64_t amount) {
  return AmountValueText(amount) + " is negative; the ISO schema accepts no negative amount";
}

std::string DateOutsideYears(DATE date, const FileField& field, int first_year, int last_year,
                             std::string_view written, bool shifts) {
  std::string text = DateValueText(date) + " is outside the years " + std::to_string(first_year) + " to " +
                     std::to_string(last_year) + " that " + FieldText(field) + " holds; written as " + Quote(written);
  if (shifts) text += ", which shifts the rest of the record";
  return text;
}

std::string DateTakenAsToday(DATE date, const FileField& field) {
  return DateValueText(date) + " is before 9 April 1900 and counts as not given; " + FieldText(field) +
         " gets the day of writing";
}

std::string ExecutionDateNotGiven() {
  return "not given; the ISO execution date is written as 1899-12-30, a day long past";
}

std::string NotAnIban(std::string_view text, std::string_view consequence) {
  if (text.empty()) return "is empty where an IBAN is needed; " + std::string(consequence);
  return Quote(text) + " is not a valid IBAN; " + std::string(consequence);
}

std::string NotAPostalAccount(std::string_view text, std::string_view why, std::string_view written) {
  if (text.empty()) return "is empty where a postal account is needed; the field is written blank";
  return Quote(text) + " is not a valid postal account (" + std::string(why) + "); written as " + Quote(written);
}

std::string NotAnEsrReference(std::string_view written, std::string_view why, std::string_view format) {
  if (written.empty()) {
    return "is empty where the " + std::string(format) +
           " ESR reference number is needed; the bank refuses the payment";
  }
  return Quote(written) + " is not a valid ESR reference number (" + std::string(why) +
         "); the bank refuses the payment";
}

std::string NotACurrencyCode(std::string_view text, std::string_view format) {
  return Quote(text) + " is not a currency code (three capital letters); the " + std::string(format) +
         " file carries it as given";
}

std::string NoRecordForKind(std::int32_t pay_type, std::string_view format) {
  return KindName(pay_type) + " payments get no " + std::string(format) +
         " record; only the amount counts in the total";
}

std::string TextCut(std::string_view text, const FileField& field, std::string_view written) {
  return Quote(text) + " is cut to " + FieldText(field) + ": written as " + Quote(written);
}

std::string RecordLengthChanges(std::string_view text, std::string_view format, std::ptrdiff_t change) {
  const std::size_t size = static_cast<std::size_t>(change < 0 ? -change : change);
  return Quote(text) + " is not 3 characters long; the " + std::string(format) + " record " +
         (change > 0 ? "grows" : "shrinks") + " by " + Characters(size);
}

std::string NoPostcode(std::string_view city) {
  return Quote(city) + " has no postcode in front of the place; the EZAG postcode and place fields stay empty";
}

std::string EmptyForSchema(std::string_view element) {
  return "is empty; the ISO schema refuses the empty <" + std::string(element) + "> element";
}

std::string EmptyBicForForeignIban(std::string_view iban) {
  return "is empty for the foreign IBAN " + std::string(iban) + "; the ISO schema refuses the empty <BIC> element";
}

std::string EmptyBicInEuroBatch(std::int32_t pay_type) {
  return KindName(pay_type) +
         " payments in an EUR batch get an empty <BIC> element in the ISO file, which the schema refuses";
}

std::string TooLongForSchema(std::string_view text, std::size_t length, std::string_view flavour, std::size_t limit,
                             std::string_view element) {
  return Quote(text) + " has " + Characters(length) + "; the " + std::string(flavour) + " ISO schema allows at most " +
         std::to_string(limit) + " in <" + std::string(element) + ">";
}

std::string OutsideSwissCharacters(std::string_view text, std::string_view character, std::string_view element) {
  return Quote(text) + " has " + Quote(character) + ", outside the character set of the Swiss ISO schema (<" +
         std::string(element) + ">)";
}

std::string NotACountryCode(std::string_view written) {
  return "written as <Ctry>" + std::string(written) +
         "</Ctry>, which is no two-letter country code: put the postcode in front of the place, as \"3000 Bern\"";
}

std::string NotABic(std::string_view written) {
  return "written as <BIC>" + std::string(written) + "</BIC>, which is not a BIC the ISO schema accepts";
}

std::string NotADebtorIban(std::string_view text, std::string_view written) {
  return Quote(text) + " is written as the debtor <IBAN>" + std::string(written) +
         "</IBAN>, which the ISO schema refuses: give the IBAN without blanks";
}

std::string ValueNotWritten(std::string_view value, std::string_view why) {
  return std::string(value) + " is not written; " + std::string(why);
}

std::string TextNotWritten(std::string_view text, std::string_view why) {
  return ValueNotWritten(Quote(text), why);
}

std::string NegativeAmountWritten(std::int64_t amount, const FileField& field, std::string_view written) {
  return AmountValueText(amount) + " is negative; " + FieldText(field) + " gets " + Quote(written) +
         ", which no bank takes";
}

std::string AmountRounded(std::int64_t amount, const FileField& field, std::string_view written) {
  return AmountValueText(amount) + " has more than two decimals; " + FieldText(field) + " gets " + Quote(written);
}

std::string DateBeforeToday(DATE date, DATE today) {
  return DateValueText(date) + " is before the day of writing (" + DateValueText(today) +
         "); written as it is: the bank executes it at once or refuses it";
}

std::string TextWrittenAs(std::string_view text, std::string_view written, std::string_view why) {
  return Quote(text) + " is written as " + Quote(written) + ": " + std::string(why);
}

std::string CountryNotTheReceivers(std::string_view city, std::string_view written, std::string_view country,
                                   std::string_view told_by) {
  return Quote(city) + " gives the 2009 ISO file the country " + std::string(written) + ", but " +
         std::string(told_by) + " is " + std::string(country) +
         ": put the country in front of the postcode, as " + Quote(std::string(country) + "-" + std::string(city));
}

std::string Iso2019Refusal(std::string_view text) {
  return std::string(text) + "; the 2019 ISO writer refuses the batch";
}

}  // namespace ordexa::payfile
