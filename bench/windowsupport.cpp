// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windowsupport.h"

#include "mainwindow.h"

#include <QPlainTextEdit>
#include <QTabWidget>

namespace bench {

void switchSectionsOn(EditorDocument &document)
{
    for (Switch s : {Switch::mainIdentityActive, Switch::mainRadioActive, Switch::mainSoundActive,
                     Switch::mainMusicActive, Switch::mainLoadoutActive, Switch::paramsActive,
                     Switch::mainOtherActive})
        document.setSwitch(s, 1);
}

QPlainTextEdit *showCodeBox(Main &main, CodeBox box)
{
    auto *edit = main.findChild<QPlainTextEdit *>(QString::fromLatin1(codeBoxName(box)));
    QTabWidget *items = main.items();
    for (int i = 0; i < items->count(); ++i) {
        if (items->widget(i)->isAncestorOf(edit))
            items->setCurrentIndex(i);
    }
    return edit;
}

} // namespace bench
