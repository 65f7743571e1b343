// The DTA and EZAG record layouts as tables, one row per field.
#include "tools/inspect/layouts.h"

namespace ordexa::inspect {
namespace {

using K = FieldKind;

// ---- DTA: segment 01, the header every record shares, then the record's own fields.

constexpr FieldLayout kTa826Segment01[] = {
    {"segment number", 1, 2, K::kLiteral, "01"},
    {"processing date", 3, 6, K::kDate},
    {"clearing number of the beneficiary's bank", 9, 12, K::kBlank},
    {"output sequence number", 21, 5, K::kLiteral, "00000"},
    {"creation date", 26, 6, K::kDate},
    {"clearing number of the ordering party's bank", 32, 7, K::kText},
    {"data file sender identification", 39, 5, K::kText},
    {"entry sequence number", 44, 5, K::kSequence},
    {"transaction type", 49, 3, K::kRecordType},
    {"payment type", 52, 1, K::kChoice, "01"},
    {"processing flag", 53, 1, K::kLiteral, "0"},
    {"reference number", 54, 16, K::kText},
    {"account to be debited", 70, 24, K::kAccount},
    {"reserve", 94, 6, K::kBlank},
    {"currency", 100, 3, K::kLiteral, "CHF"},
    {"amount", 103, 12, K::kDtaAmount},
    {"reserve", 115, 14, K::kBlank},
};

constexpr FieldLayout kTa826Segment02[] = {
    {"segment number", 1, 2, K::kLiteral, "02"},
    {"ordering party line 1", 3, 20},
    {"ordering party line 2", 23, 20},
    {"ordering party line 3", 43, 20},
    {"ordering party line 4", 63, 20},
    {"reserve", 83, 46, K::kBlank},
};

constexpr FieldLayout kTa826Segment03[] = {
    {"segment number and account marker", 1, 5, K::kLiteral, "03/C/"},
    {"ESR participant number", 6, 9, K::kPostAccount},
    {"beneficiary line 1", 15, 20},
    {"beneficiary line 2", 35, 20},
    {"beneficiary line 3", 55, 20},
    {"beneficiary line 4", 75, 20},
    {"ESR reference number", 95, 27, K::kEsrReference},
    {"reserve", 122, 7, K::kBlank},
};

constexpr FieldLayout kTa827Segment01[] = {
    {"segment number", 1, 2, K::kLiteral, "01"},
    {"processing date", 3, 6, K::kDate},
    {"clearing number of the beneficiary's bank", 9, 12, K::kText},
    {"output sequence number", 21, 5, K::kLiteral, "00000"},
    {"creation date", 26, 6, K::kDate},
    {"clearing number of the ordering party's bank", 32, 7, K::kText},
    {"data file sender identification", 39, 5, K::kText},
    {"entry sequence number", 44, 5, K::kSequence},
    {"transaction type", 49, 3, K::kRecordType},
    {"payment type", 52, 1, K::kChoice, "01"},
    {"processing flag", 53, 1, K::kLiteral, "0"},
    {"reference number", 54, 16, K::kText},
    {"account to be debited", 70, 24, K::kAccount},
    {"reserve", 94, 6, K::kBlank},
    {"currency", 100, 3, K::kLiteral, "CHF"},
    {"amount", 103, 12, K::kDtaAmount},
    {"reserve", 115, 14, K::kBlank},
};

constexpr FieldLayout kTa827Segment02[] = {
    {"segment number", 1, 2, K::kLiteral, "02"},
    {"ordering party line 1", 3, 24},
    {"ordering party line 2", 27, 24},
    {"ordering party line 3", 51, 24},
    {"ordering party line 4", 75, 24},
    {"reserve", 99, 30, K::kBlank},
};

constexpr FieldLayout kTa827Segment03[] = {
    {"segment number and account marker", 1, 5, K::kLiteral, "03/C/"},
    {"beneficiary account", 6, 27, K::kBeneficiaryAccount},
    {"beneficiary line 1", 33, 24},
    {"beneficiary line 2", 57, 24},
    {"beneficiary line 3", 81, 24},
    {"beneficiary line 4", 105, 24},
};

constexpr FieldLayout kTa827Segment04[] = {
    {"segment number", 1, 2, K::kLiteral, "04"},
    {"payment reason", 3, 112},
    {"reserve", 115, 14, K::kBlank},
};

constexpr FieldLayout kTa827Segment05[] = {
    {"segment number and account marker", 1, 5, K::kLiteral, "05/C/"},
    {"final beneficiary account", 6, 27, K::kAccount},
    {"final beneficiary line 1", 33, 24},
    {"final beneficiary line 2", 57, 24},
    {"final beneficiary line 3", 81, 24},
    {"final beneficiary line 4", 105, 24},
};

constexpr FieldLayout kTa836Segment01[] = {
    {"segment number", 1, 2, K::kLiteral, "01"},
    {"processing date", 3, 6, K::kDateOrZeros},
    {"clearing number of the beneficiary's bank", 9, 12, K::kBlank},
    {"output sequence number", 21, 5, K::kLiteral, "00000"},
    {"creation date", 26, 6, K::kDate},
    {"clearing number of the ordering party's bank", 32, 7, K::kText},
    {"data file sender identification", 39, 5, K::kText},
    {"entry sequence number", 44, 5, K::kSequence},
    {"transaction type", 49, 3, K::kRecordType},
    {"payment type", 52, 1, K::kChoice, "01"},
    {"processing flag", 53, 1, K::kLiteral, "0"},
    {"reference number", 54, 16, K::kText},
    {"account to be debited", 70, 24, K::kAccount},
    {"value date", 94, 6, K::kDate},
    {"currency", 100, 3, K::kCurrency},
    {"amount", 103, 15, K::kDtaAmount},
    {"reserve", 118, 11, K::kBlank},
};

constexpr FieldLayout kTa836Segment02[] = {
    {"segment number", 1, 2, K::kLiteral, "02"},
    {"conversion rate", 3, 12},
    {"ordering party name", 15, 35},
    {"ordering party street", 50, 35},
    {"ordering party city", 85, 35},
    {"reserve", 120, 9, K::kBlank},
};

constexpr FieldLayout kTa836Segment03[] = {
    {"segment number", 1, 2, K::kLiteral, "03"},
    {"bank identification kind", 3, 1, K::kChoice, "AD"},
    {"beneficiary's bank line 1", 4, 35},
    {"beneficiary's bank line 2", 39, 35},
    {"IBAN", 74, 34, K::kIban},
    {"reserve", 108, 21, K::kBlank},
};

constexpr FieldLayout kTa836Segment04[] = {
    {"segment number", 1, 2, K::kLiteral, "04"},
    {"beneficiary name", 3, 35},
    {"beneficiary street", 38, 35},
    {"beneficiary city", 73, 35},
    {"reserve", 108, 21, K::kBlank},
};

constexpr FieldLayout kTa836Segment05[] = {
    {"segment number", 1, 2, K::kLiteral, "05"},
    {"reason kind", 3, 1, K::kChoice, "UI"},
    {"payment reason line 1", 4, 35},
    {"payment reason line 2", 39, 35},
    {"payment reason line 3", 74, 35},
    {"charge rule", 109, 1, K::kChoice, "012"},
    {"reserve", 110, 19, K::kBlank},
};

constexpr FieldLayout kTa890Segment01[] = {
    {"segment number", 1, 2, K::kLiteral, "01"},
    {"processing date", 3, 6, K::kDateOrZeros},
    {"clearing number of the beneficiary's bank", 9, 12, K::kBlank},
    {"output sequence number", 21, 5, K::kLiteral, "00000"},
    {"creation date", 26, 6, K::kDate},
    {"clearing number of the ordering party's bank", 32, 7, K::kBlank},
    {"data file sender identification", 39, 5, K::kText},
    {"entry sequence number", 44, 5, K::kSequence},
    {"transaction type", 49, 3, K::kRecordType},
    {"payment type", 52, 1, K::kLiteral, "0"},
    {"processing flag", 53, 1, K::kLiteral, "0"},
    {"total amount", 54, 16, K::kDtaTotal},
    {"reserve", 70, 59, K::kBlank},
};

constexpr PartLayout kTa826Parts[] = {
    {"segment 01", kTa826Segment01}, {"segment 02", kTa826Segment02}, {"segment 03", kTa826Segment03}};
constexpr PartLayout kTa827Parts[] = {{"segment 01", kTa827Segment01},
                                      {"segment 02", kTa827Segment02},
                                      {"segment 03", kTa827Segment03},
                                      {"segment 04", kTa827Segment04}};
constexpr PartLayout kTa827TrusteeParts[] = {{"segment 01", kTa827Segment01}, {"segment 02", kTa827Segment02},
                                             {"segment 03", kTa827Segment03}, {"segment 04", kTa827Segment04},
                                             {"segment 05", kTa827Segment05}};
constexpr PartLayout kTa836Parts[] = {{"segment 01", kTa836Segment01}, {"segment 02", kTa836Segment02},
                                      {"segment 03", kTa836Segment03}, {"segment 04", kTa836Segment04},
                                      {"segment 05", kTa836Segment05}};
constexpr PartLayout kTa890Parts[] = {{"segment 01", kTa890Segment01}};

constexpr RecordLayout kTa826{"TA 826", "826", kTa826Parts};
constexpr RecordLayout kTa827{"TA 827", "827", kTa827Parts};
constexpr RecordLayout kTa827Trustee{"TA 827", "827", kTa827TrusteeParts};
constexpr RecordLayout kTa836{"TA 836", "836", kTa836Parts};
constexpr RecordLayout kTa890{"TA 890", "890", kTa890Parts};

// ---- EZAG: the 50-character record header, then the body of each record type.

constexpr FieldLayout kEzagHeader[] = {
    {"record group", 1, 3, K::kNumber},
    {"processing date", 4, 6, K::kDate},
    {"order number", 10, 6, K::kLiteral, "000001"},
    {"account to be debited", 16, 9, K::kPostAccountIfDigits},
    {"account for charges", 25, 9, K::kPostAccountIfDigits},
    {"DTA identification", 34, 2, K::kNumber},
    {"record type", 36, 2, K::kRecordType},
    {"sequence number", 38, 6, K::kSequence},
    {"reserve", 44, 2, K::kZeros},
    {"salary flag", 46, 1, K::kChoice, "01"},
    {"reserve", 47, 4, K::kZeros},
};

constexpr FieldLayout kEzag00Body[] = {
    {"reserve", 51, 650, K::kBlank},
};

constexpr FieldLayout kEzag22Body[] = {
    {"currency", 51, 3, K::kCurrency},
    {"amount", 54, 13, K::kEzagAmount},
    {"reserve", 67, 1, K::kBlank},
    {"currency, repeated", 68, 3, K::kCurrency},
    {"country code", 71, 2},
    {"postal account", 73, 9, K::kPostAccount},
    {"reserve", 82, 41, K::kBlank},
    {"receiver name", 123, 35},
    {"receiver street", 158, 35},
    {"receiver line 2", 193, 35},
    {"receiver postcode", 228, 10},
    {"receiver place", 238, 25},
    {"reserve", 263, 140, K::kBlank},
    {"payment reason", 403, 140},
    {"reserve", 543, 158, K::kBlank},
};

constexpr FieldLayout kEzag27Body[] = {
    {"currency", 51, 3, K::kCurrency},
    {"amount", 54, 13, K::kEzagAmount},
    {"reserve", 67, 1, K::kBlank},
    {"currency, repeated", 68, 3, K::kCurrency},
    {"country code", 71, 2},
    {"bank clearing number", 73, 15, K::kClearingBlock},
    {"account", 88, 35, K::kAccount},
    {"reserve", 123, 140, K::kBlank},
    {"receiver name", 263, 35},
    {"receiver street", 298, 35},
    {"receiver line 2", 333, 35},
    {"receiver postcode", 368, 10},
    {"receiver place", 378, 25},
    {"payment reason", 403, 140},
    {"reserve", 543, 158, K::kBlank},
};

constexpr FieldLayout kEzag28Body[] = {
    {"currency", 51, 3, K::kCurrency},
    {"amount", 54, 13, K::kEzagAmount},
    {"reserve", 67, 1, K::kBlank},
    {"currency, repeated", 68, 3, K::kCurrency},
    {"country code", 71, 2},
    {"reserve", 73, 2, K::kBlank},
    {"ESR participant number", 75, 9, K::kPostAccount},
    {"ESR reference number", 84, 27, K::kEsrReference},
    {"reserve", 111, 590, K::kBlank},
};

constexpr FieldLayout kEzag37Body[] = {
    {"currency", 51, 3, K::kCurrency},
    {"amount", 54, 13, K::kEzagAmount},
    {"reserve", 67, 1, K::kBlank},
    {"currency, repeated", 68, 3, K::kCurrency},
    {"country code", 71, 2},
    {"BIC", 73, 15},
    {"IBAN", 88, 35, K::kIban},
    {"bank line", 123, 20},
    {"reserve", 143, 120, K::kBlank},
    {"receiver name", 263, 35},
    {"receiver street", 298, 35},
    {"receiver line 2", 333, 35},
    {"receiver postcode", 368, 10},
    {"receiver place", 378, 25},
    {"payment reason", 403, 140},
    {"reserve", 543, 158, K::kBlank},
};

constexpr FieldLayout kEzag97Body[] = {
    {"currency", 51, 3, K::kCurrency},
    {"number of payments", 54, 6, K::kCount},
    {"total amount", 60, 13, K::kEzagTotal},
    {"reserve", 73, 308, K::kZeros},
    {"reserve", 381, 320, K::kBlank},
};

constexpr PartLayout kEzag00Parts[] = {{"header", kEzagHeader}, {"body", kEzag00Body}};
constexpr PartLayout kEzag22Parts[] = {{"header", kEzagHeader}, {"body", kEzag22Body}};
constexpr PartLayout kEzag27Parts[] = {{"header", kEzagHeader}, {"body", kEzag27Body}};
constexpr PartLayout kEzag28Parts[] = {{"header", kEzagHeader}, {"body", kEzag28Body}};
constexpr PartLayout kEzag37Parts[] = {{"header", kEzagHeader}, {"body", kEzag37Body}};
constexpr PartLayout kEzag97Parts[] = {{"header", kEzagHeader}, {"body", kEzag97Body}};

constexpr RecordLayout kEzagLayouts[] = {
    {"type 00", "00", kEzag00Parts}, {"type 22", "22", kEzag22Parts}, {"type 27", "27", kEzag27Parts},
    {"type 28", "28", kEzag28Parts}, {"type 37", "37", kEzag37Parts}, {"type 97", "97", kEzag97Parts},
};

}  // namespace

const RecordLayout* DtaLayout(std::string_view transaction_type, bool with_segment_05) {
  if (transaction_type == "826") return &kTa826;
  if (transaction_type == "827") return with_segment_05 ? &kTa827Trustee : &kTa827;
  if (transaction_type == "836") return &kTa836;
  if (transaction_type == "890") return &kTa890;
  return nullptr;
}

std::span<const FieldLayout> EzagHeaderLayout() { return kEzagHeader; }

const RecordLayout* EzagLayout(std::string_view record_type) {
  for (const RecordLayout& layout : kEzagLayouts) {
    if (layout.code == record_type) return &layout;
  }
  return nullptr;
}

}  // namespace ordexa::inspect
