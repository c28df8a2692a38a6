#include "platform/IniText.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <utility>

namespace {

const QString kRootSection = QStringLiteral("General");
const QString kByteArrayHead = QStringLiteral("@ByteArray(");
const QString kInvalid = QStringLiteral("@Invalid()");

bool isPlainKeyChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_'
           || c == u'-' || c == u'.';
}

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

QString hex(char16_t c, int width, bool upper)
{
    QString digits = QString::number(c, 16);
    if (upper)
        digits = digits.toUpper();
    return digits.rightJustified(width, QLatin1Char('0'));
}

QString escapeKey(const QString& key)
{
    QString out;
    out.reserve(key.size());
    for (const QChar ch : key) {
        const char16_t c = ch.unicode();
        if (c == u'/')
            out += QLatin1Char('\\');
        else if (isPlainKeyChar(c))
            out += ch;
        else if (c <= 0xFF)
            out += QLatin1Char('%') + hex(c, 2, true);
        else
            out += QStringLiteral("%U") + hex(c, 4, true);
    }
    return out;
}

// The hex number of exactly `count` digits at `pos`, or -1.
int hexAt(QStringView text, qsizetype pos, int count)
{
    if (pos + count > text.size())
        return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexValue(text[pos + i].unicode());
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

QString unescapeKey(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == QLatin1Char('\\')) {
            out += QLatin1Char('/');
        } else if (ch == QLatin1Char('%') && i + 1 < text.size() && text[i + 1] == QLatin1Char('U')
                   && hexAt(text, i + 2, 4) >= 0) {
            out += QChar(static_cast<char16_t>(hexAt(text, i + 2, 4)));
            i += 5;
        } else if (ch == QLatin1Char('%') && hexAt(text, i + 1, 2) >= 0) {
            out += QChar(static_cast<char16_t>(hexAt(text, i + 1, 2)));
            i += 2;
        } else {
            out += ch;
        }
    }
    return out;
}

// The value's text before escaping; bytes come as one character per byte.
std::pair<QString, bool> valueText(const QVariant& value)
{
    if (!value.isValid())
        return {kInvalid, false};
    if (value.typeId() == QMetaType::QByteArray)
        return {kByteArrayHead + QString::fromLatin1(value.toByteArray()) + QLatin1Char(')'), true};
    QString text = value.toString();
    if (text.startsWith(QLatin1Char('@')))
        text.prepend(QLatin1Char('@'));
    return {text, false};
}

QString escapeValue(const QString& text, bool bytes)
{
    const bool blankAtEnd = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    const bool quote = blankAtEnd || text.contains(QLatin1Char(',')) || text.contains(QLatin1Char(';'))
                       || text.contains(QLatin1Char('='));
    QString out;
    out.reserve(text.size() + 2);
    if (quote)
        out += QLatin1Char('"');
    // A hex digit right after a \x escape would be read as part of it.
    bool afterHexEscape = false;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool escape = c < 0x20 || c == 0x7F || (bytes && c >= 0x80) || ch.isSurrogate()
                            || (afterHexEscape && hexValue(c) >= 0);
        afterHexEscape = false;
        if (c == u'\\') {
            out += QStringLiteral("\\\\");
        } else if (c == u'"') {
            out += QStringLiteral("\\\"");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c == u'\r') {
            out += QStringLiteral("\\r");
        } else if (c == u'\t') {
            out += QStringLiteral("\\t");
        } else if (escape) {
            out += QStringLiteral("\\x") + QString::number(c, 16);
            afterHexEscape = true;
        } else {
            out += ch;
        }
    }
    if (quote)
        out += QLatin1Char('"');
    return out;
}

