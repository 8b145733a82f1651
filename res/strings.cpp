// The string table.

#include "platform/core/string_table.h"

namespace {

const qv::StringTableRegistrar kStrings{
    {102, "Communication Error!"},
    {103, "ID Error!"},
    {104, "Verify Error!"},
};

}  // namespace
