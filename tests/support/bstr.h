// Owning caller strings for tests that drive the automation interfaces.
#pragma once

#include <string>
#include <string_view>

#include "oleauto.h"

namespace ordexa::test {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text) : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  operator BSTR() const { return text_; }
  BSTR* put() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
  }
  bool is_null() const { return text_ == nullptr; }
  std::u16string str() const { return text_ == nullptr ? std::u16string() : std::u16string(text_, SysStringLen(text_)); }

 private:
  BSTR text_ = nullptr;
};

// Reads a text property through its get accessor.
template <class Interface>
std::u16string GetText(Interface* object, HRESULT (Interface::*get)(BSTR*)) {
  Bstr value;
  (object->*get)(value.put());
  return value.str();
}

}  // namespace ordexa::test
