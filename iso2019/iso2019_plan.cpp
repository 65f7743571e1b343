// The check pass and the group layout of the 2019 ISO document.
#include "iso2019/iso2019_plan.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "iso2019/iso2019_text.h"
#include "xml/xml_text.h"

namespace ordexa {

namespace {

// The Swiss guidelines refuse a file of more transactions.
constexpr std::size_t kMostSwissTransactions = 99'999;
constexpr std::size_t kPartyNameLength = 70;
constexpr std::size_t kIdentifierLength = kIso2019IdLength;
// A control sum has at most 18 digits.
constexpr std::size_t kControlSumDigits = 18;

// The group key of a resolved transaction: everything a PmtInf states once for all its payments.
void FormGroupKey(const Iso2019Transaction& t, std::string& key) {
  key.clear();
  key.push_back(t.kind == Iso2019Kind::kCheque ? 'C' : 'T');
  key.push_back(t.kind == Iso2019Kind::kSepa ? 'S' : '-');
  key.push_back(t.salary ? 'L' : '-');
  key.push_back(static_cast<char>('0' + static_cast<int>(t.charges)));
  char date[16];
  const auto end = std::to_chars(date, date + sizeof date, (t.year * 100 + t.month) * 100 + t.day).ptr;
  key.append(date, end).append(t.currency);
  key.append("|").append(t.debtor_iban).append("|").append(t.debtor_bic).append("|").append(t.debtor_clearing);
}

// What the group key is formed from, kept for the payment before: a payroll's payments
// mostly share all of it, and then need no key to find their group.
// Two currency codes alike, three bytes compared in place in the usual case.
bool SameCode(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a.size() == 3) return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
  return a == b;
}

struct GroupFields {
  bool cheque = false, sepa = false, salary = false;
  Iso2019Charges charges = Iso2019Charges::kNone;
  int year = 0, month = 0, day = 0;
  std::string currency;
  std::uint32_t debtor_generation = 0;  // the same generation: the same debtor fields

  static GroupFields Of(const Iso2019Transaction& t) {
    return {t.kind == Iso2019Kind::kCheque, t.kind == Iso2019Kind::kSepa, t.salary, t.charges, t.year, t.month, t.day,
            t.currency, t.debtor_generation};
  }
  bool Same(const Iso2019Transaction& t) const {
    return cheque == (t.kind == Iso2019Kind::kCheque) && sepa == (t.kind == Iso2019Kind::kSepa) && salary == t.salary &&
           charges == t.charges && year == t.year && month == t.month && day == t.day &&
           debtor_generation == t.debtor_generation && SameCode(currency, t.currency);
  }
};

void CheckBatchAndSender(const PayBatch& batch, const PaySettingView& settings, bool swiss, Iso2019Plan& plan,
                         Iso2019Findings& findings) {
  findings.SetPayment(Iso2019Finding::kNoPayment);
  const std::size_t count = batch.payments.size();
  if (count == 0) {
    findings.Refuse({}, {}, "holds no payment; there is nothing to write", "Der Auftrag enth\xE4lt keine Zahlung.");
  } else if (swiss && count > kMostSwissTransactions) {
    findings.Refuse({}, {},
                    std::to_string(count) +
                        " payments are more than the 99,999 a file of the Swiss Payment Standards holds; split the batch",
                    "Eine Datei nach Swiss Payment Standards fasst h\xF6" "chstens 99'999 Zahlungen (hier " +
                        std::to_string(count) + "); bitte aufteilen.");
  }
  plan.sender_name = DocumentText(settings.sender.name1, swiss);
  if (plan.sender_name.empty()) {
    findings.Refuse("Sender", "Name1", "is empty; the file names the ordering party",
                    "Der Name des Auftraggebers fehlt.");
  } else if (plan.sender_name.size() > kPartyNameLength) {
    if (findings.collecting()) {
      std::string written = plan.sender_name;
      CutText(written, kPartyNameLength);
      findings.Cut("Sender", "Name1", plan.sender_name, written, kPartyNameLength, "Nm");
    }
    CutText(plan.sender_name, kPartyNameLength);
  }
}

void CheckPeriod(std::string_view pay_period, std::size_t payment_count, Iso2019Plan& plan,
                 Iso2019Findings& findings) {
  plan.period = Iso2019PeriodForIds(pay_period);
  if (!findings.collecting()) return;
  const std::string given = DocumentText(pay_period, false);
  const std::string last_id = Iso2019EndToEndId(plan.period, payment_count == 0 ? 1 : payment_count);
  const std::string_view written(last_id.data(), plan.period.empty() ? 0 : last_id.rfind('-'));
  if (written.size() < plan.period.size()) {
    findings.Cut("Period", {}, given, written, written.size(), "EndToEndId");
  } else if (given != plan.period) {
    findings.Note("Period", {},
                  "\"" + given + "\" is written in the end-to-end ids as \"" + plan.period +
                      "\": they take only A-Z a-z 0-9, blank and ' ( ) + , - . / : ?, no \"//\" and no \"/\" at either end");
  }
}

}  // namespace

void Iso2019ControlSum::Add(std::int64_t amount) {
  const auto value = static_cast<std::uint64_t>(amount);
  units += value / 10000;
  fraction += static_cast<std::uint32_t>(value % 10000);
  if (fraction >= 10000) {
    fraction -= 10000;
    ++units;
  }
}

