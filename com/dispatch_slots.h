// Slot thunks: the bridge from converted VARIANT arguments to one typed interface slot,
// generated from the slot's member pointer, with a compile-time check that the slot's
// C++ signature is the one the member table describes.
#pragma once

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "com/dispatch.h"
#include "com/member_table.h"
#include "ordexa.h"

namespace ordexa::dispatch_detail {

// The table's type of a C++ parameter or out-parameter target.
template <class T>
constexpr TypeRef TypeOf() {
  if constexpr (std::is_same_v<T, BSTR>) {
    return {ValueType::kText};
  } else if constexpr (std::is_same_v<T, VARIANT_BOOL>) {
    return {ValueType::kBool};
  } else if constexpr (std::is_same_v<T, CY>) {
    return {ValueType::kCurrency};
  } else if constexpr (std::is_same_v<T, DATE>) {
    return {ValueType::kDate};
  } else if constexpr (std::is_same_v<T, IDispatch*>) {
    return {ValueType::kDispatch};
  } else if constexpr (std::is_same_v<T, PayTypes>) {
    return {ValueType::kEnum, kPayTypesEnum};
  } else if constexpr (std::is_same_v<T, PayFileTypes>) {
    return {ValueType::kEnum, kPayFileTypesEnum};
  } else {
    static_assert(std::is_same_v<T, PayCosts>, "a slot type the automation interface does not use");
    return {ValueType::kEnum, kPayCostsEnum};
  }
}

template <class T>
T FromVariant(const VARIANT& value) {
  if constexpr (std::is_same_v<T, BSTR>) {
    return value.bstrVal;
  } else if constexpr (std::is_same_v<T, VARIANT_BOOL>) {
    return value.boolVal;
  } else if constexpr (std::is_same_v<T, CY>) {
    return value.cyVal;
  } else if constexpr (std::is_same_v<T, DATE>) {
    return value.date;
  } else {
    return static_cast<T>(value.lVal);  // an enumeration, carried as VT_I4
  }
}

template <class T>
void ToVariant(T value, VARIANT* out) {
  if constexpr (std::is_same_v<T, BSTR>) {
    out->vt = VT_BSTR;
    out->bstrVal = value;
  } else if constexpr (std::is_same_v<T, VARIANT_BOOL>) {
    out->vt = VT_BOOL;
    out->boolVal = value;
  } else if constexpr (std::is_same_v<T, CY>) {
    out->vt = VT_CY;
    out->cyVal = value;
  } else if constexpr (std::is_same_v<T, DATE>) {
    out->vt = VT_DATE;
    out->date = value;
  } else if constexpr (std::is_same_v<T, IDispatch*>) {
    out->vt = VT_DISPATCH;
    out->pdispVal = value;
  } else {
    out->vt = VT_I4;
    out->lVal = static_cast<LONG>(value);
  }
}

// An out-parameter is a pointer to a value; a BSTR (itself a pointer) is an in-parameter.
template <class T>
constexpr bool kIsOut = std::is_pointer_v<T> && !std::is_same_v<T, BSTR>;

template <class Slot>
struct SlotTraits;

template <class Interface, class... Args>
struct SlotTraits<HRESULT (STDMETHODCALLTYPE Interface::*)(Args...)> {
  using Object = Interface;
  using ArgTuple = std::tuple<Args...>;
  static constexpr std::size_t kArgs = sizeof...(Args);
  static constexpr bool kHasResult = kArgs > 0 && kIsOut<std::tuple_element_t<(kArgs > 0 ? kArgs - 1 : 0), ArgTuple>>;
  static constexpr std::size_t kInArgs = kArgs - (kHasResult ? 1 : 0);
};

template <auto kSlot, std::size_t... kIn>
HRESULT CallSlot(IDispatch* self, VARIANT* args, VARIANT* result, std::index_sequence<kIn...>) {
  using Traits = SlotTraits<decltype(kSlot)>;
  auto* object = static_cast<typename Traits::Object*>(self);
  if constexpr (Traits::kHasResult) {
    using Value = std::remove_pointer_t<std::tuple_element_t<Traits::kArgs - 1, typename Traits::ArgTuple>>;
    Value value{};
    const HRESULT hr =
        (object->*kSlot)(FromVariant<std::tuple_element_t<kIn, typename Traits::ArgTuple>>(args[kIn])..., &value);
    if (SUCCEEDED(hr)) ToVariant(value, result);
    return hr;
  } else {
    (void)result;
    return (object->*kSlot)(FromVariant<std::tuple_element_t<kIn, typename Traits::ArgTuple>>(args[kIn])...);
  }
}

// Thunk<slot>: the slot thunk of one interface slot.
template <auto kSlot>
HRESULT Thunk(IDispatch* self, VARIANT* args, VARIANT* result) {
  return CallSlot<kSlot>(self, args, result, std::make_index_sequence<SlotTraits<decltype(kSlot)>::kInArgs>{});
}

constexpr bool SameType(TypeRef a, TypeRef b) {
  return a.type == b.type && (a.type != ValueType::kEnum || a.enum_index == b.enum_index);
}

template <auto kSlot, std::size_t... kIn>
constexpr bool ParamsMatch(const MemberDescription& member, std::index_sequence<kIn...>) {
  using Traits = SlotTraits<decltype(kSlot)>;
  return member.params.size() == Traits::kInArgs &&
         (SameType(member.params[kIn].type, TypeOf<std::tuple_element_t<kIn, typename Traits::ArgTuple>>()) && ...);
}

// Matches<slot>(member): the slot takes the member's parameters and returns its value.
template <auto kSlot>
constexpr bool Matches(const MemberDescription& member) {
  using Traits = SlotTraits<decltype(kSlot)>;
  if (!ParamsMatch<kSlot>(member, std::make_index_sequence<Traits::kInArgs>{})) return false;
  if constexpr (Traits::kHasResult) {
    using Value = std::remove_pointer_t<std::tuple_element_t<Traits::kArgs - 1, typename Traits::ArgTuple>>;
    return SameType(member.result.type, TypeOf<Value>());
  } else {
    return member.result.type.type == ValueType::kVoid;
  }
}

// SlotTable<slots...>: the thunks of an interface's slots in slot order, and whether each
// slot has the signature its row of the member table describes.
template <auto... kSlots>
struct SlotTable {
  static constexpr SlotThunk kThunks[] = {&Thunk<kSlots>...};
  static constexpr bool MatchesTable(std::span<const MemberDescription> members) {
    if (members.size() != sizeof...(kSlots)) return false;
    std::size_t row = 0;
    return (Matches<kSlots>(members[row++]) && ...);
  }
};

}  // namespace ordexa::dispatch_detail
