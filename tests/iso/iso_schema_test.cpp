// Realistic ISO 20022 batches in both flavours validated with xmllint against the Swiss
// and the generic pain.001.001.03 schemas.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "iso/iso_test_support.h"
#include "iso/iso_writer.h"
#include "platform/clock.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

PaymentRecord Payment(std::int32_t type, std::int64_t amount, const char* account, const char* bic,
                      const char* name, const char* street, const char* city, const char* reason) {
  PaymentRecord payment;
  payment.type = type;
  payment.date = 45000.0;  // 15 March 2023
  payment.amount.int64 = amount;
  payment.bank_src.id = "700";
  payment.bank_src.account = "CH5604835012345678009";
  payment.bank_dst.id = "8390";
  payment.bank_dst.account = account;
  payment.bank_dst.bic = bic;
  payment.receiver.name1 = name;
  payment.receiver.street = street;
  payment.receiver.city = city;
  payment.reason = reason;
  return payment;
}

// A franc batch holds every kind of creditor; a euro batch only payments whose bank has a
// BIC, since the others get an empty BIC element there.
PaymentList Batch(bool euro) {
  PaymentList payments;
  payments.push_back(Payment(payIban, 12345000, "CH93 0076 2011 6238 5295 7", euro ? "UBSWCHZH80A" : "",
                             "Hans M\xFCller", "Bahnhofstra\xDF" "e 1", "8001 Z\xFCrich", "Lohn M\xE4rz 2023"));
  payments.push_back(Payment(payIban, 2500000, "DE89370400440532013000", "COBADEFFXXX", "Erika Mustermann",
                             "Hauptstr. 5", "D-10115 Berlin", "Provision"));
  payments.push_back(Payment(payRedPost, 1000000, "01-162-8", "", "Post Kunde", "", "3000 Bern", ""));
  if (!euro) {
    payments.push_back(Payment(payRedBank, 500, "12-345.6", "", "Fritz Frei", "Weg 1", "F-75001 Paris", "Spesen"));
    payments.push_back(Payment(payESR15, 990000, "01-12345-6", "", "Genossenschaft", "Dorf 2", "6000 Luzern",
                               "Rechnung 42"));
  }
  return payments;
}

bool XmllintAvailable() { return std::system("xmllint --version >/dev/null 2>&1") == 0; }

TEST(IsoSchema, RealisticBatchesValidateAgainstBothSchemas) {
  const std::filesystem::path shared_dir = ORDEXA_SHARED_DIR;
  const std::filesystem::path swiss_schema = shared_dir / "xsd" / "pain.001.001.03.ch.02.xsd";
  const std::filesystem::path generic_schema = shared_dir / "xsd" / "pain.001.001.03.xsd";
  if (!std::filesystem::exists(swiss_schema) || !std::filesystem::exists(generic_schema)) {
    GTEST_SKIP() << "schemas not found under " << shared_dir << " (ORDEXA_SHARED_DIR)";
  }
  if (!XmllintAvailable()) GTEST_SKIP() << "xmllint not installed (Debian package libxml2-utils)";

  test::TempDir dir;
  ScopedClock clock(FixedClock(SYSTEMTIME{2023, 12, 1, 4, 14, 5, 33, 0}));
  const struct {
    bool swiss;
    const char* cost_currency;
    bool salary;
  } kCases[] = {
      {true, "CHF", false}, {false, "CHF", false}, {true, "CHF", true},  {false, "CHF", true},
      {true, "EUR", false}, {false, "EUR", true},  {true, "SIC", true},  {false, "SIC", false},
  };
  for (const auto& c : kCases) {
    PaySettingRecord settings;
    settings.sender.name1 = "Muster & Co AG";
    settings.cost_currency = c.cost_currency;
    settings.is_salary = c.salary;
    const PaymentList payments = Batch(settings.cost_currency != "CHF");
    const std::string file = dir.Path("pay.xml");
    const std::string report = dir.Path("xmllint.txt");
    WriteIsoFile(settings, payments, file, "Lohn 03/2023", c.swiss);

    const std::string command = "xmllint --noout --schema '" + (c.swiss ? swiss_schema : generic_schema).string() +
                                "' '" + file + "' >'" + report + "' 2>&1";
    EXPECT_EQ(0, std::system(command.c_str()))
        << (c.swiss ? "Swiss" : "generic") << " " << c.cost_currency << (c.salary ? " salary" : "") << ":\n"
        << test::ReadWholeFile(report).value_or("");
  }
}

}  // namespace
}  // namespace ordexa
