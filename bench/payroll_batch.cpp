// The realistic payroll batch: pools of Swiss and neighbouring names, streets, places and
// banks, account numbers with their real check digits, and a fixed mix of payment kinds.
#include "bench/payroll_batch.h"

#include <array>

#include "format/post_account.h"
#include "model/com_object.h"

namespace ordexa::bench {
namespace {

constexpr std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// The IBAN of `country` and `bban` with its check digits (remainder 1 modulo 97).
std::string MakeIban(std::string_view country, std::string_view bban) {
  std::string rearranged = std::string(bban) + std::string(country) + "00";
  int remainder = 0;
  for (const char c : rearranged) {
    if (c >= 'A' && c <= 'Z') {
      const int number = c - 'A' + 10;
      remainder = (remainder * 100 + number) % 97;
    } else {
      remainder = (remainder * 10 + (c - '0')) % 97;
    }
  }
  const int check = 98 - remainder;
  std::string iban(country);
  iban.push_back(static_cast<char>('0' + check / 10));
  iban.push_back(static_cast<char>('0' + check % 10));
  iban.append(bban);
  return iban;
}

// The paper form: groups of four characters.
std::string Grouped(std::string_view iban) {
  std::string text;
  for (std::size_t i = 0; i < iban.size(); ++i) {
    if (i != 0 && i % 4 == 0) text.push_back(' ');
    text.push_back(iban[i]);
  }
  return text;
}

std::string Digits(std::uint64_t value, int width) {
  std::string text(static_cast<std::size_t>(width), '0');
  for (int i = width - 1; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return text;
}

std::string WithCheckDigit(std::string digits) {
  digits.push_back(CheckDigitMod10(digits));
  return digits;
}

const std::vector<std::string> kFirstNames = {
    "Anna", "Jürg", "Mägi", "Björn", "Zoë", "Renée", "Łukasz", "Ömer", "Noémie", "Gülsen", "François", "Beat",
    "Ursula", "Marco", "Sandra", "Peter", "Fatima", "Luca", "Réka", "Thomas", "Käthi", "Hans-Rudolf", "Chloé",
    "Dragan", "Ana-María", "Rüdiger", "Séverine", "Giulia", "Matthias", "Élodie", "Nicolò", "Sören", "Leonie",
    "Dominik", "Aylin", "Jérôme", "Brigitte", "Mirjam", "Sébastien", "Åsa"};
const std::vector<std::string> kLastNames = {
    "Müller", "Schäfer", "Brändli", "Zürcher", "Nägeli", "Studer", "Bösch", "Meier", "Keller", "Rossi",
    "Bernasconi", "Dubois", "Favre", "Gerber", "Huber", "Lüthi", "Wüthrich", "Kälin", "Schnyder", "Frei",
    "Gächter", "Jäggi", "Bühlmann", "Rüegg", "Krähenbühl", "Dürrenmatt", "Berisha", "Nowak", "Dos Santos",
    "Fässler", "Hürlimann", "Mösching", "Perrenoud", "Ackermann", "Weiß", "Çelik", "Häfliger", "Tschümperlin",
    "Lötscher", "Blättler"};
const std::vector<std::string> kStreets = {
    "Bahnhofstrasse", "Seestrasse", "Dorfstrasse", "Hauptstraße", "Kirchweg", "Rue du Lac", "Via Cantonale",
    "Zürcherstrasse", "Obergrundstrasse", "Würzenbachstrasse", "Gartenweg", "Rämistrasse", "Chemin des Écoliers",
    "Löwenplatz", "Mühlegasse", "Schützenmattstrasse", "Avenue de la Gare", "Bündtenweg", "Sägereistrasse",
    "Höhenweg", "Grütlistrasse", "Rosenbergstrasse", "Via Nassa", "Marktgasse", "Pilatusstrasse"};
const std::vector<std::string> kCities = {
    "8001 Zürich",   "3000 Bern 1",     "1201 Genève",   "6900 Lugano",       "4051 Basel",
    "9000 St. Gallen", "6003 Luzern",   "2502 Biel/Bienne", "1700 Fribourg",  "7000 Chur",
    "8400 Winterthur", "5000 Aarau",    "6300 Zug",      "1003 Lausanne",     "2000 Neuchâtel",
    "8200 Schaffhausen", "6280 Hochdorf", "8800 Thalwil", "6020 Emmenbrücke", "3900 Brig",
    "1950 Sion",     "8570 Weinfelden", "4500 Solothurn", "8645 Rapperswil-Jona", "3800 Interlaken"};
const std::vector<std::string> kForeignCities = {"D-79539 Lörrach", "F-68300 Saint-Louis", "A-6900 Bregenz",
                                                 "I-22100 Como", "FL-9490 Vaduz", "D-78462 Konstanz"};
const std::vector<std::string> kReasons = {
    "Lohn Dezember 2026", "13. Monatslohn 2026", "Spesenvergütung Dezember 2026", "Lohn Dezember 2026 inkl. Überzeit",
    "Kinderzulagen Dezember", "Salaire décembre 2026", "Stipendio dicembre 2026", "Lehrlingslohn Dezember 2026",
    "Gratifikation 2026", "Lohnnachzahlung November"};
const std::vector<std::string> kName2s = {"c/o Familie Brändli", "Lohnkonto", "z. Hd. Frau Gächter", "Postfach"};

struct BankText {
  const char* name;
  const char* city;
  const char* clearing;
};
constexpr BankText kBanks[] = {
    {"UBS Switzerland AG", "8098 Zürich", "230"},
    {"Zürcher Kantonalbank", "8010 Zürich", "700"},
    {"Luzerner Kantonalbank", "6003 Luzern", "778"},
    {"Banque Cantonale Vaudoise", "1003 Lausanne", "767"},
    {"Raiffeisenbank Hochdorf", "6280 Hochdorf", "80808"},
    {"Berner Kantonalbank", "3001 Bern", "790"},
    {"Banca dello Stato del Cantone Ticino", "6501 Bellinzona", "764"},
    {"St. Galler Kantonalbank", "9001 St. Gallen", "781"},
    {"Migros Bank", "8010 Zürich", "8401"},
    {"Graubündner Kantonalbank", "7002 Chur", "774"},
};
struct ForeignBankText {
  const char* name;
  const char* city;
  const char* bic;
  const char* country;
  int bban_digits;
};
constexpr ForeignBankText kForeignBanks[] = {
    {"Commerzbank", "Köln", "COBADEFFXXX", "DE", 18},
    {"Sparkasse Lörrach-Rheinfelden", "Lörrach", "SKLODE66XXX", "DE", 18},
    {"BNP Paribas", "Mulhouse", "BNPAFRPPXXX", "FR", 23},
    {"Erste Bank der österreichischen Sparkassen", "Wien", "GIBAATWWXXX", "AT", 16},
    {"UniCredit", "Como", "UNCRITMMXXX", "IT", 23},
};
const std::vector<std::string> kInstitutions = {"Pensionskasse Zentralschweiz", "Ausgleichskasse Luzern",
                                                "Dienststelle Steuern Quellensteuer", "SUVA Luzern",
                                                "Krankenkasse Sanitas", "Familienausgleichskasse Zürich"};

void AppendUtf16(std::u16string& out, char32_t code_point) {
  if (code_point < 0x10000) {
    out.push_back(static_cast<char16_t>(code_point));
  } else {
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t code_point = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    ++i;
    for (; extra > 0 && i < utf8.size(); --extra, ++i) {
      code_point = (code_point << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    }
    AppendUtf16(out, code_point);
  }
  return out;
}

TextId PayrollBatch::Add(std::string_view utf8) {
  utf8_.emplace_back(utf8);
  const std::u16string wide = Utf8ToUtf16(utf8);
  caller_.push_back(SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
  return static_cast<TextId>(utf8_.size() - 1);
}

std::vector<TextId> PayrollBatch::AddAll(const std::vector<std::string>& texts) {
  std::vector<TextId> ids;
  for (const std::string& text : texts) ids.push_back(Add(text));
  return ids;
}

PayrollBatch::PayrollBatch(std::size_t count, PayrollVintage vintage) : count_(count), vintage_(vintage) {
  Add("");  // TextId 0: not given
  for (const std::string& first : kFirstNames) {
    for (const std::string& last : kLastNames) names_.push_back(Add(first + " " + last));
  }
  for (const std::string& street : kStreets) {
    for (int number = 1; number <= 60; number += 3) streets_.push_back(Add(street + " " + std::to_string(number)));
  }
  cities_ = AddAll(kCities);
  foreign_cities_ = AddAll(kForeignCities);
  reasons_ = AddAll(kReasons);
  name2s_ = AddAll(kName2s);
  institutions_ = AddAll(kInstitutions);
  for (const BankText& bank : kBanks) banks_.push_back({Add(bank.name), Add(bank.city), Add(bank.clearing)});
  for (const ForeignBankText& bank : kForeignBanks) {
    foreign_banks_.push_back({Add(bank.name), Add(bank.city), Add(bank.bic)});
  }
  // Account numbers: every employee has an account of one of the banks; half are typed
  // in their paper form with blanks.
  constexpr std::size_t kAccounts = 8192;
  for (std::size_t i = 0; i < kAccounts; ++i) {
    const std::uint64_t h = Mix(i);
    const BankText& bank = kBanks[i % std::size(kBanks)];
    const std::string clearing = Digits(std::stoull(bank.clearing), 5);
    const std::string iban = MakeIban(i % 37 == 0 ? "LI" : "CH", clearing + Digits(h % 1000000000000ull, 12));
    swiss_ibans_.push_back(Add(i % 2 == 0 ? Grouped(iban) : iban));
  }
  for (std::size_t i = 0; i < 512; ++i) {
    const ForeignBankText& bank = kForeignBanks[i % std::size(kForeignBanks)];
    std::string bban = Digits(Mix(i + 77) % 1000000000000000000ull, bank.bban_digits > 18 ? 18 : bank.bban_digits);
    if (bank.bban_digits > 18) bban += Digits(Mix(i + 99) % 100000, bank.bban_digits - 18);
    if (std::string_view(bank.country) == "IT") bban[0] = static_cast<char>('A' + i % 26);
    foreign_ibans_.push_back(Add(Grouped(MakeIban(bank.country, bban))));
  }
  static constexpr std::array<int, 8> kPostPrefixes = {10, 30, 40, 60, 80, 85, 87, 90};
  for (std::size_t i = 0; i < 1024; ++i) {
    const int prefix = kPostPrefixes[i % kPostPrefixes.size()];
    const std::uint64_t number = 1 + Mix(i + 5) % 999999;
    const std::string check = WithCheckDigit(Digits(static_cast<std::uint64_t>(prefix), 2) + Digits(number, 6));
    post_accounts_.push_back(Add(std::to_string(prefix) + "-" + std::to_string(number) + "-" + check.back()));
  }
  for (std::size_t i = 0; i < 64; ++i) esr_participants_.push_back(Add(WithCheckDigit("01" + Digits(Mix(i + 3) % 1000000, 6))));
  for (std::size_t i = 0; i < 4096; ++i) {
    esr27_.push_back(Add(WithCheckDigit(Digits(Mix(i + 11) % 100000000000000ull, 14) + Digits(Mix(i + 13) % 1000000000000ull, 12))));
    esr15_.push_back(Add(WithCheckDigit(Digits(Mix(i + 17) % 100000000000000ull, 14))));
  }
  // QR-IBANs: the IID (positions 5 to 9) between 30000 and 31999.
  for (std::size_t i = 0; i < 64; ++i) {
    qr_ibans_.push_back(Add(MakeIban("CH", Digits(30000 + Mix(i + 31) % 2000, 5) + Digits(Mix(i + 37) % 1000000000000ull, 12))));
  }
  chf_ = Add("CHF");
  eur_ = Add("EUR");
  postfinance_ = Add("PostFinance AG");
  postfinance_city_ = Add("3030 Bern");
  postfinance_id_ = Add("9000");
  debtor_bank_ = {Add("Zürcher Kantonalbank"), 0, 0, Add("8010 Zürich"), Add("700"),
                  Add(MakeIban("CH", "00700" + Digits(110001234567ull, 12))), 0};

  settings_.sender = {Add("Müller & Söhne Bau AG"), Add("Lohnbüro"), Add("Industriestrasse 12"), Add("8604 Volketswil"),
                      0, 0, 0};
  settings_.dta_id = Add("MSB01");
  settings_.dta_id_sender = Add("MSB01");
  settings_.cost_account = Add("80-2-2");
  settings_.cost_currency = chf_;
  settings_.is_salary = true;
}

PayrollBatch::~PayrollBatch() {
  for (BSTR text : caller_) SysFreeString(text);
}

PaymentOrder PayrollBatch::Payment(std::size_t index) const {
  const std::uint64_t h = Mix(index);
  auto pick = [h](const std::vector<TextId>& pool, int salt) {
    return pool[static_cast<std::size_t>(Mix(h + static_cast<std::uint64_t>(salt)) % pool.size())];
  };
  PaymentOrder p;
  p.day = index % 50 == 0 ? 20 : 25;
  // Salaries between 1'000 and 13'000 francs with rappen, in ten-thousandths.
  p.amount = static_cast<std::int64_t>(100000 + h % 1200000) * 100;
  p.bank_src = debtor_bank_;
  p.receiver = {pick(names_, 1), h % 23 == 0 ? pick(name2s_, 2) : 0, pick(streets_, 3), pick(cities_, 4), 0, 0, 0};
  p.reason = pick(reasons_, 5);
  // An account of the bank named: the pools hold the banks' accounts in turn.
  const std::size_t bank_index = Mix(h + 6) % banks_.size();
  const Bank& bank = banks_[bank_index];
  const TextId bank_iban =
      swiss_ibans_[bank_index + banks_.size() * (Mix(h + 7) % (swiss_ibans_.size() / banks_.size()))];
  const int kind = static_cast<int>(index % 100);
  if (kind < 62) {
    p.type = payIban;
    p.is_salary = true;
    p.bank_dst = {bank.name, 0, 0, bank.city, 0, bank_iban, 0};
    if (kind % 10 == 3) p.cost_code = payCostBoth;
  } else if (kind < 68) {
    // Cross-border commuters, paid in euros to their home bank.
    const std::size_t foreign_index = Mix(h + 8) % foreign_banks_.size();
    const Bank& foreign = foreign_banks_[foreign_index];
    const TextId foreign_iban =
        foreign_ibans_[foreign_index +
                       foreign_banks_.size() * (Mix(h + 9) % (foreign_ibans_.size() / foreign_banks_.size()))];
    p.type = payIban;
    p.is_salary = true;
    p.currency = eur_;
    p.cost_code = kind % 2 == 0 ? payCostSrc : payCostBoth;
    p.bank_dst = {foreign.name, 0, 0, foreign.city, 0, foreign_iban, foreign.clearing};
    p.receiver.city = pick(foreign_cities_, 10);
  } else if (kind < 74) {
    p.type = payRedBank;
    p.is_salary = true;
    p.bank_dst = {bank.name, 0, 0, bank.city, bank.clearing, pick(post_accounts_, 11), 0};
  } else if (kind < 79) {
    p.type = payRedPost;
    p.bank_dst = {postfinance_, 0, 0, postfinance_city_, 0, pick(post_accounts_, 12), 0};
  } else if (kind < 81) {
    p.type = payRedTreuhand;
    p.bank_src = {pick(names_, 13), 0, pick(streets_, 14), pick(cities_, 15), pick(post_accounts_, 16),
                  pick(post_accounts_, 16), 0};
    p.bank_dst = {0, 0, 0, 0, pick(post_accounts_, 17), pick(swiss_ibans_, 18), 0};
  } else if (kind < 83) {
    p.type = payPostmandat;
    p.bank_dst = {};
  } else if (kind < 85) {
    p.type = payManual;
    p.bank_dst = {0, 0, 0, 0, bank.clearing, pick(post_accounts_, 19), 0};
  } else if (vintage_ == PayrollVintage::k2019) {
    // Bills paid by QR-bill: the biller's QR-IBAN and the slip's QR reference.
    p.type = payIban;
    p.reason = 0;
    p.esr = pick(esr27_, 21);
    p.receiver = {pick(institutions_, 22), 0, pick(streets_, 23), pick(cities_, 24), 0, 0, 0};
    p.bank_dst = {0, 0, 0, 0, 0, pick(qr_ibans_, 25), 0};
  } else if (kind < 86) {
    p.type = payForeign;
    p.receiver.city = pick(foreign_cities_, 20);
  } else {
    p.type = kind < 92 ? payESR16 : kind < 96 ? payESR15 : payESR17;
    p.reason = 0;
    p.esr = p.type == payESR15 ? pick(esr15_, 21) : pick(esr27_, 21);
    p.receiver = {pick(institutions_, 22), 0, pick(streets_, 23), pick(cities_, 24), 0, 0, 0};
    p.bank_dst = {postfinance_, 0, 0, postfinance_city_, postfinance_id_, pick(esr_participants_, 25), 0};
  }
  return p;
}

namespace {

// The serial day of a calendar date in the automation date system (day 0 is 30 December 1899).
DATE AutomationDate(int year, int month, int day) {
  const int y = month <= 2 ? year - 1 : year;
  const int era = y / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days_since_1970 = static_cast<long>(era) * 146097 + doe - 719468;
  return static_cast<DATE>(days_since_1970 + 25569);
}

template <class Interface>
ComPtr<Interface> As(IDispatch* dispatch, REFIID iid) {
  void* object = nullptr;
  if (dispatch == nullptr || FAILED(dispatch->QueryInterface(iid, &object))) return ComPtr<Interface>();
  return ComPtr<Interface>(static_cast<Interface*>(object));
}

bool PutAddress(IDispatch* dispatch, const PayrollBatch& batch, const AddressTexts& order) {
  const ComPtr<IPayAddress> address = As<IPayAddress>(dispatch, IID_IPayAddress);
  if (!address) return false;
  const std::pair<TextId, HRESULT (IPayAddress::*)(BSTR)> puts[] = {
      {order.name1, &IPayAddress::put_Name1}, {order.name2, &IPayAddress::put_Name2},
      {order.street, &IPayAddress::put_Street}, {order.city, &IPayAddress::put_City},
      {order.id, &IPayAddress::put_ID},       {order.account, &IPayAddress::put_Account},
      {order.bic, &IPayAddress::put_BIC}};
  for (const auto& [text, put] : puts) {
    if (text != 0 && FAILED((address.get()->*put)(batch.Caller(text)))) return false;
  }
  return true;
}

bool PutAddressOf(HRESULT (IPayment::*get)(IDispatch**), IPayment& payment, const PayrollBatch& batch,
                  const AddressTexts& order) {
  IDispatch* dispatch = nullptr;
  if (FAILED((payment.*get)(&dispatch))) return false;
  const bool ok = PutAddress(dispatch, batch, order);
  dispatch->Release();
  return ok;
}

}  // namespace

bool FillManager(IPayManager& manager, const PayrollBatch& batch) {
  {
    IDispatch* dispatch = nullptr;
    if (FAILED(manager.get_Setting(&dispatch))) return false;
    const ComPtr<IPaySetting> setting = As<IPaySetting>(dispatch, IID_IPaySetting);
    dispatch->Release();
    if (!setting) return false;
    const SettingTexts& order = batch.settings();
    IDispatch* sender = nullptr;
    if (FAILED(setting->get_Sender(&sender))) return false;
    const bool sender_ok = PutAddress(sender, batch, order.sender);
    sender->Release();
    if (!sender_ok || FAILED(setting->put_DtaID(batch.Caller(order.dta_id))) ||
        FAILED(setting->put_DtaID_Sender(batch.Caller(order.dta_id_sender))) ||
        FAILED(setting->put_CostAccount(batch.Caller(order.cost_account))) ||
        FAILED(setting->put_CostCurrency(batch.Caller(order.cost_currency))) ||
        FAILED(setting->put_IsSalary(order.is_salary ? VARIANT_TRUE : VARIANT_FALSE))) {
      return false;
    }
  }
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const PaymentOrder order = batch.Payment(i);
    IDispatch* dispatch = nullptr;
    if (FAILED(manager.NewPayment(order.type, &dispatch))) return false;
    const ComPtr<IPayment> payment = As<IPayment>(dispatch, IID_IPayment);
    dispatch->Release();
    if (!payment) return false;
    IPayment& p = *payment.get();
    CY amount;
    amount.int64 = order.amount;
    bool ok = SUCCEEDED(p.put_Date(AutomationDate(order.year, order.month, order.day))) &&
              SUCCEEDED(p.put_Amount(amount));
    if (order.reason != 0) ok = ok && SUCCEEDED(p.put_Reason(batch.Caller(order.reason)));
    if (order.esr != 0) ok = ok && SUCCEEDED(p.put_ESR(batch.Caller(order.esr)));
    if (order.currency != 0) ok = ok && SUCCEEDED(p.put_Currency(batch.Caller(order.currency)));
    if (order.is_salary) ok = ok && SUCCEEDED(p.put_IsSalary(VARIANT_TRUE));
    if (order.cost_code >= 0) ok = ok && SUCCEEDED(p.put_CostCode(static_cast<PayCosts>(order.cost_code)));
    ok = ok && PutAddressOf(&IPayment::get_BankSrc, p, batch, order.bank_src) &&
         PutAddressOf(&IPayment::get_BankDst, p, batch, order.bank_dst) &&
         PutAddressOf(&IPayment::get_Receiver, p, batch, order.receiver);
    if (!ok) return false;
  }
  return true;
}

namespace {

// Late-bound calls as a compiled client makes them: each member's DISPID asked once per
// class through GetIDsOfNames, then every call through Invoke with VARIANT arguments.
class LateBound {
 public:
  // Id(): the DISPID of `name` on `object`, remembered in `slot`.
  static DISPID Id(IDispatch* object, DISPID& slot, const char16_t* name) {
    if (slot == DISPID_UNKNOWN) {
      std::u16string copy = name;
      LPOLESTR names[] = {copy.data()};
      if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, 1033, &slot))) slot = DISPID_UNKNOWN;
    }
    return slot;
  }

  static bool Put(IDispatch* object, DISPID id, VARIANT value) {
    DISPID put_marker = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &put_marker, 1, 1};
    return SUCCEEDED(object->Invoke(id, IID_NULL, 1033, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr));
  }

