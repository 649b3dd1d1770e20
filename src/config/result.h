// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace config {

// What an attempt that can fail gives: its value, or why there is none. The reason is a
// sentence a user can read, unless the attempt has more to say (what kind of failure, a size)
// and names a type of its own for it. Reading files, opening them, saving them and reading the
// help all answer with this.
template <typename T, typename Problem = QString> class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(Problem why)
    {
        Result r;
        r.m_why = std::move(why);
        return r;
    }

    explicit operator bool() const { return m_value.has_value(); }
    T &operator*() { return *m_value; }
    const T &operator*() const { return *m_value; }
    T *operator->() { return &*m_value; }
    const T *operator->() const { return &*m_value; }
    // Why there is no value; empty (default) when there is one.
    const Problem &why() const { return m_why; }

private:
    Result() = default;
    std::optional<T> m_value;
    Problem m_why{};
};

} // namespace config
