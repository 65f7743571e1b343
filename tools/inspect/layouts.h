// The record layouts of the fixed-width formats: every field of every DTA segment and EZAG
// record with its position, width and the rule its content must follow. The listing and
// the checks both read these tables.
#pragma once

#include <span>
#include <string_view>

namespace ordexa::inspect {

// What a field must hold; the checks of each kind are in field_checks.h.
enum class FieldKind {
  kText,                 // free text, not checked
  kLiteral,              // exactly `expected`
  kChoice,               // one character out of `expected`
  kBlank,                // reserve: blanks only
  kZeros,                // zeros only
  kNumber,               // digits only
  kRecordType,           // DTA transaction type or EZAG record type
  kSequence,             // entry (DTA) or record (EZAG) sequence number
  kCount,                // number of payments (EZAG total record)
  kDate,                 // YYMMDD
  kDateOrZeros,          // YYMMDD, or 000000 where the format allows no date
  kDtaAmount,            // "1234,50", left-aligned
  kDtaTotal,             // the TA 890 total, same form
  kEzagAmount,           // 13 characters: integer part right-aligned in 11, two decimals
  kEzagTotal,            // the type 97 total, same form
  kCurrency,             // three capital letters
  kPostAccount,          // nine digits, the last the modulo 10 check digit of the first eight
  kPostAccountIfDigits,  // checked as a postal account when it holds nine digits
  kAccount,              // an IBAN (checked), a postal account in nine digits (checked) or other text
  kBeneficiaryAccount,   // as kAccount, but nine digits count as a postal account only without bank clearing number
  kIban,                 // an IBAN, blanks allowed; must not be empty
  kEsrReference,         // digits; 27 digits carry a modulo 10 check digit
  kClearingBlock,        // EZAG: blank, or "07", five-digit clearing number, two check digits
};

struct FieldLayout {
  std::string_view name;
  int pos;  // first character, counted from 1 within the segment or record
  int width;
  FieldKind kind = FieldKind::kText;
  std::string_view expected = {};  // kLiteral: the text; kChoice: the allowed characters
};

// A DTA segment, or the header or body of an EZAG record.
struct PartLayout {
  std::string_view label;  // "segment 01", "header", "body"
  std::span<const FieldLayout> fields;
};

// One kind of record: a DTA transaction type or an EZAG record type.
struct RecordLayout {
  std::string_view kind;  // "TA 827", "type 22"
  std::string_view code;  // the type as it stands in the record: "827", "22"
  std::span<const PartLayout> parts;
};

inline constexpr int kDtaSegmentLength = 128;
inline constexpr int kEzagRecordLength = 700;

// DtaLayout(): the layout of a transaction type ("826", "827", "836", "890"); a TA 827
// record with a fifth segment (trustee payment) has its own layout. Nothing for other types.
const RecordLayout* DtaLayout(std::string_view transaction_type, bool with_segment_05 = false);

// EzagHeaderLayout(): positions 1-50, shared by every EZAG record.
std::span<const FieldLayout> EzagHeaderLayout();

// EzagLayout(): the layout of a record type ("00", "22", "27", "28", "37", "97").
const RecordLayout* EzagLayout(std::string_view record_type);

}  // namespace ordexa::inspect
