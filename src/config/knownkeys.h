#pragma once

#include <QString>
#include <QStringView>

namespace config::detail {

// Whether `name` is a top-level key or class of description.ext (case-insensitive, as the game
// compares names).
bool isKnownKey(QStringView name);

// Whether the game's documentation writes `name`'s value as an unquoted word (gameType = Coop),
// so that an unquoted value there is no mistake.
bool takesUnquotedWord(QStringView name);

// The known key closest to an unknown `name` when it is close enough to be a typo (an edit
// distance of 1 for short names, 2 for longer ones); empty otherwise.
QString closestKnownKey(QStringView name);

} // namespace config::detail
