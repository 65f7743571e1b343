// CPayManager: the one object a caller creates. It owns the batch (settings and payment
// list), hands out views onto it, runs one writer per WriteFile and answers the checks.
#pragma once

#include <memory>
#include <string_view>

#include "model/com_object.h"
#include "ocidl.h"
#include "records/records.h"
#include "ordexa.h"
#include "platform/file_system.h"

namespace ordexa {

// The source of the error information a failed WriteFile leaves: the class's
// version-independent ProgID.
inline constexpr std::string_view kErrorSource = "Veltrano.PayManager";

class CPayManager final : public ComObject<CPayManager, IPayManager, IID_IPayManager, &AutomationBinding::manager>,
                          public IProvideClassInfo {
 public:
  // CreateInstance(): a new, empty manager handed out as `riid`; with a binding it and
  // its views answer late-bound calls and the manager offers IProvideClassInfo.
  static HRESULT CreateInstance(REFIID riid, void** object, const AutomationBinding* binding = nullptr);

  // New(): a new, empty manager for programs that link the component and need both its
  // interface and WriteBatch (the command-line tool); throws std::bad_alloc.
  static ComPtr<CPayManager> New();

  explicit CPayManager(const AutomationBinding* binding = nullptr);

  // IUnknown once for all bases.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return ComObject::QueryInterface(riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }
  void* QueryExtraInterface(REFIID riid);
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** type_info) override;

  HRESULT NewPayment(PayTypes PayType, IDispatch** Payment) override;
  // payDTA, payEzag, payISO (and any number outside the enumeration): never fails, whatever
  // goes wrong inside a writer is absorbed and S_OK returned. payISO2019: a refusal of the
  // batch, a file that cannot be written or memory running out is reported: the result is
  // the failure's status (MPayError's own, CAtlException's HRESULT, E_OUTOFMEMORY, else
  // E_FAIL) and the thread's error information holds its message for the caller.
  HRESULT WriteFile(BSTR FileName, PayFileTypes FileType, BSTR payPeriod, VARIANT_BOOL useCHStandard) override;
  HRESULT get_Setting(IDispatch** pVal) override;
  HRESULT CheckPostNr(BSTR Nummer, VARIANT_BOOL* pVal) override;
  HRESULT CheckIbanNr(BSTR Nummer, VARIANT_BOOL* pVal) override;

  // WriteBatch()
  // Runs the writer of `file_type` on the batch with 1252 texts, letting its failures
  // through (MPayError, CAtlException, the ISO writer's plain numbers); a file type
  // outside the enumeration does nothing. WriteFile is this call inside a guard; the
  // command-line tool calls it directly to report failures.
  // Example: manager->WriteBatch(payISO2019, "lohn.xml", "2026-12", true).
  void WriteBatch(std::int32_t file_type, std::string_view file_name, std::string_view pay_period, bool swiss,
                  const FileSystem& file_system = SystemFileSystem());

  const PayBatch& batch() const { return *batch_; }
  // The batch itself, for a C++ caller in the same process that puts 1252 texts and values
  // straight into the records (the payfile tool), as the property puts would.
  PayBatch& batch() { return *batch_; }

 private:
  // WriteReportedFile(): WriteFile for payISO2019.
  HRESULT WriteReportedFile(BSTR FileName, BSTR payPeriod, VARIANT_BOOL useCHStandard);

  std::shared_ptr<PayBatch> batch_;
};

}  // namespace ordexa
