// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "configreader.h"

#include <QStringList>

// A compact text of a reader's tree, so that table rows can state the expected tree in one
// line: `class A:B{x=n:1 y[]+={s:a,w:b}} #define(X 1) comment skipped invalid`.
inline QString dumpValue(const config::Value &v)
{
    using config::ValueKind;
    switch (v.kind) {
    case ValueKind::String:
        return QStringLiteral("s:") + v.text;
    case ValueKind::Number:
        return QStringLiteral("n:") + v.text;
    case ValueKind::Word:
        return QStringLiteral("w:") + v.text;
    case ValueKind::Expression:
        return QStringLiteral("e:") + v.text;
    case ValueKind::Array: {
        QStringList parts;
        for (const config::Value &e : v.elements)
            parts << dumpValue(e);
        return u'{' + parts.join(u',') + u'}';
    }
    }
    return {};
}

inline QString dumpEntries(const QList<config::Entry> &entries)
{
    using config::EntryKind;
    QStringList parts;
    for (const config::Entry &e : entries) {
        switch (e.kind) {
        case EntryKind::Class:
            parts << QStringLiteral("class ") + e.name +
                         (e.base.isEmpty() ? QString() : u':' + e.base) + u'{' +
                         dumpEntries(e.children) + u'}';
            break;
        case EntryKind::ClassDeclaration:
            parts << QStringLiteral("decl ") + e.name;
            break;
        case EntryKind::Delete:
            parts << QStringLiteral("delete ") + e.name;
            break;
        case EntryKind::Value:
            parts << e.name + u'=' + dumpValue(e.value);
            break;
        case EntryKind::Array:
            parts << e.name + (e.append ? QStringLiteral("[]+=") : QStringLiteral("[]=")) +
                         dumpValue(e.value);
            break;
        case EntryKind::Directive:
            parts << u'#' + e.name + u'(' + e.text + u')' +
                         (e.children.isEmpty() ? QString() : u'{' + dumpEntries(e.children) + u'}');
            break;
        case EntryKind::Comment:
            parts << QStringLiteral("comment");
            break;
        case EntryKind::Exec:
            parts << QStringLiteral("exec(") + e.value.text + u')';
            break;
        case EntryKind::Skipped:
            parts << QStringLiteral("skipped");
            break;
        case EntryKind::Invalid:
            parts << QStringLiteral("invalid");
            break;
        }
    }
    return parts.join(u' ');
}
