// Identifier, character-set, reference, currency and payment-kind rules of the 2019 ISO file.
#include "tools/inspect/iso2019_rules.h"

#include <algorithm>
#include <array>

#include "format/iban.h"
#include "format/post_account.h"

namespace ordexa::inspect {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool AllDigits(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit); }

std::string Quote(std::string_view text) {
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  return quoted;
}

// The code point starting at `at` of valid UTF-8 (libxml2 gives no other), and its length.
char32_t DecodeAt(std::string_view text, std::size_t at, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(at + i < text.size() ? text[at + i] : 0); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    length = 1;
    return lead;
  }
  length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  char32_t code = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
  for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (byte(i) & 0x3F);
  return code;
}

bool InSwissSet(char32_t c) {
  if (c >= 0x20 && c <= 0x7E) return true;
  // Latin-1 Supplement and Latin Extended-A without the soft hyphen, a format character.
  if (c >= 0xA0 && c <= 0x17F) return c != 0xAD;
  return c == 0x20AC || (c >= 0x218 && c <= 0x21B);
}

}  // namespace

std::optional<std::string> IdentifierProblem(std::string_view id) {
  static constexpr std::string_view kPunctuation = " '()+,-./:?";
  for (std::size_t at = 0; at < id.size();) {
    std::size_t length = 1;
    DecodeAt(id, at, length);
    const char c = id[at];
    if (length != 1 ||
        !(IsDigit(c) || IsUpper(c) || (c >= 'a' && c <= 'z') || kPunctuation.find(c) != std::string_view::npos)) {
      return Quote(id) + " holds " + Quote(id.substr(at, length)) +
             "; an identifier holds only A-Z a-z 0-9, blank and ' ( ) + , - . / : ?";
    }
    at += length;
  }
  if (id.size() > 35)
    return Quote(id) + " has " + std::to_string(id.size()) + " characters; an identifier has at most 35";
  if (id.starts_with(' ') || id.starts_with('/'))
    return Quote(id) + " starts with a blank or \"/\", which banks refuse";
  if (id.ends_with(' ') || id.ends_with('/')) return Quote(id) + " ends with a blank or \"/\", which banks refuse";
  if (id.find("//") != std::string_view::npos) return Quote(id) + " holds \"//\", which banks refuse in an identifier";
  return std::nullopt;
}

std::optional<std::string> FirstOutsideSwissSet(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = 1;
    const char32_t c = DecodeAt(text, at, length);
    if (!InSwissSet(c)) return std::string(text.substr(at, length));
    at += length;
  }
  return std::nullopt;
}

std::size_t CodePointCount(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool IsQrIban(std::string_view iban) {
  if (iban.size() != 21 || !IsDomesticIbanCountry(iban) || !AllDigits(iban.substr(4, 5))) return false;
  const int iid = std::stoi(std::string(iban.substr(4, 5)));
  return iid >= 30000 && iid <= 31999;
}

std::optional<std::string> QrReferenceProblem(std::string_view reference) {
  if (reference.size() != 27 || !AllDigits(reference)) {
    return Quote(reference) + " is not a QR reference (27 digits)";
  }
  const char expected = CheckDigitMod10(reference.substr(0, 26));
  if (reference.back() != expected) {
    return Quote(reference) + " is not a valid QR reference (check digit " + expected + " expected)";
  }
  return std::nullopt;
}

std::optional<std::string> CreditorReferenceProblem(std::string_view reference) {
  const bool shaped =
      reference.size() >= 5 && reference.size() <= 25 && reference.starts_with("RF") &&
      AllDigits(reference.substr(2, 2)) &&
      std::all_of(reference.begin() + 4, reference.end(), [](char c) { return IsDigit(c) || IsUpper(c); });
  if (!shaped) {
    return Quote(reference) + " is not a creditor reference (RF, two check digits, 1 to 21 capital letters or digits)";
  }
  if (const int remainder = Mod97OfRotated(reference); remainder != 1) {
    return Quote(reference) + " is not a valid creditor reference (check sum remainder " + std::to_string(remainder) +
           ", 1 expected)";
  }
  return std::nullopt;
}

int CurrencyDecimals(std::string_view currency) {
  static constexpr std::array<std::string_view, 2> kNone = {"JPY", "KRW"};
  static constexpr std::array<std::string_view, 5> kThree = {"BHD", "JOD", "KWD", "OMR", "TND"};
  if (std::find(kNone.begin(), kNone.end(), currency) != kNone.end()) return 0;
  if (std::find(kThree.begin(), kThree.end(), currency) != kThree.end()) return 3;
  return 2;
}

int Decimals(std::string_view amount) {
  const std::size_t point = amount.find('.');
  return point == std::string_view::npos ? 0 : static_cast<int>(amount.size() - point - 1);
}

bool IsSepaCountry(std::string_view country) {
  static constexpr std::array<std::string_view, 41> kSepa = {
      "AT", "BE", "BG", "CY", "CZ", "DE", "DK", "EE", "ES", "FI", "FR", "GR", "HR", "HU",
      "IE", "IT", "LT", "LU", "LV", "MT", "NL", "PL", "PT", "RO", "SE", "SI", "SK", "IS",
      "NO", "LI", "CH", "GB", "MC", "SM", "VA", "AD", "GI", "AL", "MD", "ME", "MK"};
  return std::find(kSepa.begin(), kSepa.end(), country) != kSepa.end();
}

const char* PaymentKindName(PaymentKind kind) {
  switch (kind) {
    case PaymentKind::kDomestic:
      return "domestic";
    case PaymentKind::kForeignCurrencyAtHome:
      return "foreign currency at home";
    case PaymentKind::kSepa:
      return "SEPA";
    case PaymentKind::kAbroad:
      return "abroad";
    case PaymentKind::kCheque:
      return "cheque";
  }
  return "abroad";
}

PaymentKind DecidePaymentKind(const PaymentFacts& facts) {
  if (facts.cheque) return PaymentKind::kCheque;
  const bool swiss_iban = IsDomesticIbanCountry(facts.iban);
  if (facts.currency == "EUR" && !facts.iban.empty() &&
      (facts.sepa_requested || (!swiss_iban && IsSepaCountry(facts.iban.substr(0, 2))))) {
    return PaymentKind::kSepa;
  }
  if (swiss_iban || (facts.iban.empty() && facts.swiss_clearing)) {
    return facts.currency == "CHF" || facts.currency == "EUR" ? PaymentKind::kDomestic
                                                              : PaymentKind::kForeignCurrencyAtHome;
  }
  return PaymentKind::kAbroad;
}

}  // namespace ordexa::inspect