  static bool PutText(IDispatch* object, DISPID id, BSTR text) {
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = text;  // the batch keeps owning it
    return Put(object, id, value);
  }

  // Object(): the object a property or method (with at most one argument) gives, or null.
  static IDispatch* Object(IDispatch* object, DISPID id, WORD flags, VARIANT* argument) {
    DISPPARAMS params{argument, nullptr, argument != nullptr ? 1u : 0u, 0};
    VARIANT result;
    VariantInit(&result);
    if (FAILED(object->Invoke(id, IID_NULL, 1033, flags, &params, &result, nullptr, nullptr))) return nullptr;
    if (result.vt != VT_DISPATCH) {
      VariantClear(&result);
      return nullptr;
    }
    return result.pdispVal;  // the caller's reference now
  }
};

struct AddressIds {
  DISPID name1 = DISPID_UNKNOWN, name2 = DISPID_UNKNOWN, street = DISPID_UNKNOWN, city = DISPID_UNKNOWN,
         id = DISPID_UNKNOWN, account = DISPID_UNKNOWN, bic = DISPID_UNKNOWN;
};

bool PutAddressLate(IDispatch* address, const PayrollBatch& batch, const AddressTexts& order, AddressIds& ids) {
  if (address == nullptr) return false;
  const struct {
    TextId text;
    DISPID& id;
    const char16_t* name;
  } puts[] = {{order.name1, ids.name1, u"Name1"}, {order.name2, ids.name2, u"Name2"},
              {order.street, ids.street, u"Street"}, {order.city, ids.city, u"City"},
              {order.id, ids.id, u"ID"},         {order.account, ids.account, u"Account"},
              {order.bic, ids.bic, u"BIC"}};
  bool ok = true;
  for (const auto& put : puts) {
    if (put.text != 0) {
      ok = ok && LateBound::PutText(address, LateBound::Id(address, put.id, put.name), batch.Caller(put.text));
    }
  }
  address->Release();
  return ok;
}

}  // namespace