QVariant parseValue(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    qsizetype kept = 0;  // unquoted blanks at the end are dropped
    bool started = false;
    bool quoted = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar ch = raw[i];
        if (!quoted && ch.isSpace()) {
            if (started)
                out += ch;
            continue;
        }
        started = true;
        if (ch == QLatin1Char('"')) {
            quoted = !quoted;
            kept = out.size();
            continue;
        }
        if (ch != QLatin1Char('\\')) {
            out += ch;
            kept = out.size();
            continue;
        }
        if (++i >= raw.size())
            break;
        const char16_t e = raw[i].unicode();
        switch (e) {
        case u'a': out += QChar(u'\a'); break;
        case u'b': out += QChar(u'\b'); break;
        case u'f': out += QChar(u'\f'); break;
        case u'n': out += QChar(u'\n'); break;
        case u'r': out += QChar(u'\r'); break;
        case u't': out += QChar(u'\t'); break;
        case u'v': out += QChar(u'\v'); break;
        case u'x': {
            // At most four digits: one UTF-16 unit.
            int value = 0;
            int digits = 0;
            while (digits < 4 && i + 1 < raw.size() && hexValue(raw[i + 1].unicode()) >= 0) {
                value = value * 16 + hexValue(raw[++i].unicode());
                ++digits;
            }
            if (digits == 0)
                out += QLatin1Char('x');
            else
                out += QChar(static_cast<char16_t>(value));
            break;
        }
        default:
            if (e >= u'0' && e <= u'7') {
                int value = e - u'0';
                for (int digits = 1; digits < 3 && i + 1 < raw.size() && raw[i + 1] >= QLatin1Char('0')
                                     && raw[i + 1] <= QLatin1Char('7');
                     ++digits)
                    value = value * 8 + (raw[++i].unicode() - u'0');
                out += QChar(static_cast<char16_t>(value));
            } else {
                out += QChar(e);  // \\, \", \' and any other character stand for themselves
            }
            break;
        }
        kept = out.size();
    }
    out.truncate(kept);

    if (!out.startsWith(QLatin1Char('@')))
        return out;
    if (out.startsWith(QStringLiteral("@@")))
        return out.mid(1);
    if (out == kInvalid)
        return QVariant();
    if (out.startsWith(kByteArrayHead) && out.endsWith(QLatin1Char(')')))
        return QStringView(out).sliced(kByteArrayHead.size(), out.size() - kByteArrayHead.size() - 1).toLatin1();
    return out;  // a form this profile never writes stays text
}

// The section a raw "[...]" header names; empty for the root.
QString sectionOf(QStringView header)
{
    if (header.compare(kRootSection, Qt::CaseInsensitive) == 0)
        return QString();
    // A top-level group that is itself called General is written "%General".
    if (header.startsWith(QLatin1Char('%')) && header.sliced(1).compare(kRootSection, Qt::CaseInsensitive) == 0)
        return header.sliced(1).toString();
    return unescapeKey(header);
}

} // namespace

QByteArray WriteIniText(const QSettings::SettingsMap& values)
{
    // Section (empty for the root) -> its lines, in key order.
    QMap<QString, QStringList> sections;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString& key = it.key();
        const qsizetype slash = key.indexOf(QLatin1Char('/'));
        // A key with no first level of its own (none, or an empty one) stays in the root.
        const bool inRoot = slash <= 0 || slash == key.size() - 1;
        const QString section = inRoot ? QString() : key.left(slash);
        const QString name = inRoot ? key : key.mid(slash + 1);
        const auto [text, bytes] = valueText(it.value());
        sections[section].append(escapeKey(name) + QLatin1Char('=') + escapeValue(text, bytes));
    }

    QString out;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        QString header = it.key().isEmpty() ? kRootSection : escapeKey(it.key());
        if (it.key().compare(kRootSection, Qt::CaseInsensitive) == 0)
            header.prepend(QLatin1Char('%'));
        out += QLatin1Char('[') + header + QStringLiteral("]\n");
        for (const QString& line : it.value())
            out += line + QLatin1Char('\n');
    }
    return out.toUtf8();
}

QSettings::SettingsMap ReadIniText(const QByteArray& text)
{
    QSettings::SettingsMap values;
    QString all = QString::fromUtf8(text);
    if (all.startsWith(QChar(0xFEFF)))
        all.remove(0, 1);

    QString section;
    for (QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.front() == QLatin1Char(';') || line.front() == QLatin1Char('#'))
            continue;
        if (line.front() == QLatin1Char('[')) {
            const qsizetype close = line.lastIndexOf(QLatin1Char(']'));
            section = sectionOf(close > 0 ? line.sliced(1, close - 1) : line.sliced(1));
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        const QString key = unescapeKey(line.first(equals).trimmed());
        if (key.isEmpty())
            continue;
        values.insert(section.isEmpty() ? key : section + QLatin1Char('/') + key, parseValue(line.sliced(equals + 1)));
    }
    return values;
}
