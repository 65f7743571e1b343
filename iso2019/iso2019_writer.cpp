// WriteIso2019File and CheckIso2019Batch: the whole batch checked first, then the document
// written group by group, its message id hashed over what was written.
#include "iso2019/iso2019_writer.h"

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "failure/failure.h"
#include "iso2019/iso2019_document.h"
#include "iso2019/iso2019_hash.h"
#include "iso2019/iso2019_plan.h"
#include "platform/clock.h"
#include "platform/message_table.h"
#include "xml/iso_output.h"

namespace ordexa {

namespace {

[[noreturn]] void RaiseRefusal(const Iso2019Finding& refusal) {
  if (refusal.payment == Iso2019Finding::kNoPayment) throw MPayError(IDS_ISO2019_BATCH_REFUSED, {refusal.reason});
  const std::string number = std::to_string(refusal.payment + 1);
  throw MPayError(IDS_ISO2019_PAYMENT_REFUSED, {number, refusal.reason});
}

// The payments of each group in batch order, the groups one after another: a counting
// sort of the payment numbers by group.
std::vector<std::uint32_t> PaymentsByGroup(const Iso2019Plan& plan) {
  std::vector<std::uint32_t> start(plan.groups.size() + 1, 0);
  for (std::size_t g = 0; g < plan.groups.size(); ++g) start[g + 1] = start[g] + plan.groups[g].count;
  std::vector<std::uint32_t> order(plan.group_of.size());
  for (std::size_t i = 0; i < plan.group_of.size(); ++i) order[start[plan.group_of[i]]++] = static_cast<std::uint32_t>(i);
  return order;
}

void WriteDocument(IsoOutputFile& output, const PayBatch& batch, const Iso2019Plan& plan) {
  DocumentHash hash;
  output.stream->ObserveWrites(&hash);
  std::vector<std::uint64_t> hash_places;
  WriteIso2019Head(output, plan, hash_places);

  const std::vector<std::uint32_t> order = PaymentsByGroup(plan);
  Iso2019Batch writing = plan.batch;
  writing.pass = Iso2019Batch::Pass::kWrite;
  Iso2019Transaction transaction;
  Iso2019Findings no_findings(nullptr);
  std::size_t next = 0;
  for (std::size_t g = 0; g < plan.groups.size(); ++g) {
    WriteIso2019GroupHead(output, plan, g, hash_places);
    for (std::uint32_t n = 0; n < plan.groups[g].count; ++n) {
      const std::size_t index = order[next++];
      // The check pass took this payment, so it resolves again without a refusal.
      ResolveIso2019Payment(batch, index, writing, transaction, no_findings);
      char id[kIso2019IdLength];
      const char* const id_end = Iso2019EndToEndIdInto(id, plan.period, index + 1);
      WriteIso2019Transaction(output, transaction, index + 1, std::string_view(id, id_end));
    }
    WriteIso2019GroupTail(output);
  }
  WriteIso2019Tail(output);

  // Every byte is out with the placeholders in place: the hash goes over them.
  if (const FileStatus flushed = output.stream->Flush(); !flushed) {
    output.write_error = flushed.error;
    detail::RaiseIsoWriteFailure();
  }
  output.stream->ObserveWrites(nullptr);
  const std::array<char, 8> value = hash.Value();
  for (const std::uint64_t place : hash_places) {
    if (const FileStatus written = output.stream->WriteAt(place, std::string_view(value.data(), value.size()));
        !written) {
      output.write_error = written.error;
      detail::RaiseIsoWriteFailure();
    }
  }
  FinishIsoOutput(output);
}

// Removes what a failed write left behind: the temporary file, never the final one.
void Discard(IsoOutputFile& output) {
  output.stream.reset();
  output.file_system.Remove(output.temporary_name);
}

}  // namespace

std::vector<Iso2019Finding> CheckIso2019Batch(const PayBatch& batch, const PaySettingView& settings,
                                              std::string_view pay_period, bool swiss) {
  std::vector<Iso2019Finding> list;
  Iso2019Findings findings(&list);
  Iso2019Plan plan;
  PlanIso2019File(batch, settings, pay_period, swiss, CurrentLocalTime(), plan, findings);
  return list;
}

void WriteIso2019File(const PayBatch& batch, std::string_view file_name, std::string_view pay_period, bool swiss,
                      const FileSystem& file_system) {
  Iso2019Plan plan;
  Iso2019Findings findings(nullptr);
  // One reading of the clock: the message id, the creation time and the day of writing agree.
  if (!PlanIso2019File(batch, batch.View(batch.settings), pay_period, swiss, CurrentLocalTime(), plan, findings)) {
    RaiseRefusal(findings.first_refusal());
  }

  IsoOutputFile output(file_system);
  if (const FileStatus created = CreateIsoOutput(output, file_name); !created) {
    RaiseCreateFileError(HRESULT_FROM_WIN32(created.error), file_name);
  }
  try {
    WriteDocument(output, batch, plan);
  } catch (const std::int32_t&) {
    Discard(output);
    RaiseWriteFileError(HRESULT_FROM_WIN32(output.write_error != 0 ? output.write_error : ERROR_GEN_FAILURE));
  } catch (const CAtlException& failure) {
    Discard(output);
    RaiseWriteFileError(failure.hr());
  } catch (...) {
    Discard(output);
    throw;
  }
}

}  // namespace ordexa
