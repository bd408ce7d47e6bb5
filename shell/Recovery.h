// Listings that would otherwise be lost: when the program ends with a
// changed listing that was not saved (the Save As offered on closing was
// cancelled, the desktop session ends, the process is told to stop), the
// listing is kept in a folder of recovered listings.
#pragma once

#include <QDateTime>
#include <QString>

#include <string_view>

namespace kuv {

// $XDG_STATE_HOME/kuv/recovered, by default ~/.local/state/kuv/recovered.
QString RecoveryFolder();

// The newest recovered listings that are kept; older ones are removed.
inline constexpr int kRecoveredKept = 50;

// Writes the listing's bytes into the folder under the date and time,
// "20261208-154501.kuv" ("20261208-154501_02.kuv" when that name is taken),
// never replacing a file and never leaving a partial one, then removes all
// but the newest kRecoveredKept. Returns the path written, or an empty
// string and the message in failure.
QString RecoverListing(std::string_view bytes, const QDateTime& when, const QString& folder, QString& failure);

// True when the folder holds a recovered listing.
bool HasRecoveredListings(const QString& folder);

}  // namespace kuv
