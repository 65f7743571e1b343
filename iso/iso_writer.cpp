// WriteIsoFile: the order of the ISO 20022 document and the end-to-end identification
// of each payment.
#include "iso/iso_writer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "iso/iso_document.h"
#include "xml/iso_output.h"
#include "platform/cp1252.h"

namespace ordexa {

namespace {

// The end-to-end identification "X<nnn>-<pay period>": the payments spread evenly over
// 1 to 999 (n = 999 / N * (i + 1)), so that they tell apart within the pay period.
void FormEndToEndId(std::string& id, std::size_t index, std::size_t payment_count, std::string_view pay_period) {
  const std::size_t spread = 999 / payment_count;
  const std::size_t n = spread * (index + 1);
  const char prefix[] = {'X', static_cast<char>('0' + n / 100 % 10), static_cast<char>('0' + n / 10 % 10),
                         static_cast<char>('0' + n % 10), '-'};
  id.assign(prefix, sizeof prefix);
  id.append(pay_period);
}

}  // namespace

void WriteIsoFile(PayBatch& batch, std::string_view file_name,
                  std::string_view pay_period, bool swiss, const FileSystem& file_system) {
  // An empty batch leaves no file behind, not even the temporary one.
  const PaymentList& payments = batch.payments;
  if (payments.empty()) return;

  IsoOutputFile output(file_system);
  OpenIsoOutput(output, file_name);
  WriteIsoDocumentHead(output, swiss);

  // The control sum adds like the currency type: 64-bit, wrapping on overflow.
  std::uint64_t amount_sum = 0;
  for (const PaymentRecord& payment : payments) amount_sum += static_cast<std::uint64_t>(payment.amount.int64);
  // The sender's name stays upper case in the settings after the file is written.
  if (char* sender_name = batch.texts.Writable(batch.settings.sender.name1)) {
    for (char& c : std::span(sender_name, batch.settings.sender.name1.size)) c = Cp1252ToUpper(c);
  }
  const PaySettingView settings = batch.View(batch.settings);
  WriteIsoGroupHeader(output, settings, static_cast<std::int64_t>(amount_sum),
                      static_cast<std::int32_t>(payments.size()));

  WriteIsoPaymentInfo(output, settings, batch.View(payments.front()), swiss);
  std::string end_to_end_id;
  std::size_t index = 0;
  for (const PaymentRecord& payment : payments) {
    FormEndToEndId(end_to_end_id, index, payments.size(), pay_period);
    WriteIsoTransaction(output, settings, batch.View(payment), static_cast<std::int32_t>(index + 1), end_to_end_id);
    ++index;
  }
  WriteIsoDocumentTail(output);
  FinishIsoOutput(output);
}

}  // namespace ordexa
