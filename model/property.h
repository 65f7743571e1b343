// The conversions every property accessor of the views shares, so that each interface slot
// is a single line: texts through ToAnsiText / ToCallerText, flags as automation booleans,
// values unchanged, and no exception ever leaving an operation.
#pragma once

#include <new>
#include <string_view>

#include "failure/failure.h"
#include "model/text_conversion.h"
#include "oleauto.h"
#include "records/text_store.h"

namespace ordexa {

// Guarded(): runs an operation body and turns any failure into the operation's result:
// CAtlException gives its HRESULT, exhausted memory E_OUTOFMEMORY, anything else E_FAIL.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const CAtlException& failure) {
    return failure.hr();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// GetTextProperty(): a new caller string; a string that cannot be allocated is delivered
// as null with S_OK, as the platform's own text properties do.
inline HRESULT GetTextProperty(const TextStore& texts, TextRef field, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = ToCallerText(texts.Get(field));
  return S_OK;
}

// GetConvertedText(): GetTextProperty for a 1252 text the view has read itself.
inline HRESULT GetConvertedText(std::string_view text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = ToCallerText(text);
  return S_OK;
}

// PutConvertedText(): the caller's text converted to 1252 and handed to `store`, which
// keeps it; a failure of `store` (memory) becomes the result.
template <class Store>
HRESULT PutConvertedText(BSTR value, Store&& store) {
  return Guarded([&] {
    WithAnsiText(value, store);
    return S_OK;
  });
}

// PutTextProperty(): the converted text replaces the field; on failure the field keeps
// its previous value.
inline HRESULT PutTextProperty(TextStore& texts, TextRef& field, BSTR value) {
  return Guarded([&] {
    StoreAnsiText(texts, field, value);
    return S_OK;
  });
}

inline HRESULT GetFlagProperty(bool field, VARIANT_BOOL* out) {
  if (out == nullptr) return E_POINTER;
  *out = field ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

// Any non-zero value counts as true (1 as much as -1).
inline HRESULT PutFlagProperty(bool& field, VARIANT_BOOL value) {
  field = value != 0;
  return S_OK;
}

template <class Out, class Field>
HRESULT GetValueProperty(const Field& field, Out* out) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<Out>(field);
  return S_OK;
}

template <class Field, class In>
HRESULT PutValueProperty(Field& field, In value) {
  field = static_cast<Field>(value);
  return S_OK;
}

}  // namespace ordexa