std::string Iso2019ControlSum::Format(int decimals) const {
  char text[32];
  char* end = std::to_chars(text, text + sizeof text, units).ptr;
  if (decimals > 0) {
    *end++ = '.';
    char digits[4];
    std::uint32_t rest = fraction;
    for (int i = 3; i >= 0; --i, rest /= 10) digits[i] = static_cast<char>('0' + rest % 10);
    for (int i = 0; i < decimals && i < 4; ++i) *end++ = digits[i];
  }
  return std::string(text, end);
}

std::string Iso2019PeriodForIds(std::string_view pay_period) {
  std::string replaced;
  AppendDocumentText(replaced, pay_period, true);
  std::string period;
  for (const char c : replaced) {
    if (!IsIdentifierCharacter(c)) continue;
    if (c == '/' && !period.empty() && period.back() == '/') continue;
    period.push_back(c);
  }
  const auto trimmable = [](char c) { return c == ' ' || c == '/'; };
  std::size_t first = 0;
  while (first < period.size() && trimmable(period[first])) ++first;
  std::size_t last = period.size();
  while (last > first && trimmable(period[last - 1])) --last;
  return period.substr(first, last - first);
}

std::string Iso2019EndToEndId(std::string_view period, std::size_t number) {
  char id[kIso2019IdLength];
  return std::string(id, Iso2019EndToEndIdInto(id, period, number));
}

char* Iso2019EndToEndIdInto(char* out, std::string_view period, std::size_t number) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  const std::string_view number_text(digits, static_cast<std::size_t>(end - digits));
  if (period.size() + 1 + number_text.size() > kIdentifierLength) {
    period = period.substr(0, kIdentifierLength - 1 - number_text.size());
    while (!period.empty() && (period.back() == ' ' || period.back() == '/')) period.remove_suffix(1);
  }
  if (!period.empty()) {
    out = std::copy(period.begin(), period.end(), out);
    *out++ = '-';
  }
  return std::copy(number_text.begin(), number_text.end(), out);
}

bool PlanIso2019File(const PayBatch& batch, const PaySettingView& settings, std::string_view pay_period, bool swiss,
                     const SYSTEMTIME& now, Iso2019Plan& plan, Iso2019Findings& findings) {
  plan.now = now;
  plan.batch.pass = findings.collecting() ? Iso2019Batch::Pass::kCheck : Iso2019Batch::Pass::kPlan;
  plan.batch.swiss = swiss;
  plan.batch.today_year = now.wYear;
  plan.batch.today_month = now.wMonth;
  plan.batch.today_day = now.wDay;
  plan.batch.batch_currency = std::string(IsoCurrency(settings.cost_currency));
  plan.batch.settings_salary = settings.is_salary;

  const PaymentList& payments = batch.payments;
  CheckBatchAndSender(batch, settings, swiss, plan, findings);
  if (!findings.collecting() && findings.any_refused()) return false;
  CheckPeriod(pay_period, payments.size(), plan, findings);

  plan.groups.clear();
  plan.group_of.assign(payments.size(), 0);
  std::unordered_map<std::string, std::uint32_t> group_index;
  Iso2019Transaction transaction;
  std::string key;
  std::uint32_t last_group = 0;
  GroupFields last_fields;
  for (std::size_t i = 0; i < payments.size(); ++i) {
    if (!ResolveIso2019Payment(batch, i, plan.batch, transaction, findings)) {
      if (!findings.collecting()) return false;
      continue;
    }
    if (findings.any_refused()) continue;  // no file: the groups are not needed
    // Payments of one group mostly follow each other: the previous one's group is tried first.
    std::uint32_t group = last_group;
    if (plan.groups.empty() || !last_fields.Same(transaction)) {
      FormGroupKey(transaction, key);
      if (plan.groups.empty() || plan.groups[last_group].key != key) {
        if (const auto found = group_index.find(key); found != group_index.end()) {
          group = found->second;
        } else {
          group = static_cast<std::uint32_t>(plan.groups.size());
          group_index.emplace(key, group);
          plan.groups.push_back({key, 0, {}, transaction});
        }
      }
      last_fields = GroupFields::Of(transaction);
    }
    plan.group_of[i] = group;
    last_group = group;
    Iso2019Group& into = plan.groups[group];
    ++into.count;
    into.sum.Add(transaction.amount);
    plan.total.Add(transaction.amount);
  }
  if (findings.any_refused()) return false;

  plan.total_decimals = 0;
  for (const Iso2019Group& group : plan.groups) plan.total_decimals = std::max(plan.total_decimals, group.first.decimals);
  const std::string total = plan.total.Format(plan.total_decimals);
  if (total.size() - (plan.total_decimals > 0 ? 1 : 0) > kControlSumDigits) {
    findings.SetPayment(Iso2019Finding::kNoPayment);
    findings.Refuse({}, {}, "the sum of all amounts, " + total + ", has more than the 18 digits a file takes; split the batch",
                    "Die Summe aller Betr\xE4ge (" + total + ") hat mehr als 18 Stellen; bitte aufteilen.");
    return false;
  }
  return true;
}

}  // namespace ordexa
