// The component's string table: German message formats in code page 1252.
#include "platform/message_table.h"

namespace ordexa {

std::string LoadMessageFormat(std::uint16_t id) {
  switch (id) {
    case IDS_INTERNAL_ERROR:
      return "Ein interner Programmfehler ist aufgetreten.\n%s";
    case IDS_CREATE_FILE_ERROR:
      return "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x%X\n\n%s";
    case IDS_WRITE_FILE_ERROR:
      return "Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x%X";
    default:
      return {};
  }
}

}  // namespace ordexa
