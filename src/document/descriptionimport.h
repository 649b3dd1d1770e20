// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Opening an existing description.ext into the form: mapping the reader's tree onto the
// document's switches, fields, options and code boxes, and remembering where each came from.
//
// Nothing of the file is rewritten by opening it. What the form can hold (a setting it can
// show, a section whose body fits its code box, the values of class Header) fills the form and
// keeps its place in the file; everything else is the Other box's text, in file order, and
// keeps its place too. A setting the file lacks shows the game's default and is not written
// unless the user changes it. Saving then writes the file again with only what the user
// changed rewritten (see DocumentOrigin).

#include "descriptionfile.h"
#include "documentorigin.h"
#include "editordocument.h"
#include "formsnapshot.h"
#include "importreport.h"

#include <QByteArray>
#include <QString>

#include <memory>

struct ImportResult
{
    FormSnapshot snapshot;
    std::shared_ptr<DocumentOrigin> origin;
    ImportReport report;
};

// Maps a file's text onto the form. Pure: needs no document and never fails; text that cannot
// be read stays as written. With the file's `path`, the report also lists the problems inside
// the files it includes from its folder (named relative to it), which the form never reads.
ImportResult importDescription(const DescriptionText &file, const QString &fileName = QString(),
                               const QString &path = QString());
// The same for text alone, as if read from a UTF-8 file.
ImportResult importDescription(const QString &text, const QString &fileName = QString());

// Opening a file, in two halves so that the slow one can run on a worker thread: `open…()`
// read and map a file without touching any document (pure, thread-safe), `applyOpened()` then
// puts the result into the document. File > Open, the command line, a drop, the tests and the
// benchmarks all go through these.
// Set: its origin's path is the file's absolute path (empty for bytes from no file). Not set:
// why the file could not be opened (see readDescriptionFile()).
using OpenedDescription = config::Result<ImportResult>;
OpenedDescription openDescription(const QString &path);
// Bytes already in memory (a drop, a test); `displayName` names them in messages.
OpenedDescription openDescriptionBytes(const QByteArray &bytes, const QString &displayName);
// Bytes the editor has just written to `path` in `encoding`: read back in that encoding, never
// guessed again (a Windows-1252 file whose text happens to be plain ASCII stays Windows-1252).
OpenedDescription openSavedDescription(const QByteArray &bytes, config::TextEncoding encoding,
                                       const QString &path);

// On success the document holds the file's values and its origin, and the result is the
// report; on failure the document is left exactly as it was.
using OpenResult = config::Result<ImportReport>;
OpenResult applyOpened(EditorDocument &document, OpenedDescription &&opened);
// openDescription() and applyOpened() in one go.
OpenResult openDescriptionFile(EditorDocument &document, const QString &path);
OpenResult openDescriptionBytes(EditorDocument &document, const QByteArray &bytes,
                                const QString &displayName);
