// The benchmark's realistic batch: every payment kind, accounts and references that pass
// their checks, the same batch for the same size, and a fill through the interfaces that
// leaves exactly the generated texts in the model.
#include "bench/payroll_batch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "format/iban.h"
#include "format/post_account.h"
#include "model/pay_manager.h"
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

TEST(PayrollBatch, FillPutsTheGeneratedTextsThroughTheInterfaces) {
  const PayrollBatch batch(300);
  const ComPtr<CPayManager> manager = CPayManager::New();
  ASSERT_TRUE(FillManager(*manager.get(), batch));
  const PayBatch& filled = manager->batch();
  ASSERT_EQ(300u, filled.payments.size());
  EXPECT_EQ(Ansi(batch, batch.settings().sender.name1), filled.Text(filled.settings.sender.name1));
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const PaymentOrder order = batch.Payment(i);
    const PaymentView view = filled.View(filled.payments[i]);
    EXPECT_EQ(order.type, view.type);
    EXPECT_EQ(order.amount, view.amount.int64);
    EXPECT_EQ(Ansi(batch, order.receiver.name1), view.receiver.name1) << i;
    EXPECT_EQ(Ansi(batch, order.bank_dst.account), view.bank_dst.account) << i;
    EXPECT_EQ(Ansi(batch, order.reason), view.reason) << i;
  }
  // The same size gives the same batch.
  const PayrollBatch again(300);
  EXPECT_EQ(batch.Utf8(batch.Payment(123).receiver.street), again.Utf8(again.Payment(123).receiver.street));
}

}  // namespace
}  // namespace ordexa::bench
