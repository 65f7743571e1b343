// Tests of the fields the DTA payment records share: transaction number and debit account.
// The records themselves are tested through whole files in dta_writer_test.cpp.
#include "dta/dta_records.h"

#include <gtest/gtest.h>

namespace ordexa {
namespace {

TEST(DtaRecords, TransactionNumberAndDebitAccount) {
  EXPECT_EQ("M0100010005", DtaTransactionNumber(5));
  EXPECT_EQ("M01000112345", DtaTransactionNumber(12345));  // the record keeps its first 11
  EXPECT_EQ("CH9300762011623852957", DebitAccountText("ch93 0076 2011 6238 5295 7"));
  EXPECT_EQ("LI21088100002324013AA", DebitAccountText("LI21 0881 0000 2324 013A A"));
  EXPECT_EQ("CH93 0076 2011 6238 5295 8", DebitAccountText("ch93 0076 2011 6238 5295 8"));  // check digits wrong
  EXPECT_EQ("DE89 3704 0044 0532 0130 00", DebitAccountText("de89 3704 0044 0532 0130 00"));
  EXPECT_EQ("12-3456-7", DebitAccountText("12-3456-7"));
}

}  // namespace
}  // namespace ordexa
