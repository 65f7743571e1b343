// The benchmark's realistic batch: every payment kind, accounts and references that pass
// their checks.
#include "bench/payroll_batch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "format/iban.h"
#include "format/post_account.h"
#include "platform/cp1252.h"

namespace ordexa::bench {
namespace {

std::string Ansi(const PayrollBatch& batch, TextId id) {
  const std::u16string wide = Utf8ToUtf16(batch.Utf8(id));
  return WideToCp1252(wide);
}

TEST(PayrollBatch, EveryKindWithAccountsThatPassTheirChecks) {
  const PayrollBatch batch(2000);
  std::set<int> kinds;
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const PaymentOrder p = batch.Payment(i);
    kinds.insert(p.type);
    const std::string account = Ansi(batch, p.bank_dst.account);
    switch (p.type) {
      case payIban:
        EXPECT_FALSE(NormalizeIban(account).empty()) << i << " " << account;
        EXPECT_FALSE(NormalizeIban(Ansi(batch, p.bank_src.account)).empty()) << i;
        break;
      case payRedPost: {
        // "PP-NNNNNN-C": the check digit is the one computed over the nine-digit form.
        const std::string normalized = NormalizePostAccount(account);
        ASSERT_EQ(9u, normalized.size()) << account;
        EXPECT_EQ(CheckDigitMod10(normalized.substr(0, 8)), normalized[8]) << account;
        break;
      }
      case payESR15:
      case payESR16:
      case payESR17: {
        const std::string esr = Ansi(batch, p.esr);
        EXPECT_EQ(p.type == payESR15 ? 15u : 27u, esr.size());
        EXPECT_EQ(CheckDigitMod10(esr.substr(0, esr.size() - 1)), esr.back()) << esr;
        EXPECT_EQ(CheckDigitMod10(account.substr(0, 8)), account[8]) << account;
        break;
      }
      default:
        break;
    }
    EXPECT_GT(p.amount, 0);
  }
  EXPECT_EQ(10u, kinds.size());
}

}  // namespace
}  // namespace ordexa::bench
