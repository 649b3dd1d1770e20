// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "documentvalues.h"

#include "encoding.h"

#include <QMetaEnum>

namespace {

// The option buttons are named after the modes, but not by the enumerators themselves.
constexpr const char *RespawnOptionNames[] = {
    "noneOption", "birdOption", "instantOption", "baseOption", "groupOption", "sideOption",
};
static_assert(std::size(RespawnOptionNames) == RespawnModeCount);

template <typename Enum> const char *nameOf(Enum e)
{
    return QMetaEnum::fromType<Enum>().valueToKey(int(e));
}

} // namespace

const char *switchName(Switch s)
{
    return nameOf(s);
}
const char *fieldName(Field f)
{
    return nameOf(f);
}
const char *codeBoxName(CodeBox c)
{
    return nameOf(c);
}
const char *respawnOptionName(RespawnMode m)
{
    return RespawnOptionNames[std::size_t(m)];
}

void DocumentValues::refreshCode(CodeBox c) const
{
    const auto i = std::size_t(c);
    if (m_codeStale[i] && m_codeSources[i]) {
        m_codes[i] = normalizeLineBreaks(m_codeSources[i]());
        m_codeStale[i] = false;
    }
}

const QString &DocumentValues::code(CodeBox c) const
{
    refreshCode(c);
    return m_codes[std::size_t(c)];
}

void DocumentValues::setCodeSource(CodeBox c, CodeSource source)
{
    const auto i = std::size_t(c);
    m_codeSources[i] = std::move(source);
    m_codeStale[i] = false;
}

void DocumentValues::markCodeStale(CodeBox c)
{
    const auto i = std::size_t(c);
    if (m_codeSources[i])
        m_codeStale[i] = true;
}
