// The 2019 ISO 20022 writer: one pain.001.001.09 customer credit transfer initiation,
// Swiss (Swiss Payment Standards) or generic flavour, as UTF-8 XML, and the check of a
// batch against what that file refuses, cuts or drops.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "records/records.h"

namespace ordexa {

// What a finding means for the file.
enum class Iso2019FindingKind {
  kRefusal,  // the writer refuses the batch: nothing is written
  kCut,      // a text is cut to its element's length
  kNote,     // written, but the caller should know (a cheque, a day in the past, a dropped text)
};

// One finding of the check, at its place in the batch. `payment` counts from 0
// (kNoPayment for the settings, the pay period or the batch as a whole); `key` and `subkey`
// are the property names of the place ("BankDst", "Account"; "Sender", "Name1" in the
// settings; "" for the batch). `text` says what is wrong or what the file gets instead, in
// English, for the command-line tool; `reason` says it in German, for the message of a refusal.
struct Iso2019Finding {
  static constexpr std::size_t kNoPayment = static_cast<std::size_t>(-1);

  Iso2019FindingKind kind = Iso2019FindingKind::kRefusal;
  std::size_t payment = kNoPayment;
  std::string_view key;
  std::string_view subkey;
  std::string text;
  std::string reason;
};

// CheckIso2019Batch()
// Every refusal, cut and note for writing `batch` (with `settings` in place of the
// batch's own, so the check may run beside a writer) as a 2019 ISO file of the given
// flavour, in batch order, the settings' findings first. The day of writing is the
// clock's (CurrentLocalTime). Throws only std::bad_alloc.
// Example: a payment whose BankDst.Account is "CH93 0076 2011 6238 5295 8" gives one
// kRefusal at payment 0, "BankDst", "Account".
std::vector<Iso2019Finding> CheckIso2019Batch(const PayBatch& batch, const PaySettingView& settings,
                                              std::string_view pay_period, bool swiss);
inline std::vector<Iso2019Finding> CheckIso2019Batch(const PayBatch& batch, std::string_view pay_period, bool swiss) {
  return CheckIso2019Batch(batch, batch.View(batch.settings), pay_period, swiss);
}

// WriteIso2019File()
// Checks the whole batch first: on the first refusal raises MPayError
// IDS_ISO2019_PAYMENT_REFUSED (the payment's number from 1 and the reason) or
// IDS_ISO2019_BATCH_REFUSED (an empty batch, a sender without name, too many payments
// for the Swiss flavour) and writes nothing. Otherwise writes the document to
// "<file_name>.tmp", syncs it and renames it over `file_name`. A file that cannot be
// created raises MPayError 2001, a failed write 2002, each with the HRESULT of the system
// error as its status; the temporary file is then removed and the final file untouched.
// The batch is not changed.
// Example: WriteIso2019File(batch, "C:\\pay\\lohn.xml", "2026-12", true).
void WriteIso2019File(const PayBatch& batch, std::string_view file_name, std::string_view pay_period, bool swiss,
                      const FileSystem& file_system = SystemFileSystem());

}  // namespace ordexa
