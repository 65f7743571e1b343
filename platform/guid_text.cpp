// GUIDs as registry texts: "{6A1D3C52-8F0B-4E7A-9C21-5B7E0D4A1F10}".
#include <initializer_list>

#include "windows.h"

namespace {

constexpr int kGuidTextLength = 38;

int HexValue(OLECHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// The byte of each hex pair, in text order: Data1 (4 bytes), Data2 (2), Data3 (2), Data4 (8).
constexpr int kPairStarts[16] = {1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};

}  // namespace

int StringFromGUID2(REFGUID guid, LPOLESTR text, int size) {
  if (text == nullptr || size < kGuidTextLength + 1) return 0;
  const std::uint8_t bytes[16] = {static_cast<std::uint8_t>(guid.Data1 >> 24),
                                  static_cast<std::uint8_t>(guid.Data1 >> 16),
                                  static_cast<std::uint8_t>(guid.Data1 >> 8),
                                  static_cast<std::uint8_t>(guid.Data1),
                                  static_cast<std::uint8_t>(guid.Data2 >> 8),
                                  static_cast<std::uint8_t>(guid.Data2),
                                  static_cast<std::uint8_t>(guid.Data3 >> 8),
                                  static_cast<std::uint8_t>(guid.Data3),
                                  guid.Data4[0],
                                  guid.Data4[1],
                                  guid.Data4[2],
                                  guid.Data4[3],
                                  guid.Data4[4],
                                  guid.Data4[5],
                                  guid.Data4[6],
                                  guid.Data4[7]};
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  const char16_t* pattern = u"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  for (int i = 0; i <= kGuidTextLength; ++i) text[i] = pattern[i];
  for (int b = 0; b < 16; ++b) {
    text[kPairStarts[b]] = kDigits[bytes[b] >> 4];
    text[kPairStarts[b] + 1] = kDigits[bytes[b] & 0xF];
  }
  return kGuidTextLength + 1;
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
  if (clsid == nullptr) return E_INVALIDARG;
  if (text == nullptr) return CO_E_CLASSSTRING;
  for (int i = 0; i < kGuidTextLength; ++i) {
    if (text[i] == u'\0') return CO_E_CLASSSTRING;
  }
  if (text[kGuidTextLength] != u'\0' || text[0] != u'{' || text[kGuidTextLength - 1] != u'}') return CO_E_CLASSSTRING;
  for (int dash : {9, 14, 19, 24}) {
    if (text[dash] != u'-') return CO_E_CLASSSTRING;
  }
  std::uint8_t bytes[16];
  for (int b = 0; b < 16; ++b) {
    const int high = HexValue(text[kPairStarts[b]]);
    const int low = HexValue(text[kPairStarts[b] + 1]);
    if (high < 0 || low < 0) return CO_E_CLASSSTRING;
    bytes[b] = static_cast<std::uint8_t>(high * 16 + low);
  }
  clsid->Data1 =
      (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) | bytes[3];
  clsid->Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
  clsid->Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) clsid->Data4[i] = bytes[8 + i];
  return S_OK;
}
