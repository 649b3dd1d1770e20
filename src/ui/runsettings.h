// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The editor keeps nothing between runs. The toolkit's file dialog would write its history,
// last folder and view into the user's settings on exit and read them at the next start; its
// settings go to a folder of this run's instead, removed when the run ends, so the dialog
// remembers within the run only.
namespace RunSettings {

// Call once, before any window is made.
void keepWithinRun();

} // namespace RunSettings
