// From a payment order to a 2019 ISO credit transfer transaction: the account, the
// reference and the currency decide what kind of payment it is, as the bank decides it;
// addresses are worked out from the texts the caller set; every refusal, cut and note
// is reported at its place in the batch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "iso2019/iso2019_text.h"
#include "iso2019/iso2019_writer.h"
#include "records/records.h"

namespace ordexa {

enum class Iso2019Kind : std::uint8_t { kDomestic, kForeignAtHome, kSepa, kAbroad, kCheque };
enum class Iso2019Charges : std::uint8_t { kNone, kDebt, kCred, kShar, kSlev };
enum class Iso2019Reference : std::uint8_t { kNone, kQrr, kScor };

// A postal address as the document carries it: document texts, cut to their elements.
struct Iso2019Address {
  Iso2019Text street_name, building_number, post_box, post_code, town, line;
  std::string country;
  // Town and country are known: the address is written.
  bool complete() const { return !town.empty() && !country.empty(); }
};

// One transaction, everything the document needs of it. Texts are document texts (1252,
// after the flavour's character replacements), ready to be escaped; the names, address
// parts and remittance text mostly view the batch's own texts, so the batch outlives it.
struct Iso2019Transaction {
  Iso2019Kind kind = Iso2019Kind::kDomestic;
  Iso2019Charges charges = Iso2019Charges::kNone;
  bool salary = false;
  std::int64_t amount = 0;  // ten-thousandths
  std::string currency;     // three capitals
  int decimals = 2;         // the currency's
  int year = 0, month = 0, day = 0;

  // What the debtor fields and the day were last resolved from, so the next payment of
  // the same account or day need not resolve them again.
  bool debtor_resolved = false;
  std::uint32_t debtor_generation = 0;  // counts the resolutions of the debtor fields
  std::string debtor_account_text, debtor_bic_text;
  bool date_resolved = false;
  DATE date_value = 0.0;

  std::string debtor_iban;
  std::string debtor_bic;       // set: the debtor agent is given by BIC
  std::string debtor_clearing;  // else by Swiss clearing number (IBAN positions 5 to 9)

  Iso2019Text creditor_name;
  Iso2019Address creditor_address;
  bool creditor_address_written = false;
  std::string creditor_iban;   // one of these two, or neither for a cheque
  std::string creditor_other;

  std::string agent_bic;       // the creditor agent: by BIC,
  std::string agent_clearing;  // by Swiss clearing number (an other account at a Swiss bank),
  Iso2019Text agent_name;      // or by name and address; none of them: no creditor agent
  Iso2019Address agent_address;

  Iso2019Reference reference_kind = Iso2019Reference::kNone;
  std::string reference;
  Iso2019Text remittance;  // Ustrd without a reference, AddtlRmtInf with one
};

// What every payment of a batch shares: the flavour, the day of writing, the settings.
struct Iso2019Batch {
  // What a pass over the payments needs: every finding (the check); the refusals, kinds
  // and amounts only (planning a write: no texts that nothing refuses); or the texts of
  // payments the plan found clean (writing: their checks are not repeated).
  enum class Pass : std::uint8_t { kCheck, kPlan, kWrite };
  Pass pass = Pass::kCheck;
  bool swiss = true;
  int today_year = 0, today_month = 0, today_day = 0;
  std::string batch_currency;  // the currency of payments without their own
  bool settings_salary = false;
};

// Collects findings; with no list it only remembers the first refusal (for the message
// of a refused write) and whether the current payment was refused.
class Iso2019Findings {
 public:
  explicit Iso2019Findings(std::vector<Iso2019Finding>* list) : list_(list) {}

  void SetPayment(std::size_t payment) { payment_ = payment; }
  bool refused() const { return refused_; }
  void ClearRefused() { refused_ = false; }
  bool collecting() const { return list_ != nullptr; }
  // The first refusal since construction; its kind is kNote while there was none.
  const Iso2019Finding& first_refusal() const { return first_refusal_; }
  bool any_refused() const { return first_refusal_.kind == Iso2019FindingKind::kRefusal; }

  // `text` is English in UTF-8, `reason` German in 1252.
  void Refuse(std::string_view key, std::string_view subkey, std::string text, std::string reason);
  void Note(std::string_view key, std::string_view subkey, std::string text);
  // A text cut to `length` characters in `element`; both texts 1252.
  void Cut(std::string_view key, std::string_view subkey, std::string_view given, std::string_view written,
           std::size_t length, std::string_view element);

 private:
  std::vector<Iso2019Finding>* list_;
  std::size_t payment_ = Iso2019Finding::kNoPayment;
  bool refused_ = false;
  Iso2019Finding first_refusal_{Iso2019FindingKind::kNote, Iso2019Finding::kNoPayment, {}, {}, {}, {}};
};

// ResolveIso2019Payment()
// Fills `transaction` from the payment `index` (from 0) of `data` and reports each
// refusal, cut and note to `findings`. Returns false when the payment is refused; the
// transaction is then incomplete. Throws only std::bad_alloc.
bool ResolveIso2019Payment(const PayBatch& data, std::size_t index, const Iso2019Batch& batch,
                           Iso2019Transaction& transaction, Iso2019Findings& findings);

// Iso2019CurrencyDecimals(): the decimals of a currency's amounts (JPY and KRW none;
// BHD, JOD, KWD, OMR and TND three; every other code two).
int Iso2019CurrencyDecimals(std::string_view currency);

// FormatIso2019Amount(): ten-thousandths as a decimal text with exactly `decimals`
// decimals (0 to 4), cut, not rounded; the caller has refused amounts that need more.
// Example: FormatIso2019Amount(12345000, 2) == "1234.50".
std::string FormatIso2019Amount(std::uint64_t amount, int decimals);
// FormatIso2019AmountInto(): the same into `out`, room for kIso2019AmountLength
// characters; returns the end of the text.
inline constexpr std::size_t kIso2019AmountLength = 26;
char* FormatIso2019AmountInto(char* out, std::uint64_t amount, int decimals);

// PostFinanceIban(): the IBAN of a Swiss postal account given as its nine digits.
// Example: PostFinanceIban("250097798") == "CH6309000000250097798".
std::string PostFinanceIban(std::string_view nine_digits);
// PostFinanceIbanInto(): the same into `iban`, whose room is reused.
void PostFinanceIbanInto(std::string_view nine_digits, std::string& iban);

// IsQrIban(): a CH or LI IBAN whose bank identification (positions 5 to 9) lies in
// 30000 to 31999: it takes only QR references.
bool IsQrIban(std::string_view iban);

// IsQrReference(): 27 digits whose last is the modulo 10 recursive check digit of the others.
bool IsQrReference(std::string_view reference);

// IsCreditorReference(): "RF", two check digits and 1 to 21 letters or digits, remainder
// 1 on division by 97 with the first four characters moved to the end (ISO 11649).
// Example: IsCreditorReference("RF18539007547034") is true.
bool IsCreditorReference(std::string_view reference);

// IsBic(): 8 or 11 characters: four letters or digits, two letters (the country), two
// letters or digits, optionally three more.
bool IsBic(std::string_view bic);

}  // namespace ordexa
