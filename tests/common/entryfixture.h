// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "entrydialog.h"
#include "scriptedservices.h"
#include "standinmain.h"
#include "systemcolours.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <memory>

// Opens a dialog as the main window's Add button does and waits until it takes input.
template <typename Dialog> QPointer<Dialog> openEntryDialog(StandInMain &main)
{
    QPointer<Dialog> dialog = new Dialog(&main);
    QList<QWidget *> locked = main.lockedControls();
    locked.removeOne(&main);
    dialog->setLockedControls(locked);
    QObject::connect(dialog, &EntryDialog::entryComposed, &main, [&main](const QStringList &texts) {
        for (qsizetype i = 0; i < texts.size() && i < main.boxes.size(); ++i) {
            if (!texts[i].isEmpty())
                main.document.appendCode(main.boxes[i], texts[i]);
        }
    });
    main.addButton->setFocus(); // as the click on it leaves it
    dialog->open();
    (void)QTest::qWaitForWindowActive(dialog);
    QCoreApplication::processEvents(); // the activation arrives as an event
    return dialog;
}

inline void click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// The names of the focus stops reached by Tab from the window's focus widget, in order,
// until the chain comes round again.
inline QStringList tabOrder(QWidget *window, QWidget *first)
{
    QStringList names;
    QWidget *w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() && w->isVisible() &&
            w->window() == window)
            names << w->objectName();
        w = w->nextInFocusChain();
    } while (w && w != first);
    return names;
}

// Types each value into the field named before it: {name, value, name, value, ...}.
inline void typeFields(QWidget *window, const QStringList &namesAndValues)
{
    for (qsizetype i = 0; i + 1 < namesAndValues.size(); i += 2)
        retype(control<QLineEdit>(window, namesAndValues[i].toLatin1().constData()),
               namesAndValues[i + 1]);
}

// The one warning an entry dialog gives when a required field is empty.
inline bool isFillAllFieldsWarning(const ScriptedServices::Message &m)
{
    return m.icon == QMessageBox::Warning && m.title == QStringLiteral("Merrow Editor") &&
           m.text == QStringLiteral(" Fill all fields or click on the Cancel button. ") &&
           m.buttons == QMessageBox::Ok && m.defaultButton == QMessageBox::Ok;
}

// Whether the field looks switched off: disabled and on the inactive grey.
inline bool looksSwitchedOff(const QLineEdit *field)
{
    return !field->isEnabled() &&
           SystemColours::fieldBackground(field) ==
               SystemColours::inactiveFieldBackground(QApplication::palette(field));
}
inline bool looksSwitchedOn(const QLineEdit *field)
{
    return field->isEnabled() &&
           SystemColours::fieldBackground(field) ==
               SystemColours::enabledFieldBackground(QApplication::palette(field));
}

// Labels and text boxes in Verdana 8.25 pt; frames, buttons and check boxes in the dialog font.
inline bool hasEntryFonts(QWidget *dialog)
{
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        const bool field = qobject_cast<QLabel *>(w) || qobject_cast<QLineEdit *>(w);
        const bool other = qobject_cast<QGroupBox *>(w) || qobject_cast<QAbstractButton *>(w);
        if (!field && !other)
            continue;
        if ((w->font().family() == QStringLiteral("Verdana")) != field ||
            w->font().pointSizeF() != 8.25) {
            qWarning() << "unexpected font" << w->objectName() << w->font();
            return false;
        }
    }
    return true;
}

// What the shared checks below need to know of one class entry dialog.
struct EntryDialogTraits
{
    CodeBox box;
    const char *addButton;
    const char *cancelButton;
    QStringList filled; // {name, value, ...}: every field with a non-empty value
};

// The ways out of an entry dialog; every one of them must hand the main window back.
inline void closeRouteRows()
{
    QTest::addColumn<QString>("route");
    for (const char *route : {"Cancel", "Esc", "window manager", "Add"})
        QTest::newRow(route) << route;
}

