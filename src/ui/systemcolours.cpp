// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "systemcolours.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QWidget>

#include <cmath>

namespace SystemColours {

QColor enabledFieldBackground(const QPalette &palette)
{
    return palette.color(QPalette::Active, QPalette::Base);
}

QColor inactiveFieldBackground(const QPalette &palette)
{
    // A fixed grey on the opposite side of mid-grey from the base colour keeps disabled
    // fields visibly different whatever the theme.
    const bool lightBase = enabledFieldBackground(palette).lightness() >= 128;
    return lightBase ? QColor(200, 200, 200) : QColor(92, 92, 92);
}

namespace {

double luminance(const QColor &c)
{
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// `colour` moved toward `text` in twentieths until it reaches `ratio` against `background`.
QColor legible(const QColor &colour, const QColor &text, const QColor &background, double ratio)
{
    QColor c = colour;
    for (int step = 1; step <= 20 && contrast(c, background) < ratio; ++step)
        c = mix(colour, text, double(step) / 20);
    return c;
}

// The ratios asked for, with a little to spare so that rounding cannot leave a colour just
// short of them; text has more, since some styles paint tab pages a shade off the window.
constexpr double TextRatio = 4.5 + 0.4;
constexpr double DisabledRatio = 3.0 + 0.2;

} // namespace

QColor workspaceGrey(const QPalette &palette)
{
    // No palette role is a grey that reads on the window in every theme (Dark and Shadow
    // measure 2.6:1 on Fusion's light window and vanish on dark ones), so the grey is made
    // from the two roles that always differ: the text, a little over halfway to the window.
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    return legible(mix(text, window, 0.6), text, window, TextRatio);
}

QColor problemColour(const QPalette &palette, bool error)
{
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    // Red and amber read on light and dark backgrounds alike; only their shade follows it.
    const bool dark = base.lightness() < 128;
    const QColor hue = error ? (dark ? QColor(255, 96, 96) : QColor(204, 0, 0))
                             : (dark ? QColor(255, 190, 60) : QColor(176, 106, 0));
    return legible(hue, text, base, TextRatio);
}

QColor problemBackground(const QPalette &palette, bool error)
{
    return mix(palette.color(QPalette::Active, QPalette::Base), problemColour(palette, error),
               0.18);
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

void makeDisabledTextLegible(QWidget *window)
{
    QPalette palette = window->palette();
    const QColor background = palette.color(QPalette::Active, QPalette::Window);
    const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    const QColor theme = palette.color(QPalette::Disabled, QPalette::WindowText);
    // The theme's grey moved towards the normal text colour until it reads.
    const QColor grey = legible(theme, text, background, DisabledRatio);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, grey);
    window->setPalette(palette);
}

void setFieldBackground(QWidget *field, bool enabled)
{
    // Start from the application palette, not the field's own, so that the colour follows
    // the theme rather than whatever was set last.
    const QPalette base = QApplication::palette(field);
    const QColor colour = enabled ? enabledFieldBackground(base) : inactiveFieldBackground(base);
    QPalette palette = field->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, colour);
    // The theme's disabled text is tuned for the plain background and all but vanishes on
    // the grey; a darker (or, in dark themes, lighter) grey keeps the kept text readable.
    const bool lightBase = enabledFieldBackground(base).lightness() >= 128;
    palette.setColor(QPalette::Disabled, QPalette::Text,
                     lightBase ? QColor(112, 112, 112) : QColor(176, 176, 176));
    field->setPalette(palette);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(field))
        area->viewport()->setAutoFillBackground(true);
}

QColor fieldBackground(const QWidget *field)
{
    return field->palette().color(field->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                  QPalette::Base);
}

} // namespace SystemColours
