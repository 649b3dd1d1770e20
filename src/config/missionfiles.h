// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>

namespace config {

// A lookup for ReadOptions::fileExists: whether `path` (as a description file writes it, with
// backslashes, relative to `folder`) names a file or folder there. Names are compared without
// regard to case, as the game's file system compares them, and each folder is listed at most
// once however many names are looked up.
std::function<bool(const QString &path)> missionFileLookup(const QString &folder);

} // namespace config
