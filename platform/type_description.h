// A type library described as plain constant data: interfaces with their members,
// enumerations and classes. The automation binding keeps its one member table in this
// form; the Linux type-information objects are built from it, and the Windows build
// checks its compiled type library against it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "unknwn.h"

namespace ordexa {

// The type of a parameter or result as an automation client sees it.
enum class ValueType : std::uint8_t {
  kVoid,      // no value (a method without result)
  kText,      // BSTR
  kBool,      // VARIANT_BOOL
  kCurrency,  // CY
  kDate,      // DATE
  kDispatch,  // IDispatch*
  kEnum,      // a 32-bit enumeration of the library, named by TypeRef::enum_index
};

struct TypeRef {
  ValueType type = ValueType::kVoid;
  std::uint8_t enum_index = 0;  // index into TypeLibraryDescription::enums for kEnum
};

struct ParamDescription {
  std::string_view name;
  TypeRef type;
};

// One interface slot: a method, or one accessor of a property (get and put are two slots
// sharing the property's name and DISPID).
enum class MemberKind : std::uint8_t { kMethod, kPropertyGet, kPropertyPut };

struct MemberDescription {
  MemberKind kind;
  std::int32_t dispid;
  std::string_view name;
  std::span<const ParamDescription> params;  // the [in] parameters, first to last
  ParamDescription result;                   // the [out, retval] value; type kVoid when none
  std::string_view doc;
};

// A dual interface derived from IDispatch; members in slot order.
struct InterfaceDescription {
  const IID* iid;
  std::string_view name;
  std::string_view doc;
  std::span<const MemberDescription> members;
};

struct EnumValueDescription {
  std::string_view name;
  std::int32_t value;
};

struct EnumDescription {
  std::string_view name;
  std::string_view doc;
  std::span<const EnumValueDescription> values;
};

struct CoclassDescription {
  const CLSID* clsid;
  std::string_view name;
  std::string_view doc;            // may be empty
  bool creatable;                  // false: made only by other objects of the library (noncreatable, aggregatable)
  std::uint8_t default_interface;  // index into TypeLibraryDescription::interfaces
};

struct TypeLibraryDescription {
  const GUID* libid;
  std::string_view name;
  std::string_view doc;  // the help string
  std::uint16_t major;
  std::uint16_t minor;
  std::uint32_t lcid;
  std::span<const InterfaceDescription> interfaces;
  std::span<const EnumDescription> enums;
  std::span<const CoclassDescription> coclasses;
};

}  // namespace ordexa
