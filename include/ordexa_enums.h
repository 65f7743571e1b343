// The enumerations of the payment component's automation interface.
#pragma once

#include <string_view>

// The Payment Types.
enum PayTypes : int {
  payManual = 0,
  payESR15 = 1,
  payESR16 = 2,
  payESR17 = 3,
  payRedBank = 4,
  payRedPost = 5,
  payRedTreuhand = 6,
  payPostmandat = 7,
  payForeign = 8,
  payIban = 9,
};

// The types of files that can be created.
enum PayFileTypes : int {
  payDTA = 0,
  payEzag = 1,
  payISO = 2,
  payISO2019 = 3,
};

// IBAN expence code. Spesenregelung
enum PayCosts : int {
  payCostSrc = 0,
  payCostDst = 1,
  payCostBoth = 2,
};

// The enumerations' value names, indexed by value: what the type library lists and what
// batch files spell.
inline constexpr std::string_view kPayTypesNames[] = {"payManual",  "payESR15",   "payESR16",       "payESR17",
                                                      "payRedBank", "payRedPost", "payRedTreuhand", "payPostmandat",
                                                      "payForeign", "payIban"};
inline constexpr std::string_view kPayFileTypesNames[] = {"payDTA", "payEzag", "payISO", "payISO2019"};
inline constexpr std::string_view kPayCostsNames[] = {"payCostSrc", "payCostDst", "payCostBoth"};
