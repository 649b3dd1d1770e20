#include "benchsupport.h"

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

} // namespace bench
