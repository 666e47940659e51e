#pragma once

#include "textfile.h"

#include <QString>

#include <variant>

namespace memofile
{

// Where a rescue file went, or why it could not be written either.
using RescueOutcome = std::variant<QString, services::FileError>;

} // namespace memofile