bool FillManagerLateBound(IDispatch& manager, const PayrollBatch& batch) {
  using L = LateBound;
  AddressIds address_ids;
  {
    DISPID setting_id = DISPID_UNKNOWN;
    IDispatch* setting = L::Object(&manager, L::Id(&manager, setting_id, u"Setting"), DISPATCH_PROPERTYGET, nullptr);
    if (setting == nullptr) return false;
    const SettingTexts& order = batch.settings();
    DISPID sender_id = DISPID_UNKNOWN, dta_id = DISPID_UNKNOWN, dta_id_sender = DISPID_UNKNOWN,
           cost_account = DISPID_UNKNOWN, cost_currency = DISPID_UNKNOWN, is_salary = DISPID_UNKNOWN;
    VARIANT salary;
    salary.vt = VT_BOOL;
    salary.boolVal = order.is_salary ? VARIANT_TRUE : VARIANT_FALSE;
    const bool ok =
        PutAddressLate(L::Object(setting, L::Id(setting, sender_id, u"Sender"), DISPATCH_PROPERTYGET, nullptr), batch,
                       order.sender, address_ids) &&
        L::PutText(setting, L::Id(setting, dta_id, u"DtaID"), batch.Caller(order.dta_id)) &&
        L::PutText(setting, L::Id(setting, dta_id_sender, u"DtaID_Sender"), batch.Caller(order.dta_id_sender)) &&
        L::PutText(setting, L::Id(setting, cost_account, u"CostAccount"), batch.Caller(order.cost_account)) &&
        L::PutText(setting, L::Id(setting, cost_currency, u"CostCurrency"), batch.Caller(order.cost_currency)) &&
        L::Put(setting, L::Id(setting, is_salary, u"IsSalary"), salary);
    setting->Release();
    if (!ok) return false;
  }
  DISPID new_payment = DISPID_UNKNOWN, date = DISPID_UNKNOWN, amount = DISPID_UNKNOWN, reason = DISPID_UNKNOWN,
         esr = DISPID_UNKNOWN, currency = DISPID_UNKNOWN, is_salary = DISPID_UNKNOWN, cost_code = DISPID_UNKNOWN,
         bank_src = DISPID_UNKNOWN, bank_dst = DISPID_UNKNOWN, receiver = DISPID_UNKNOWN;
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const PaymentOrder order = batch.Payment(i);
    VARIANT type;
    type.vt = VT_I4;
    type.lVal = order.type;
    IDispatch* p = L::Object(&manager, L::Id(&manager, new_payment, u"NewPayment"), DISPATCH_METHOD, &type);
    if (p == nullptr) return false;
    VARIANT when;
    when.vt = VT_DATE;
    when.date = AutomationDate(order.year, order.month, order.day);
    VARIANT money;
    money.vt = VT_CY;
    money.cyVal.int64 = order.amount;
    bool ok = L::Put(p, L::Id(p, date, u"Date"), when) && L::Put(p, L::Id(p, amount, u"Amount"), money);
    if (order.reason != 0) ok = ok && L::PutText(p, L::Id(p, reason, u"Reason"), batch.Caller(order.reason));
    if (order.esr != 0) ok = ok && L::PutText(p, L::Id(p, esr, u"ESR"), batch.Caller(order.esr));
    if (order.currency != 0) ok = ok && L::PutText(p, L::Id(p, currency, u"Currency"), batch.Caller(order.currency));
    if (order.is_salary) {
      VARIANT salary;
      salary.vt = VT_BOOL;
      salary.boolVal = VARIANT_TRUE;
      ok = ok && L::Put(p, L::Id(p, is_salary, u"IsSalary"), salary);
    }
    if (order.cost_code >= 0) {
      VARIANT code;
      code.vt = VT_I4;
      code.lVal = order.cost_code;
      ok = ok && L::Put(p, L::Id(p, cost_code, u"CostCode"), code);
    }
    ok = ok &&
         PutAddressLate(L::Object(p, L::Id(p, bank_src, u"BankSrc"), DISPATCH_PROPERTYGET, nullptr), batch,
                        order.bank_src, address_ids) &&
         PutAddressLate(L::Object(p, L::Id(p, bank_dst, u"BankDst"), DISPATCH_PROPERTYGET, nullptr), batch,
                        order.bank_dst, address_ids) &&
         PutAddressLate(L::Object(p, L::Id(p, receiver, u"Receiver"), DISPATCH_PROPERTYGET, nullptr), batch,
                        order.receiver, address_ids);
    p->Release();
    if (!ok) return false;
  }
  return true;
}

