// The JSON Schema of batch files (tools/payfile/batch.schema.json), built into the tool.
#pragma once

#include <string_view>

namespace ordexa::payfile {

// BatchSchemaJson(): the schema file's bytes, as `payfile schema` prints them.
std::string_view BatchSchemaJson();

}  // namespace ordexa::payfile
