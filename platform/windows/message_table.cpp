// The component's string table on Windows: the message formats are string resources of
// the module itself (ids 2000 to 2002), read with LoadStringW and converted to the thread's
// ANSI code page.
#include <windows.h>

#include "platform/cp1252.h"
#include "platform/message_table.h"

// The module's own base address, provided by the linker: the component's resources are
// looked up in the DLL, not in the program that loaded it.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace ordexa {

std::string LoadMessageFormat(std::uint16_t id) {
  const auto module = reinterpret_cast<HINSTANCE>(&__ImageBase);
  // With a buffer size of 0, LoadStringW hands out a read-only pointer into the resource
  // and its length in units (the text is not NUL-terminated there).
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  return WideToCp1252(WideStringView(text, static_cast<std::size_t>(length)));
}

}  // namespace ordexa
