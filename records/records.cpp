// The payment list's blocks and the record views.
#include "records/records.h"

#include <algorithm>
#include <new>

namespace ordexa {

void PaymentList::AddRegion() {
  // One block first; then a region of a fixed number of blocks.
  const std::size_t block_count = blocks_.empty() ? 1 : kBlocksPerRegion;
  const std::size_t region_bytes = block_count * kBlockBytes;
  blocks_.reserve(blocks_.size() + block_count);
  regions_.reserve(regions_.size() + 1);
  LargeBlock region(region_bytes);
  // Nothing below throws: the list changes only once the region is there.
  for (std::size_t block = 0; block < block_count; ++block) {
    blocks_.push_back(reinterpret_cast<PaymentRecord*>(region.data() + block * kBlockBytes));
  }
  regions_.push_back(std::move(region));
  reserved_ += region_bytes;
}

PaymentRecord& PaymentList::emplace_back() {
  if (size_ == blocks_.size() * kRecordsPerBlock) AddRegion();
  // A place new or left by pop_back starts afresh with the record's initial values.
  PaymentRecord* const record = new (&blocks_[size_ / kRecordsPerBlock][size_ % kRecordsPerBlock]) PaymentRecord{};
  ++size_;
  return *record;
}

void PayBatch::SetPartText(PayAddressRecord& address, AddressPart part, std::string_view bytes) {
  if (address.parts == 0) {
    if (bytes.empty()) return;
    address_parts.emplace_back();
    try {
      texts.Set(address_parts.back().parts[static_cast<std::size_t>(part)], bytes);
    } catch (...) {
      address_parts.pop_back();
      throw;
    }
    address.parts = static_cast<std::uint32_t>(address_parts.size());
    return;
  }
  texts.Set(address_parts[address.parts - 1].parts[static_cast<std::size_t>(part)], bytes);
}

PayAddressView PayBatch::View(const PayAddressRecord& address) const {
  PayAddressView view{Text(address.name1), Text(address.name2), Text(address.street), Text(address.city),
                      Text(address.id),    Text(address.account), Text(address.bic), {}, {}, {}, {}, {}};
  if (address.parts != 0) {
    const PayAddressPartsRecord& parts = address_parts[address.parts - 1];
    view.street_name = Text(parts.parts[0]);
    view.building_number = Text(parts.parts[1]);
    view.post_code = Text(parts.parts[2]);
    view.town = Text(parts.parts[3]);
    view.country = Text(parts.parts[4]);
  }
  return view;
}

PaymentView PayBatch::View(const PaymentRecord& payment) const {
  PaymentView view;
  view.type = payment.type;
  view.date = payment.date;
  view.bank_src = View(payment.bank_src);
  view.bank_dst = View(payment.bank_dst);
  view.receiver = View(payment.receiver);
  view.esr = Text(payment.esr);
  view.currency = Text(payment.currency);
  view.amount = payment.amount;
  view.reason = Text(payment.reason);
  view.is_salary = payment.is_salary;
  view.cost_code = payment.cost_code;
  return view;
}

PaySettingView PayBatch::View(const PaySettingRecord& settings) const {
  PaySettingView view;
  view.sender = View(settings.sender);
  view.dta_id = Text(settings.dta_id);
  view.cost_account = Text(settings.cost_account);
  view.is_salary = settings.is_salary;
  view.dta_id_sender = Text(settings.dta_id_sender);
  view.cost_currency = Text(settings.cost_currency);
  return view;
}

}  // namespace ordexa
