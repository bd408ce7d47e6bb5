// File names are bytes. Qt holds them as QString, which would turn a name
// that is not UTF-8 (a Shift_JIS name from a Windows zip) into U+FFFD and
// so into another name. Here each byte that is not part of valid UTF-8 is
// held as the lone surrogate U+DC00 + byte, and comes back byte for byte.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kuv {

QString PathFromNative(std::string_view bytes);
std::string NativePath(const QString& path);
// The name for a message: bytes that are not UTF-8 show as U+FFFD.
QString PathForDisplay(const QString& path);

// The path made absolute against the current directory, "." and ".."
// resolved as text.
QString AbsolutePath(const QString& path);
// Makes a folder and those it is in, as mkdir -p; true when it is there.
bool MakeFolders(const QString& path);
// Makes the folder of a file the current directory; false when it cannot.
bool MoveToFolderOf(const QString& file);

}  // namespace kuv
