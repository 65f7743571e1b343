// The one table of the automation interface as clients see it: member names, DISPIDs,
// parameter names and types, documentation strings, the enumerations and the classes of
// the type library "Ordexa". The late-bound name tables, the dispatch tables and the type
// information all come from here; the IDL of the Windows type library is checked against it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

#include "ordexa.h"
#include "platform/type_description.h"

namespace ordexa {

// Index of each enumeration in kEnums.
inline constexpr std::uint8_t kPayTypesEnum = 0;
inline constexpr std::uint8_t kPayFileTypesEnum = 1;
inline constexpr std::uint8_t kPayCostsEnum = 2;

namespace member_table_detail {

inline constexpr TypeRef kText{ValueType::kText};
inline constexpr TypeRef kBool{ValueType::kBool};
inline constexpr TypeRef kCurrency{ValueType::kCurrency};
inline constexpr TypeRef kDate{ValueType::kDate};
inline constexpr TypeRef kDispatch{ValueType::kDispatch};
inline constexpr TypeRef kNoValue{ValueType::kVoid};
inline constexpr ParamDescription kNoResult{{}, kNoValue};

// Enumeration values are the names' indexes.
template <std::size_t N>
constexpr std::array<EnumValueDescription, N> EnumValues(const std::string_view (&names)[N]) {
  std::array<EnumValueDescription, N> values{};
  for (std::size_t i = 0; i < N; ++i) values[i] = {names[i], static_cast<std::int32_t>(i)};
  return values;
}

// A property's value is named pVal in both accessors.
inline constexpr ParamDescription kTextValue[] = {{"pVal", kText}};
inline constexpr ParamDescription kBoolValue[] = {{"pVal", kBool}};
inline constexpr ParamDescription kCurrencyValue[] = {{"pVal", kCurrency}};
inline constexpr ParamDescription kDateValue[] = {{"pVal", kDate}};
inline constexpr ParamDescription kCostsValue[] = {{"pVal", {ValueType::kEnum, kPayCostsEnum}}};

constexpr MemberDescription Get(std::int32_t dispid, std::string_view name, std::span<const ParamDescription, 1> value,
                                std::string_view doc) {
  return {MemberKind::kPropertyGet, dispid, name, {}, value[0], doc};
}
constexpr MemberDescription Put(std::int32_t dispid, std::string_view name, std::span<const ParamDescription, 1> value,
                                std::string_view doc) {
  return {MemberKind::kPropertyPut, dispid, name, value, kNoResult, doc};
}
inline constexpr ParamDescription kDispatchValue[] = {{"pVal", kDispatch}};

inline constexpr ParamDescription kNewPaymentParams[] = {{"PayType", {ValueType::kEnum, kPayTypesEnum}}};
inline constexpr ParamDescription kWriteFileParams[] = {{"FileName", kText},
                                                        {"FileType", {ValueType::kEnum, kPayFileTypesEnum}},
                                                        {"payPeriod", kText},
                                                        {"useCHStandard", kBool}};
inline constexpr ParamDescription kCheckParams[] = {{"Nummer", kText}};

// Join(): the members of a base interface followed by those a derived interface adds.
template <std::size_t N, std::size_t M>
constexpr std::array<MemberDescription, N + M> Join(const MemberDescription (&base)[N],
                                                    const MemberDescription (&added)[M]) {
  std::array<MemberDescription, N + M> all{};
  for (std::size_t i = 0; i < N; ++i) all[i] = base[i];
  for (std::size_t i = 0; i < M; ++i) all[N + i] = added[i];
  return all;
}

inline constexpr auto kPayTypesValues = EnumValues(kPayTypesNames);
inline constexpr auto kPayFileTypesValues = EnumValues(kPayFileTypesNames);
inline constexpr auto kPayCostsValues = EnumValues(kPayCostsNames);

}  // namespace member_table_detail

// IPayManager, in slot order.
inline constexpr MemberDescription kPayManagerMembers[] = {
    {MemberKind::kMethod,
     1,
     "NewPayment",
     member_table_detail::kNewPaymentParams,
     {"Payment", member_table_detail::kDispatch},
     "method NewPayment"},
    {MemberKind::kMethod, 2, "WriteFile", member_table_detail::kWriteFileParams, member_table_detail::kNoResult,
     "method WriteFile"},
    member_table_detail::Get(3, "Setting", member_table_detail::kDispatchValue, "property Setting"),
    {MemberKind::kMethod,
     4,
     "CheckPostNr",
     member_table_detail::kCheckParams,
     {"pVal", member_table_detail::kBool},
     "method CheckPostNr"},
    {MemberKind::kMethod,
     5,
     "CheckIbanNr",
     member_table_detail::kCheckParams,
     {"pVal", member_table_detail::kBool},
     "method CheckIbanNr"},
};

// IPayment, in slot order (there is no DISPID 1).
inline constexpr MemberDescription kPaymentMembers[] = {
    member_table_detail::Get(2, "IsSalary", member_table_detail::kBoolValue, "property IsSalary"),
    member_table_detail::Put(2, "IsSalary", member_table_detail::kBoolValue, "property IsSalary"),
    member_table_detail::Get(3, "ESR", member_table_detail::kTextValue, "property ESR"),
    member_table_detail::Put(3, "ESR", member_table_detail::kTextValue, "property ESR"),
    member_table_detail::Get(4, "BankSrc", member_table_detail::kDispatchValue, "property BankSrc"),
    member_table_detail::Get(5, "BankDst", member_table_detail::kDispatchValue, "property BankDst"),
    member_table_detail::Get(6, "Receiver", member_table_detail::kDispatchValue, "property Receiver"),
    member_table_detail::Get(7, "Amount", member_table_detail::kCurrencyValue, "property Amount"),
    member_table_detail::Put(7, "Amount", member_table_detail::kCurrencyValue, "property Amount"),
    member_table_detail::Get(8, "Reason", member_table_detail::kTextValue, "property Reason"),
    member_table_detail::Put(8, "Reason", member_table_detail::kTextValue, "property Reason"),
    member_table_detail::Get(9, "Currency", member_table_detail::kTextValue, "property Currency"),
    member_table_detail::Put(9, "Currency", member_table_detail::kTextValue, "property Currency"),
    member_table_detail::Get(10, "CostCode", member_table_detail::kCostsValue, "property CostCode"),
    member_table_detail::Put(10, "CostCode", member_table_detail::kCostsValue, "property CostCode"),
    member_table_detail::Get(11, "Date", member_table_detail::kDateValue, "property Date"),
    member_table_detail::Put(11, "Date", member_table_detail::kDateValue, "property Date"),
};

// IPaySetting, in slot order.
inline constexpr MemberDescription kPaySettingMembers[] = {
    member_table_detail::Get(1, "Sender", member_table_detail::kDispatchValue, "property Sender"),
    member_table_detail::Get(2, "DtaID", member_table_detail::kTextValue, "property DtaID"),
    member_table_detail::Put(2, "DtaID", member_table_detail::kTextValue, "property DtaID"),
    member_table_detail::Get(3, "CostAccount", member_table_detail::kTextValue, "property CostAccount"),
    member_table_detail::Put(3, "CostAccount", member_table_detail::kTextValue, "property CostAccount"),
    member_table_detail::Get(4, "IsSalary", member_table_detail::kBoolValue, "property IsSalary"),
    member_table_detail::Put(4, "IsSalary", member_table_detail::kBoolValue, "property IsSalary"),
    member_table_detail::Get(5, "DtaID_Sender", member_table_detail::kTextValue, "property DtaID_Sender"),
    member_table_detail::Put(5, "DtaID_Sender", member_table_detail::kTextValue, "property DtaID_Sender"),
    member_table_detail::Get(6, "CostCurrency", member_table_detail::kTextValue, "property CostCurrency"),
    member_table_detail::Put(6, "CostCurrency", member_table_detail::kTextValue, "property CostCurrency"),
};

// IPayAddress, in slot order (the DISPIDs follow the slots, not the record's field order).
inline constexpr MemberDescription kPayAddressMembers[] = {
    member_table_detail::Get(1, "Name1", member_table_detail::kTextValue, "property Name1"),
    member_table_detail::Put(1, "Name1", member_table_detail::kTextValue, "property Name1"),
    member_table_detail::Get(2, "Name2", member_table_detail::kTextValue, "property Name2"),
    member_table_detail::Put(2, "Name2", member_table_detail::kTextValue, "property Name2"),
    member_table_detail::Get(3, "City", member_table_detail::kTextValue, "property City"),
    member_table_detail::Put(3, "City", member_table_detail::kTextValue, "property City"),
    member_table_detail::Get(4, "Street", member_table_detail::kTextValue, "property Street"),
    member_table_detail::Put(4, "Street", member_table_detail::kTextValue, "property Street"),
    member_table_detail::Get(5, "Account", member_table_detail::kTextValue, "property Account"),
    member_table_detail::Put(5, "Account", member_table_detail::kTextValue, "property Account"),
    member_table_detail::Get(6, "ID", member_table_detail::kTextValue, "property ID"),
    member_table_detail::Put(6, "ID", member_table_detail::kTextValue, "property ID"),
    member_table_detail::Get(7, "BIC", member_table_detail::kTextValue, "property BIC"),
    member_table_detail::Put(7, "BIC", member_table_detail::kTextValue, "property BIC"),
};

namespace member_table_detail {

// What IPayAddress2 adds to IPayAddress: the structured parts of a postal address.
inline constexpr MemberDescription kPayAddress2Added[] = {
    Get(8, "StreetName", kTextValue, "property StreetName"),
    Put(8, "StreetName", kTextValue, "property StreetName"),
    Get(9, "BuildingNumber", kTextValue, "property BuildingNumber"),
    Put(9, "BuildingNumber", kTextValue, "property BuildingNumber"),
    Get(10, "PostCode", kTextValue, "property PostCode"),
    Put(10, "PostCode", kTextValue, "property PostCode"),
    Get(11, "Town", kTextValue, "property Town"),
    Put(11, "Town", kTextValue, "property Town"),
    Get(12, "Country", kTextValue, "property Country"),
    Put(12, "Country", kTextValue, "property Country"),
};

}  // namespace member_table_detail

// IPayAddress2, in slot order: every member of IPayAddress, then its own. The address
// object answers late-bound calls with this table.
inline constexpr auto kPayAddress2Members = member_table_detail::Join(kPayAddressMembers,
                                                                      member_table_detail::kPayAddress2Added);

// Index of each interface in kInterfaces.
inline constexpr std::uint8_t kPayManagerInterface = 0;
inline constexpr std::uint8_t kPaymentInterface = 1;
inline constexpr std::uint8_t kPaySettingInterface = 2;
inline constexpr std::uint8_t kPayAddressInterface = 3;
inline constexpr std::uint8_t kPayAddress2Interface = 4;

// A dual interface lists every member it answers, those of the interface it derives from
// first (so the DISPIDs and the late binding are one flat table).
inline constexpr InterfaceDescription kInterfaces[] = {
    {&IID_IPayManager, "IPayManager", "IPayManager Interface", kPayManagerMembers},
    {&IID_IPayment, "IPayment", "IPayment Interface", kPaymentMembers},
    {&IID_IPaySetting, "IPaySetting", "IPaySetting Interface", kPaySettingMembers},
    {&IID_IPayAddress, "IPayAddress", "IPayAddress Interface", kPayAddressMembers},
    {&IID_IPayAddress2, "IPayAddress2", "IPayAddress2 Interface", kPayAddress2Members},
};

// The interface each one of kInterfaces derives from, as its index, or kFromDispatch: in a
// compiled type library a derived interface's vtable part holds only its own members,
// after those of its base.
inline constexpr std::uint8_t kFromDispatch = 0xFF;
inline constexpr std::uint8_t kInterfaceBases[] = {kFromDispatch, kFromDispatch, kFromDispatch, kFromDispatch,
                                                   kPayAddressInterface};
static_assert(std::size(kInterfaceBases) == std::size(kInterfaces));

inline constexpr EnumDescription kEnums[] = {
    {"PayTypes", "The Payment Types.", member_table_detail::kPayTypesValues},
    {"PayFileTypes", "The types of files that can be created.", member_table_detail::kPayFileTypesValues},
    {"PayCosts", "IBAN expence code. Spesenregelung", member_table_detail::kPayCostsValues},
};

inline constexpr CoclassDescription kCoclasses[] = {
    {&CLSID_PayManager, "PayManager", "PayManager Class", true, kPayManagerInterface},
    {&CLSID_Payment, "Payment", "", false, kPaymentInterface},
    {&CLSID_PaySetting, "PaySetting", "PaySetting Class", false, kPaySettingInterface},
    {&CLSID_PayAddress, "PayAddress", "PayAddress Class", false, kPayAddress2Interface},
};

inline constexpr TypeLibraryDescription kOrdexaTypeLibrary = {
    &LIBID_Ordexa, "Ordexa", "Ordexa 1.0 Type Library", 1, 0, 1033, kInterfaces, kEnums, kCoclasses,
};

// Registration texts.
inline constexpr std::string_view kProgId = "Veltrano.PayManager.1";
inline constexpr std::string_view kVersionIndependentProgId = "Veltrano.PayManager";
inline constexpr std::string_view kClassDescription = "CPayManager Object";
inline constexpr std::string_view kAppName = "Ordexa";
inline constexpr std::string_view kModuleName = "Ordexa.DLL";

}  // namespace ordexa
