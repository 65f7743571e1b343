// The failures of the writers, turned into messages for the command line.
#include "tools/payfile/payment_file.h"

#include <cstdio>
#include <exception>
#include <new>

#include "failure/failure.h"
#include "platform/cp1252.h"

namespace ordexa::payfile {
namespace {

constexpr std::int32_t kIsoWriteFailure = 2002;  // the ISO writer's number for a short write

std::string Hex(std::uint32_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::string DescribeHresult(HRESULT hr) {
  const auto code = static_cast<std::uint32_t>(hr);
  std::string text = "HRESULT " + Hex(code, 8);
  if (hr == E_OUTOFMEMORY) return text + ", out of memory";
  if (hr == E_INVALIDARG) return text + ", invalid argument";
  if (hr == DISP_E_OVERFLOW) return text + ", an amount does not fit the file's amount field";
  if ((code & 0xFFFF0000u) == 0x80070000u) return text + ", system error " + std::to_string(code & 0xFFFFu);
  return text;
}

}  // namespace

WriteResult WritePaymentFile(CPayManager& manager, const FileRequest& request) {
  if (request.file_type == payISO && manager.batch().payments.empty()) {
    return {WriteStatus::kNoFile,
            "payfile: " + request.display_name + ": the batch holds no payments, so no ISO file is written"};
  }
  const std::string prefix = "payfile: " + request.display_name + ": ";
  try {
    manager.WriteBatch(request.file_type, request.file_name, request.pay_period, request.swiss);
    return {};
  } catch (const MPayError& failure) {
    return {WriteStatus::kFailed, Cp1252ToUtf8(failure.text())};
  } catch (const CAtlException& failure) {
    return {WriteStatus::kFailed, prefix + "writing failed with " + DescribeHresult(failure.hr())};
  } catch (const std::int32_t number) {
    if (number == kIsoWriteFailure) {
      return {WriteStatus::kFailed, prefix + "writing the document failed (error number 2002, a short write)"};
    }
    return {WriteStatus::kFailed, prefix + "the file could not be opened (error number " + std::to_string(number) +
                                      ", " + Hex(static_cast<std::uint32_t>(number), 0) + ")"};
  } catch (const std::bad_alloc&) {
    return {WriteStatus::kFailed, prefix + "out of memory"};
  } catch (const std::exception& failure) {
    return {WriteStatus::kFailed, prefix + failure.what()};
  } catch (...) {
    return {WriteStatus::kFailed, prefix + "writing failed for an unknown reason"};
  }
}

}  // namespace ordexa::payfile