namespace {

void WriteJsonString(std::FILE* out, std::string_view text) {
  std::fputc('"', out);
  for (const char c : text) {
    if (c == '"' || c == '\\') std::fputc('\\', out);
    std::fputc(c, out);
  }
  std::fputc('"', out);
}

void WriteJsonAddress(std::FILE* out, const PayrollBatch& batch, const char* key, const AddressTexts& order) {
  const std::pair<const char*, TextId> fields[] = {{"Name1", order.name1}, {"Name2", order.name2},
                                                   {"Street", order.street}, {"City", order.city},
                                                   {"ID", order.id},       {"Account", order.account},
                                                   {"BIC", order.bic}};
  std::fprintf(out, ", \"%s\": {", key);
  bool first = true;
  for (const auto& [name, text] : fields) {
    if (text == 0) continue;
    std::fprintf(out, "%s\"%s\": ", first ? "" : ", ", name);
    WriteJsonString(out, batch.Utf8(text));
    first = false;
  }
  std::fputc('}', out);
}

}  // namespace

void WriteBatchJson(const PayrollBatch& batch, std::FILE* out) {
  const SettingTexts& settings = batch.settings();
  std::fputs("{\n  \"settings\": {\"IsSalary\": true", out);
  WriteJsonAddress(out, batch, "Sender", settings.sender);
  const std::pair<const char*, TextId> texts[] = {{"DtaID", settings.dta_id}, {"DtaID_Sender", settings.dta_id_sender},
                                                  {"CostAccount", settings.cost_account},
                                                  {"CostCurrency", settings.cost_currency}};
  for (const auto& [name, text] : texts) {
    std::fprintf(out, ", \"%s\": ", name);
    WriteJsonString(out, batch.Utf8(text));
  }
  std::fputs("},\n  \"payments\": [\n", out);
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const PaymentOrder p = batch.Payment(i);
    std::fprintf(out, "    {\"PayType\": \"%s\", \"Date\": \"%04d-%02d-%02d\", \"Amount\": \"%lld.%02lld\"",
                 std::string(kPayTypesNames[p.type]).c_str(), p.year, p.month, p.day,
                 static_cast<long long>(p.amount / 10000), static_cast<long long>(p.amount / 100 % 100));
    if (p.is_salary) std::fputs(", \"IsSalary\": true", out);
    if (p.cost_code >= 0) std::fprintf(out, ", \"CostCode\": \"%s\"", std::string(kPayCostsNames[p.cost_code]).c_str());
    const std::pair<const char*, TextId> payment_texts[] = {{"Reason", p.reason}, {"ESR", p.esr}, {"Currency", p.currency}};
    for (const auto& [name, text] : payment_texts) {
      if (text == 0) continue;
      std::fprintf(out, ", \"%s\": ", name);
      WriteJsonString(out, batch.Utf8(text));
    }
    WriteJsonAddress(out, batch, "BankSrc", p.bank_src);
    WriteJsonAddress(out, batch, "BankDst", p.bank_dst);
    WriteJsonAddress(out, batch, "Receiver", p.receiver);
    std::fputs(i + 1 == batch.size() ? "}\n" : "},\n", out);
  }
  std::fputs("  ]\n}\n", out);
}

}  // namespace ordexa::bench
