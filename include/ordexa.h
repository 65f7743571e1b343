// The payment component's automation interface: IPayManager, IPayment, IPaySetting,
// IPayAddress and IPayAddress2 (dual interfaces; members in their slot order, property get
// before put), the enumerations and the class, interface and type library GUIDs.
#pragma once

#include "oaidl.h"
#include "oleauto.h"
#include "ordexa_enums.h"
#include "unknwn.h"

// {6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F01}
inline constexpr GUID LIBID_Ordexa = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x01}};
inline constexpr CLSID CLSID_PayManager = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x10}};
inline constexpr CLSID CLSID_Payment = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x11}};
inline constexpr CLSID CLSID_PaySetting = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x12}};
inline constexpr CLSID CLSID_PayAddress = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x13}};
inline constexpr IID IID_IPayManager = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x20}};
inline constexpr IID IID_IPayment = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x21}};
inline constexpr IID IID_IPaySetting = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x22}};
inline constexpr IID IID_IPayAddress = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x23}};
inline constexpr IID IID_IPayAddress2 = {0x6A1D3C52, 0x8F0B, 0x4E7A, {0x9C, 0x21, 0x5B, 0x7E, 0x0D, 0x4A, 0x1F, 0x24}};

// IPayAddress Interface: seven texts of a party, a bank or an account.
class IPayAddress : public IDispatch {
 public:
  virtual HRESULT get_Name1(BSTR* pVal) = 0;            // DISPID 1
  virtual HRESULT put_Name1(BSTR newVal) = 0;
  virtual HRESULT get_Name2(BSTR* pVal) = 0;            // DISPID 2
  virtual HRESULT put_Name2(BSTR newVal) = 0;
  virtual HRESULT get_City(BSTR* pVal) = 0;             // DISPID 3
  virtual HRESULT put_City(BSTR newVal) = 0;
  virtual HRESULT get_Street(BSTR* pVal) = 0;           // DISPID 4
  virtual HRESULT put_Street(BSTR newVal) = 0;
  virtual HRESULT get_Account(BSTR* pVal) = 0;          // DISPID 5
  virtual HRESULT put_Account(BSTR newVal) = 0;
  virtual HRESULT get_ID(BSTR* pVal) = 0;               // DISPID 6
  virtual HRESULT put_ID(BSTR newVal) = 0;
  virtual HRESULT get_BIC(BSTR* pVal) = 0;              // DISPID 7
  virtual HRESULT put_BIC(BSTR newVal) = 0;

 protected:
  ~IPayAddress() = default;
};

// IPayAddress2 Interface: the address with the structured parts of a postal address, which
// the 2019 ISO file writes; its slots follow those of IPayAddress, which stays as it is.
class IPayAddress2 : public IPayAddress {
 public:
  virtual HRESULT get_StreetName(BSTR* pVal) = 0;       // DISPID 8
  virtual HRESULT put_StreetName(BSTR newVal) = 0;
  virtual HRESULT get_BuildingNumber(BSTR* pVal) = 0;   // DISPID 9
  virtual HRESULT put_BuildingNumber(BSTR newVal) = 0;
  virtual HRESULT get_PostCode(BSTR* pVal) = 0;         // DISPID 10
  virtual HRESULT put_PostCode(BSTR newVal) = 0;
  virtual HRESULT get_Town(BSTR* pVal) = 0;             // DISPID 11
  virtual HRESULT put_Town(BSTR newVal) = 0;
  virtual HRESULT get_Country(BSTR* pVal) = 0;          // DISPID 12
  virtual HRESULT put_Country(BSTR newVal) = 0;

 protected:
  ~IPayAddress2() = default;
};

// IPaySetting Interface: what is common to the batch.
class IPaySetting : public IDispatch {
 public:
  virtual HRESULT get_Sender(IDispatch** pVal) = 0;     // DISPID 1
  virtual HRESULT get_DtaID(BSTR* pVal) = 0;            // DISPID 2
  virtual HRESULT put_DtaID(BSTR newVal) = 0;
  virtual HRESULT get_CostAccount(BSTR* pVal) = 0;      // DISPID 3
  virtual HRESULT put_CostAccount(BSTR newVal) = 0;
  virtual HRESULT get_IsSalary(VARIANT_BOOL* pVal) = 0; // DISPID 4
  virtual HRESULT put_IsSalary(VARIANT_BOOL newVal) = 0;
  virtual HRESULT get_DtaID_Sender(BSTR* pVal) = 0;     // DISPID 5
  virtual HRESULT put_DtaID_Sender(BSTR newVal) = 0;
  virtual HRESULT get_CostCurrency(BSTR* pVal) = 0;     // DISPID 6
  virtual HRESULT put_CostCurrency(BSTR newVal) = 0;

 protected:
  ~IPaySetting() = default;
};

// IPayment Interface: one payment order (there is no DISPID 1).
class IPayment : public IDispatch {
 public:
  virtual HRESULT get_IsSalary(VARIANT_BOOL* pVal) = 0; // DISPID 2
  virtual HRESULT put_IsSalary(VARIANT_BOOL newVal) = 0;
  virtual HRESULT get_ESR(BSTR* pVal) = 0;              // DISPID 3
  virtual HRESULT put_ESR(BSTR newVal) = 0;
  virtual HRESULT get_BankSrc(IDispatch** pVal) = 0;    // DISPID 4
  virtual HRESULT get_BankDst(IDispatch** pVal) = 0;    // DISPID 5
  virtual HRESULT get_Receiver(IDispatch** pVal) = 0;   // DISPID 6
  virtual HRESULT get_Amount(CY* pVal) = 0;             // DISPID 7
  virtual HRESULT put_Amount(CY newVal) = 0;
  virtual HRESULT get_Reason(BSTR* pVal) = 0;           // DISPID 8
  virtual HRESULT put_Reason(BSTR newVal) = 0;
  virtual HRESULT get_Currency(BSTR* pVal) = 0;         // DISPID 9
  virtual HRESULT put_Currency(BSTR newVal) = 0;
  virtual HRESULT get_CostCode(PayCosts* pVal) = 0;     // DISPID 10
  virtual HRESULT put_CostCode(PayCosts newVal) = 0;
  virtual HRESULT get_Date(DATE* pVal) = 0;             // DISPID 11
  virtual HRESULT put_Date(DATE newVal) = 0;

 protected:
  ~IPayment() = default;
};

// IPayManager Interface: the batch, its writers and the two account checks.
class IPayManager : public IDispatch {
 public:
  virtual HRESULT NewPayment(PayTypes PayType, IDispatch** Payment) = 0;           // DISPID 1
  // DISPID 2. DTA, EZAG and payISO: always S_OK (a failure is not reported); payISO2019:
  // the failure's status, with the thread's error information holding its message.
  virtual HRESULT WriteFile(BSTR FileName, PayFileTypes FileType, BSTR payPeriod,
                            VARIANT_BOOL useCHStandard) = 0;
  virtual HRESULT get_Setting(IDispatch** pVal) = 0;                               // DISPID 3
  virtual HRESULT CheckPostNr(BSTR Nummer, VARIANT_BOOL* pVal) = 0;                // DISPID 4
  virtual HRESULT CheckIbanNr(BSTR Nummer, VARIANT_BOOL* pVal) = 0;                // DISPID 5

 protected:
  ~IPayManager() = default;
};
