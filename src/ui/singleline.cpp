#include "singleline.h"

#include <QLineEdit>
#include <QValidator>

#include <limits>

namespace SingleLine {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029' || c == u'\u0085';
}

// A validator may rewrite what it is given; the field then shows and reports the result, to
// its textEdited() listeners too.
class OneLine : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        if (std::any_of(input.cbegin(), input.cend(), isLineBreak))
            input = joined(input);
        return Acceptable;
    }
};

} // namespace

QString joined(QString text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!isLineBreak(c)) {
            result.append(c);
            continue;
        }
        result.append(u' ');
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i; // CR LF is one break
    }
    return result;
}

void apply(QWidget *window)
{
    auto *oneLine = new OneLine(window);
    for (QLineEdit *field : window->findChildren<QLineEdit *>()) {
        field->setMaxLength(std::numeric_limits<int>::max());
        field->setValidator(oneLine);
    }
}

} // namespace SingleLine
