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
    case IDS_ISO2019_PAYMENT_REFUSED:
      return "Die Zahlung %s kann nicht in die Datei pain.001.001.09 geschrieben werden.\n%s";
    case IDS_ISO2019_BATCH_REFUSED:
      return "Die Datei pain.001.001.09 kann nicht geschrieben werden.\n%s";
    default:
      return {};
  }
}

}  // namespace ordexa
