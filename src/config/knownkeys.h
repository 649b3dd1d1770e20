#pragma once

#include <QString>
#include <QStringView>

namespace config::detail {

// Whether `name` is a top-level key or class of description.ext (case-insensitive, as the game
// compares names).
bool isKnownKey(QStringView name);

// The known key closest to an unknown `name` when it is close enough to be a typo (an edit
// distance of 1 for short names, 2 for longer ones); empty otherwise.
QString closestKnownKey(QStringView name);

} // namespace config::detail
