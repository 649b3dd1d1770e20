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

QColor workspaceGrey(const QPalette &palette)
{
    return palette.color(QPalette::Active, QPalette::Dark);
}

namespace {

double luminance(const QColor &c)
{
    auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

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
    // The theme's grey moved towards the normal text colour until it reads, with a little to
    // spare so that rounding cannot leave it just short.
    QColor grey = theme;
    for (int step = 1; step <= 20 && contrast(grey, background) < 3.2; ++step) {
        const float t = float(step) / 20;
        grey = QColor::fromRgbF(theme.redF() + (text.redF() - theme.redF()) * t,
                                theme.greenF() + (text.greenF() - theme.greenF()) * t,
                                theme.blueF() + (text.blueF() - theme.blueF()) * t);
    }
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
