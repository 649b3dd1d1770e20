#include "benchsupport.h"
#include "encoding.h"
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "entries.h"

namespace bench {

QString oneEntry(int number)
{
    const QString n = QString::number(number);
    return soundEntry({QStringLiteral("sound") + n, QStringLiteral("Sound ") + n,
                       QStringLiteral("sound") + n + QStringLiteral(".ogg"), QStringLiteral("0"),
                       QStringLiteral("1.0"), QString()});
}

QString entryText(qsizetype characters, int firstNumber)
{
    QString text;
    text.reserve(characters + 256);
    for (int n = firstNumber;; ++n) {
        const QString entry = oneEntry(n);
        if (text.size() + entry.size() > characters)
            break;
        text += entry;
    }
    return text;
}

void fillCodeBoxes(EditorDocument &document, qsizetype characters)
{
    const qsizetype perBox = characters / CodeBoxCount;
    for (int i = 0; i < CodeBoxCount; ++i)
        document.setCode(CodeBox(i), entryText(perBox, i * 1000000));
}

qsizetype codeBoxCharacters(const EditorDocument &document)
{
    qsizetype total = 0;
    for (int i = 0; i < CodeBoxCount; ++i)
        total += document.code(CodeBox(i)).size();
    return total;
}

EditorDocument &largeDocument()
{
    static EditorDocument *document = [] {
        auto *d = new EditorDocument;
        fillCodeBoxes(*d, LargeText);
        return d;
    }();
    return *document;
}

const QByteArray &largeFileBytes()
{
    static const QByteArray bytes = descriptionFileBytes(largeDocument().create()).bytes;
    return bytes;
}

const QString &largeFilePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("description.ext"));
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(largeFileBytes()) != largeFileBytes().size())
            std::abort();
        return p;
    }();
    return path;
}

} // namespace bench
