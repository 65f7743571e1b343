// The benchmark's realistic batch: every payment kind, IBANs that pass their check and
// references of their kind's length. (Postal accounts and references get their check digit
// from the component's own CheckDigitMod10: checking them with it would prove nothing.)
#include "bench/payroll_batch.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "format/iban.h"
#include "platform/cp1252.h"

namespace ordexa::bench {
namespace {

TEST(PayrollBatch, EveryKindWithAccountsThatPassTheirChecks) {
  const PayrollBatch batch(2000);
  const auto ansi = [&batch](TextId id) { return WideToCp1252(Utf8ToUtf16(batch.Utf8(id))); };
  std::set<int> kinds;
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const PaymentOrder p = batch.Payment(i);
    kinds.insert(p.type);
    if (p.type == payIban) {
      EXPECT_FALSE(NormalizeIban(ansi(p.bank_dst.account)).empty()) << i << " " << ansi(p.bank_dst.account);
      EXPECT_FALSE(NormalizeIban(ansi(p.bank_src.account)).empty()) << i;
    } else if (p.type == payESR15 || p.type == payESR16 || p.type == payESR17) {
      EXPECT_EQ(p.type == payESR15 ? 15u : 27u, ansi(p.esr).size()) << i;
      EXPECT_EQ(9u, ansi(p.bank_dst.account).size()) << i;
    }
    EXPECT_GT(p.amount, 0);
  }
  EXPECT_EQ(10u, kinds.size());
}

}  // namespace
}  // namespace ordexa::bench
