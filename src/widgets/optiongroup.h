#pragma once

#include <optional>

class QButtonGroup;

namespace widgets
{

// Selects the button with the given id in an exclusive group or, with no id
// (or one the group lacks), leaves none of its buttons selected, a state no
// click can bring back.
void selectOnly(QButtonGroup *group, std::optional<int> id);

} // namespace widgets
