// The sample batch. Every IBAN passes its check, every postal account and ESR reference
// carries its modulo 10 check digit, so the files look as a bank would receive them.
#include "tools/payfile/demo_batch.h"

namespace ordexa::payfile {

std::string_view DemoBatchJson() {
  static constexpr std::string_view kBatch = R"json({
  "settings": {
    "Sender": {"Name1": "Schreinerei Amrein AG", "Street": "Werkstrasse 14", "City": "6030 Ebikon",
               "Account": "CH0400778010123456789"},
    "DtaID": "AMR01", "DtaID_Sender": "AMR01", "CostAccount": "60-9-9", "IsSalary": true, "CostCurrency": "CHF"
  },
  "payments": [
    {"PayType": "payIban", "Date": "2024-06-25", "Amount": "6240.35", "IsSalary": true, "Reason": "Lohn Juni 2024",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "UBS Switzerland AG", "City": "8001 Zürich", "Account": "CH93 0076 2011 6238 5295 7"},
     "Receiver": {"Name1": "Anna Müller", "Street": "Bahnhofstrasse 5", "City": "6003 Luzern"}},
    {"PayType": "payIban", "Date": "2024-06-25", "Amount": "5875.80", "IsSalary": true, "Reason": "Lohn Juni 2024",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "Credit Suisse", "City": "6900 Lugano", "Account": "CH5604835012345678009"},
     "Receiver": {"Name1": "Marco Bernasconi", "Street": "Via Cantonale 12", "City": "6900 Lugano"}},
    {"PayType": "payIban", "Date": "2024-06-25", "Amount": "4980.00", "IsSalary": true, "Reason": "Lohn Juni 2024",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "Zürcher Kantonalbank", "City": "8001 Zürich", "Account": "CH70 0070 0110 0055 5512 3"},
     "Receiver": {"Name1": "Sandra Keller", "Street": "Dorfstrasse 21", "City": "6030 Ebikon"}},
    {"PayType": "payIban", "Date": "2024-06-25", "Amount": "5310.65", "IsSalary": true, "Reason": "Lohn Juni 2024",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "UBS Switzerland AG", "City": "6002 Luzern", "Account": "CH8900235000012345678"},
     "Receiver": {"Name1": "Luca Rossi", "Street": "Seestrasse 88", "City": "6052 Hergiswil"}},
    {"PayType": "payIban", "Date": "2024-06-25", "Amount": "7125.20", "IsSalary": true, "Reason": "Lohn Juni 2024",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "Raiffeisenbank Hochdorf", "City": "6280 Hochdorf", "Account": "CH3880808001234567890"},
     "Receiver": {"Name1": "Peter Zürcher", "Street": "Hauptstrasse 3", "City": "6280 Hochdorf"}},
    {"PayType": "payIban", "Date": "2024-06-25", "Amount": "1150.00", "IsSalary": true,
     "Reason": "Lehrlingslohn Juni 2024",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "PostFinance AG", "City": "3030 Bern", "Account": "CH71 0900 0000 2501 2345 6"},
     "Receiver": {"Name1": "Fatima Berisha", "Street": "Kirchweg 7", "City": "6020 Emmenbrücke"}},
    {"PayType": "payIban", "Date": "2024-06-25", "Amount": "5120.00", "Currency": "EUR", "IsSalary": true,
     "Reason": "Lohn Juni 2024",
     "CostCode": "payCostSrc",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "Commerzbank", "City": "Köln", "Account": "DE89 3704 0044 0532 0130 00",
                 "BIC": "COBADEFFXXX"},
     "Receiver": {"Name1": "Thomas Becker", "Street": "Rheinstrasse 40", "City": "D-79539 Lörrach"}},
    {"PayType": "payRedBank", "Date": "2024-06-25", "Amount": "3950.00", "IsSalary": true, "Reason": "Lohn Juni 2024",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "Zürcher Kantonalbank", "City": "8001 Zürich", "ID": "700", "Account": "1100-0555.512"},
     "Receiver": {"Name1": "Beat Schnyder", "Street": "Gartenweg 2", "City": "6010 Kriens"}},
    {"PayType": "payRedPost", "Date": "2024-06-25", "Amount": "850.00", "Reason": "Lohnpfändung S. Keller Juni 2024",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "PostFinance AG", "City": "3030 Bern", "Account": "01-162-8"},
     "Receiver": {"Name1": "Betreibungsamt Luzern", "Street": "Obergrundstrasse 51", "City": "6002 Luzern"}},
    {"PayType": "payESR16", "Date": "2024-06-25", "Amount": "4630.40", "ESR": "210000000003139471430009017",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "PostFinance AG", "City": "3030 Bern", "ID": "9000", "Account": "010391391"},
     "Receiver": {"Name1": "Pensionskasse Zentralschweiz", "Street": "Pilatusstrasse 30", "City": "6002 Luzern"}},
    {"PayType": "payESR16", "Date": "2024-06-25", "Amount": "3895.15", "ESR": "000000000000240610012345673",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "PostFinance AG", "City": "3030 Bern", "ID": "9000", "Account": "010137958"},
     "Receiver": {"Name1": "Ausgleichskasse Luzern", "Street": "Würzenbachstrasse 8", "City": "6006 Luzern"}},
    {"PayType": "payESR16", "Date": "2024-06-25", "Amount": "612.70", "ESR": "123456000000000002024061504",
     "BankSrc": {"Name1": "Luzerner Kantonalbank", "City": "6003 Luzern", "ID": "778",
                 "Account": "CH0400778010123456789"},
     "BankDst": {"Name1": "PostFinance AG", "City": "3030 Bern", "ID": "9000", "Account": "010043777"},
     "Receiver": {"Name1": "Dienststelle Steuern", "Name2": "Quellensteuer", "Street": "Buobenmatt 1",
                  "City": "6002 Luzern"}}
  ]
})json";
  return kBatch;
}

}  // namespace ordexa::payfile
