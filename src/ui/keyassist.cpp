// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keyassist.h"

#include "classkeys.h"
#include "configreader.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSet>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QToolTip>

namespace {

// The role holding what a suggestion inserts (the popup shows the display text).
constexpr int WrittenRole = Qt::UserRole;

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The names (lower case) that the class around `cursor` already sets: its values, arrays and
// classes, save the one being typed at `typingAt`. `text` is the box's whole text, whose top
// level is the root class.
QSet<QString> namesSetAround(const QString &text, qsizetype cursor, qsizetype typingAt)
{
    config::ReadOptions options;
    options.checkKnownKeys = false;
    options.styleNotes = false;
    const config::ReadResult read = config::readConfig(text, options);
    const QList<config::Entry> *scope = &read.entries;
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (const config::Entry &e : *scope) {
            if (e.kind == config::EntryKind::Class && e.bodySpan.start.offset <= cursor &&
                cursor <= e.bodySpan.end.offset &&
                e.bodySpan.end.offset > e.bodySpan.start.offset) {
                scope = &e.children;
                deeper = true;
                break;
            }
        }
    }
    QSet<QString> names;
    for (const config::Entry &e : *scope) {
        const bool named = e.kind == config::EntryKind::Value ||
                           e.kind == config::EntryKind::Array || e.kind == config::EntryKind::Class;
        if (named && !(e.span.start.offset <= typingAt && typingAt < e.span.end.offset))
            names.insert(e.name.toLower());
    }
    return names;
}

} // namespace

KeyAssist *KeyAssist::install(QPlainTextEdit *edit, const QStringList &root)
{
    return new KeyAssist(edit, root);
}

KeyAssist::KeyAssist(QPlainTextEdit *edit, const QStringList &root)
    : QObject(edit), m_edit(edit), m_viewport(edit->viewport()), m_root(root)
{
    connect(edit, &QPlainTextEdit::textChanged, this, &KeyAssist::followTyping);
    edit->installEventFilter(this);
    edit->viewport()->installEventFilter(this);
}

QCompleter *KeyAssist::completer()
{
    if (m_completer)
        return m_completer;
    m_model = new QStandardItemModel(this);
    m_completer = new QCompleter(this);
    m_completer->setModel(m_model);
    m_completer->setCompletionRole(WrittenRole);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setWidget(m_edit);
    m_completer->popup()->setObjectName(QStringLiteral("keyCompletions"));
    connect(
        m_completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
        [this](const QModelIndex &index) { insertCompletion(index.data(WrittenRole).toString()); });
    // Installed after the completer's own filter, so it sees the popup's keys first: the
    // completer would hand Enter to the text box, which takes it as a line break.
    m_completer->popup()->installEventFilter(this);
    return m_completer;
}

bool KeyAssist::popupVisible() const
{
    return m_completer && m_completer->popup()->isVisible();
}

QString KeyAssist::textBeforeCursor() const
{
    const int position = m_edit->textCursor().position();
    return m_edit->document()->toPlainText().left(position);
}

bool KeyAssist::showCompletions()
{
    if (m_edit->isReadOnly())
        return false;
    const config::KeyContext context = config::keyContextAt(textBeforeCursor(), m_root);
    if (!context.atKey)
        return false;
    QCompleter *list = completer();
    m_model->clear();
    // A key the text sets already in this class is not offered again: a second one would be
    // a duplicate the game reads only once.
    const int cursor = m_edit->textCursor().position();
    const QSet<QString> present =
        namesSetAround(m_edit->document()->toPlainText(), cursor,
                       context.prefix.isEmpty() ? cursor : context.prefixStart);
    for (const config::KeyInfo &key : config::keysIn(context.classPath)) {
        if (context.classOnly && key.type != config::KeyType::Class)
            continue;
        if (present.contains(key.name.toLower()))
            continue;
        auto *item =
            new QStandardItem(QStringLiteral("%1   %2 \u2013 %3")
                                  .arg(key.written(), config::keyTypeName(key.type), key.help));
        item->setData(key.written(), WrittenRole);
        item->setToolTip(config::keyHelpText(key));
        m_model->appendRow(item);
    }
    m_prefixStart = context.prefixStart;
    list->setCompletionPrefix(context.prefix);
    if (list->completionCount() == 0) {
        list->popup()->hide();
        return false;
    }
    QAbstractItemView *popup = list->popup();
    popup->setCurrentIndex(list->completionModel()->index(0, 0));
    QRect rect = m_edit->cursorRect();
    rect.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width());
    list->complete(rect);
    return true;
}

void KeyAssist::insertCompletion(const QString &written)
{
    if (written.isEmpty())
        return;
    QTextCursor cursor = m_edit->textCursor();
    const int end = cursor.position();
    cursor.setPosition(int(m_prefixStart));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.insertText(written);
    m_edit->setTextCursor(cursor);
    m_completer->popup()->hide();
}

// While the list is open, it narrows to what is typed, and closes when no key fits any more.
void KeyAssist::followTyping()
{
    if (!popupVisible())
        return;
    const config::KeyContext context = config::keyContextAt(textBeforeCursor(), m_root);
    if (!context.atKey || context.prefixStart != m_prefixStart) {
        m_completer->popup()->hide();
        return;
    }
    m_completer->setCompletionPrefix(context.prefix);
    if (m_completer->completionCount() == 0) {
        m_completer->popup()->hide();
        return;
    }
    m_completer->popup()->setCurrentIndex(m_completer->completionModel()->index(0, 0));
}

QString KeyAssist::helpAt(const QPoint &pos) const
{
    const QTextCursor at = m_edit->cursorForPosition(pos);
    const QTextBlock block = at.block();
    const QString line = block.text();
    int start = at.positionInBlock(), end = start;
    // The cursor stands between two characters; the word is the one under the mouse.
    if (start < line.size() && !isNameChar(line[start]) && start > 0 && isNameChar(line[start - 1]))
        --start, --end;
    while (start > 0 && isNameChar(line[start - 1]))
        --start;
    while (end < line.size() && isNameChar(line[end]))
        ++end;
    if (start == end)
        return {};
    // The mouse must be over the word, not past the end of a shorter line.
    const QRect wordEnd = m_edit->cursorRect([&] {
        QTextCursor c(block);
        c.setPosition(block.position() + end);
        return c;
    }());
    if (pos.x() > wordEnd.right() + 2)
        return {};
    const QString text = m_edit->document()->toPlainText().left(block.position() + start);
    const config::KeyContext context = config::keyContextAt(text, m_root);
    if (!context.atKey || !context.prefix.isEmpty())
        return {};
    const std::optional<config::KeyInfo> key =
        config::findKeyIn(context.classPath, QStringView(line).mid(start, end - start));
    return key ? config::keyHelpText(*key) : QString();
}

bool KeyAssist::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::ControlModifier) {
            showCompletions();
            return true;
        }
    } else if (m_completer && watched == m_completer->popup() &&
               event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            insertCompletion(m_completer->popup()->currentIndex().data(WrittenRole).toString());
            m_completer->popup()->hide();
            return true;
        case Qt::Key_Escape:
            m_completer->popup()->hide();
            return true;
        default:
            break;
        }
    } else if (event->type() == QEvent::ToolTip && watched == m_viewport) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = helpAt(help->pos());
        // Elsewhere the box's own tooltip shows.
        if (text.isEmpty())
            return false;
        QToolTip::showText(help->globalPos(), text, m_viewport);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