template <typename Dialog>
void checkCloseRoute(const QString &route, StandInMain &main, QPointer<Dialog> &dialog,
                     const ScriptedServices &prompts, const EntryDialogTraits &traits)
{
    typeFields(dialog, traits.filled);
    if (route == QStringLiteral("Cancel"))
        click(control<QPushButton>(dialog, traits.cancelButton));
    else if (route == QStringLiteral("Esc")) // from the last field typed into
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else if (route == QStringLiteral("window manager"))
        dialog->windowHandle()->close();
    else
        click(control<QPushButton>(dialog, traits.addButton));
    flushDeletes();
    QVERIFY(!dialog);
    QVERIFY(main.allReleased());
    QCoreApplication::processEvents();
    // The focus is back on the Add button, where it was when the dialog opened.
    QCOMPARE(QApplication::focusWidget(), main.addButton);
    QCOMPARE(main.document.code(traits.box).isEmpty(), route != QStringLiteral("Add"));
    QCOMPARE(prompts.beeps, 0);
}

// Enter, in a field or on the focused Add button, adds nothing and closes nothing.
template <typename Dialog>
void checkEnterAddsNothing(StandInMain &main, QPointer<Dialog> &dialog,
                           const EntryDialogTraits &traits)
{
    typeFields(dialog, traits.filled);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    auto *add = control<QPushButton>(dialog, traits.addButton);
    add->setFocus();
    QTest::keyClick(add, Qt::Key_Return);
    QTest::keyClick(add, Qt::Key_Enter);
    flushDeletes();
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(main.document.code(traits.box).isEmpty());
    QVERIFY(main.allLocked());
}

inline void requiredFieldRows(std::initializer_list<const char *> names)
{
    QTest::addColumn<QString>("emptied");
    for (const char *name : names)
        QTest::newRow(name) << name;
}

// With `emptied` left empty Add beeps and warns once and changes nothing; filled in
// afterwards, the next Add appends exactly one entry.
template <typename Dialog>
void checkRequiredField(const QString &emptied, StandInMain &main, QPointer<Dialog> &dialog,
                        const ScriptedServices &prompts, const EntryDialogTraits &traits)
{
    QStringList typed = traits.filled;
    typed[typed.indexOf(emptied) + 1] = QString();
    typeFields(dialog, typed);
    click(control<QPushButton>(dialog, traits.addButton));
    flushDeletes();

    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(prompts.beeps, 1);
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(isFillAllFieldsWarning(prompts.messages.first()));
    QVERIFY(main.document.code(traits.box).isEmpty());
    QVERIFY(main.allLocked());
    for (qsizetype i = 0; i < typed.size(); i += 2)
        QCOMPARE(control<QLineEdit>(dialog, typed[i].toLatin1().constData())->text(), typed[i + 1]);

    retype(control<QLineEdit>(dialog, emptied.toLatin1().constData()), QStringLiteral("x"));
    click(control<QPushButton>(dialog, traits.addButton));
    flushDeletes();
    QVERIFY(!dialog);
    QCOMPARE(main.document.code(traits.box).count(QStringLiteral("class ")), 1);
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(main.allReleased());
}

// What every entry-dialog test class holds: the answers to its questions, a stand-in main
// window with the dialog's lock controls, and the open dialog. A test class derives from it
// beside QObject.
template <typename Dialog> struct EntryDialogTest
{
    std::unique_ptr<ScriptedServices> prompts;
    std::unique_ptr<StandInMain> main;
    QPointer<Dialog> dialog;

    QLineEdit *field(const char *name) { return control<QLineEdit>(dialog, name); }
    QPushButton *button(const char *name) { return control<QPushButton>(dialog, name); }
    QCheckBox *checkBox(const char *name) { return control<QCheckBox>(dialog, name); }

    // Opens the dialog again over the same main window, after the last one has closed.
    void reopen()
    {
        flushDeletes();
        QVERIFY(!dialog);
        dialog = openEntryDialog<Dialog>(*main);
    }

    // Opens the dialog over a fresh stand-in main window; true when it opened.
    bool openFresh(const QStringList &switchNames, const QString &addButtonName,
                   const QList<CodeBox> &boxes)
    {
        prompts = std::make_unique<ScriptedServices>();
        main = std::make_unique<StandInMain>(switchNames, addButtonName, boxes);
        dialog = openEntryDialog<Dialog>(*main);
        return dialog;
    }
    void closeAll()
    {
        delete dialog;
        main.reset();
        prompts.reset();
    }
};
