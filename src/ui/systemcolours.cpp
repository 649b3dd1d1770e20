#include "systemcolours.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QWidget>

namespace SystemColours {

QColor enabledFieldBackground(const QPalette &palette)
{
    return palette.color(QPalette::Active, QPalette::Base);
}

QColor inactiveBorder(const QPalette &palette)
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

void setFieldBackground(QWidget *field, bool enabled)
{
    // Start from the application palette, not the field's own, so that the colour follows
    // the theme rather than whatever was set last.
    const QPalette base = QApplication::palette(field);
    const QColor colour = enabled ? enabledFieldBackground(base) : inactiveBorder(base);
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
