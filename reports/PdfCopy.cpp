#include "PdfCopy.h"

#include <QDateTime>
#include <QIODevice>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace PdfCopy {

namespace {

// The lexical units of PDF (ISO 32000-1, 7.2 and 7.3): what is needed to walk a dictionary, find
// its keys and references, and stop at the keyword "stream".
enum class Kind { End, Space, Name, Number, String, DictOpen, DictClose, ArrayOpen, ArrayClose, Keyword };

bool IsWhite(char c)
{
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool IsDelimiter(char c)
{
    return std::strchr("()<>[]{}/%", c) != nullptr && c != 0;
}

struct Token
{
    Kind kind = Kind::End;
    QByteArrayView text;
};

class Lexer
{
public:
    explicit Lexer(QByteArrayView data) : m_data(data) {}

    qsizetype pos = 0;

    Token next()
    {
        const qsizetype start = pos;
        if (pos >= m_data.size())
            return {Kind::End, {}};
        const char c = m_data[pos];
        if (IsWhite(c) || c == '%') {
            while (pos < m_data.size() && (IsWhite(m_data[pos]) || m_data[pos] == '%')) {
                if (m_data[pos] == '%')
                    while (pos < m_data.size() && m_data[pos] != '\n' && m_data[pos] != '\r')
                        ++pos;
                else
                    ++pos;
            }
            return make(Kind::Space, start);
        }
        switch (c) {
        case '/':
            ++pos;
            regular();
            return make(Kind::Name, start);
        case '(':
            literalString();
            return make(Kind::String, start);
        case '<':
            if (pos + 1 < m_data.size() && m_data[pos + 1] == '<') {
                pos += 2;
                return make(Kind::DictOpen, start);
            }
            while (pos < m_data.size() && m_data[pos] != '>')
                ++pos;
            expect(pos < m_data.size());
            ++pos;
            return make(Kind::String, start);
        case '>':
            expect(pos + 1 < m_data.size() && m_data[pos + 1] == '>');
            pos += 2;
            return make(Kind::DictClose, start);
        case '[':
            ++pos;
            return make(Kind::ArrayOpen, start);
        case ']':
            ++pos;
            return make(Kind::ArrayClose, start);
        default:
            break;
        }
        expect(!IsDelimiter(c));
        regular();
        const QByteArrayView word = m_data.sliced(start, pos - start);
        const bool number = std::all_of(word.begin(), word.end(), [](char ch) {
            return (ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+';
        });
        return {number ? Kind::Number : Kind::Keyword, word};
    }

    // An object reference "N G R" from here on (after any blanks); the lexer is left after it.
    bool reference(int &number)
    {
        Lexer ahead = *this;
        Token t = ahead.skipSpace();
        if (t.kind != Kind::Number || !Unsigned(t.text, number))
            return false;
        int generation = 0;
        t = ahead.skipSpace();
        if (t.kind != Kind::Number || !Unsigned(t.text, generation))
            return false;
        t = ahead.skipSpace();
        if (t.kind != Kind::Keyword || t.text != "R")
            return false;
        pos = ahead.pos;
        return true;
    }

    Token skipSpace()
    {
        Token t = next();
        while (t.kind == Kind::Space)
            t = next();
        return t;
    }

    static bool Unsigned(QByteArrayView text, int &value)
    {
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        return ec == std::errc() && end == text.data() + text.size() && value >= 0;
    }

private:
    Token make(Kind kind, qsizetype start) const { return {kind, m_data.sliced(start, pos - start)}; }
    void regular()
    {
        while (pos < m_data.size() && !IsWhite(m_data[pos]) && !IsDelimiter(m_data[pos]))
            ++pos;
    }
    void literalString()
    {
        int depth = 0;
        while (pos < m_data.size()) {
            const char ch = m_data[pos++];
            if (ch == '\\')
                ++pos;
            else if (ch == '(')
                ++depth;
            else if (ch == ')' && --depth == 0)
                return;
        }
        expect(false);
    }
    static void expect(bool ok)
    {
        if (!ok)
            throw Error(QStringLiteral("a PDF object is cut short or malformed"));
    }

    QByteArrayView m_data;
};

// Moves the lexer past key `key` of the dictionary at the start of its data; false when the
// dictionary does not have the key at its top level.
bool SeekKey(Lexer &lex, QByteArrayView key)
{
    int depth = 0;
    for (Token t = lex.next(); t.kind != Kind::End; t = lex.next()) {
        if (t.kind == Kind::DictOpen || t.kind == Kind::ArrayOpen)
            ++depth;
        else if (t.kind == Kind::DictClose || t.kind == Kind::ArrayClose) {
            if (--depth <= 0)
                return false;
        } else if (t.kind == Kind::Name && depth == 1 && t.text == key)
            return true;
    }
    return false;
}

// The reference or number that follows key `key` in the dictionary at the start of `data`;
// -1 when the dictionary does not have the key at its top level.
int Value(QByteArrayView data, QByteArrayView key, bool *isReference = nullptr)
{
    Lexer lex(data);
    if (!SeekKey(lex, key))
        return -1;
    int number = -1;
    if (lex.reference(number)) {
        if (isReference)
            *isReference = true;
        return number;
    }
    const Token v = lex.skipSpace();
    if (v.kind == Kind::Number && Lexer::Unsigned(v.text, number)) {
        if (isReference)
            *isReference = false;
        return number;
    }
    return -1;
}

// The references in the array that follows key `key` of a dictionary (a page tree's /Kids).
std::vector<int> References(QByteArrayView data, QByteArrayView key)
{
    Lexer lex(data);
    if (!SeekKey(lex, key) || lex.skipSpace().kind != Kind::ArrayOpen)
        return {};
    std::vector<int> refs;
    int number = 0;
    while (lex.reference(number))
        refs.push_back(number);
    return refs;
}

QByteArray Utf16Text(const QString &text)
{
    QByteArray hex("<FEFF");
    for (const QChar ch : text)
        hex += QByteArray::number(ch.unicode() | 0x10000, 16).mid(1).toUpper();
    return hex + '>';
}

std::atomic<quint64> g_serial{0};

} // namespace

Source::Source(const QString &path) : m_file(path), m_serial(++g_serial)
{
    if (!m_file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("%1 could not be read (%2)").arg(path, m_file.errorString()));
    const qint64 size = m_file.size();
    const uchar *mapped = size > 0 ? m_file.map(0, size) : nullptr;
    if (!mapped)
        throw Error(QStringLiteral("%1 could not be read (%2)").arg(path, m_file.errorString()));
    m_data = QByteArrayView(reinterpret_cast<const char *>(mapped), size);

    const auto bad = [&](const char *why) {
        return Error(QStringLiteral("%1 is not a PDF file of our own writer (%2)").arg(path, QLatin1String(why)));
    };
    if (!m_data.startsWith("%PDF-"))
        throw bad("no header");
    const qsizetype start = m_data.lastIndexOf(QByteArrayView("startxref"));
    if (start < 0)
        throw bad("no startxref");
    Lexer lex(m_data);
    lex.pos = start + 9;
    int xref = 0;
    if (Token t = lex.skipSpace(); t.kind != Kind::Number || !Lexer::Unsigned(t.text, xref) || xref >= size)
        throw bad("no cross-reference table");

    // The classic table: subsections of "first count" and their entries "offset generation n|f".
    lex.pos = xref;
    if (Token t = lex.skipSpace(); t.text != "xref")
        throw bad("no cross-reference table");
    for (;;) {
        const qsizetype at = lex.pos;
        Token t = lex.skipSpace();
        if (t.kind == Kind::Keyword && t.text == "trailer")
            break;
        int first = 0, count = 0;
        Token c = lex.skipSpace();
        if (t.kind != Kind::Number || !Lexer::Unsigned(t.text, first) || c.kind != Kind::Number ||
            !Lexer::Unsigned(c.text, count) || count > size / 18)
            throw bad("a damaged cross-reference table");
        if (m_offsets.size() < static_cast<size_t>(first + count))
            m_offsets.resize(static_cast<size_t>(first + count), -1);
        for (int i = 0; i < count; ++i) {
            int offset = 0, generation = 0;
            Token o = lex.skipSpace(), g = lex.skipSpace(), k = lex.skipSpace();
            if (!Lexer::Unsigned(o.text, offset) || !Lexer::Unsigned(g.text, generation) ||
                (k.text != "n" && k.text != "f"))
                throw bad("a damaged cross-reference table");
            m_offsets[static_cast<size_t>(first + i)] = k.text == "n" ? offset : -1;
        }
        if (lex.pos == at)
            throw bad("a damaged cross-reference table");
    }
    const QByteArrayView trailer = m_data.sliced(lex.pos);
    if (Value(trailer.sliced(trailer.indexOf("<<")), "/Encrypt") >= 0 ||
        Value(trailer.sliced(trailer.indexOf("<<")), "/Prev") >= 0)
        throw bad("an encrypted or updated file");
    const int root = Value(trailer.sliced(std::max<qsizetype>(0, trailer.indexOf("<<"))), "/Root");
    if (root < 0)
        throw bad("no catalogue");
    const int pages = Value(object(root), "/Pages");
    if (pages < 0)
        throw bad("no page tree");
    addPages(pages, 0);
}

void Source::addPages(int pagesObject, int depth)
{
    if (depth > 32)
        throw Error(QStringLiteral("%1: the page tree is too deep").arg(m_file.fileName()));
    const QByteArrayView node = object(pagesObject);
    const std::vector<int> kids = References(node, "/Kids");
    for (const int kid : kids) {
        const QByteArrayView k = object(kid);
        // A kid is a page unless it is itself a page tree (one with kids).
        if (References(k, "/Kids").empty())
            m_pages.push_back(kid);
        else
            addPages(kid, depth + 1);
    }
}

QByteArrayView Source::object(int number) const
{
    const auto bad = [&] {
        return Error(QStringLiteral("%1: object %2 is missing").arg(m_file.fileName()).arg(number));
    };
    if (number < 0 || static_cast<size_t>(number) >= m_offsets.size() || m_offsets[static_cast<size_t>(number)] < 0)
        throw bad();
    Lexer lex(m_data);
    lex.pos = m_offsets[static_cast<size_t>(number)];
    int n = -1, g = -1;
    const Token a = lex.skipSpace(), b = lex.skipSpace(), c = lex.skipSpace();
    if (!Lexer::Unsigned(a.text, n) || n != number || !Lexer::Unsigned(b.text, g) || c.text != "obj")
        throw bad();
    return m_data.sliced(lex.pos);
}

qint64 Source::number(int object) const
{
    Lexer lex(this->object(object));
    int value = -1;
    if (const Token t = lex.skipSpace(); t.kind != Kind::Number || !Lexer::Unsigned(t.text, value))
        throw Error(QStringLiteral("%1: object %2 is not a length").arg(m_file.fileName()).arg(object));
    return value;
}

Writer::Writer(QIODevice &out, const QString &title) : m_out(out), m_title(title)
{
    put("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

void Writer::put(QByteArrayView bytes)
{
    if (m_out.write(bytes.data(), bytes.size()) != bytes.size())
        m_failed = true;
    m_written += bytes.size();
}

int Writer::mapped(int number, std::vector<int> &queue)
{
    auto it = m_numbers.find(number);
    if (it == m_numbers.end()) {
        it = m_numbers.insert(number, static_cast<int>(m_offsets.size()));
        m_offsets.push_back(-1);
        queue.push_back(number);
    }
    return *it;
}

void Writer::addPages(const Source &source, int first, int count)
{
    if (first < 0 || count < 0 || first + count > source.pageCount())
        throw Error(
            QStringLiteral("%1 has no pages %2 to %3").arg(source.fileName()).arg(first + 1).arg(first + count));
    if (m_source != source.serial()) {
        m_source = source.serial();
        m_numbers.clear();
    }
    std::vector<int> queue;
    for (int p = first; p < first + count; ++p) {
        m_kids.push_back(mapped(source.pageObject(p), queue));
        while (!queue.empty()) {
            const int next = queue.back();
            queue.pop_back();
            copy(source, next, queue);
        }
    }
}

// One object with its references renumbered (and a page's /Parent pointed at this file's page
// tree), a stream's data as it stands.
void Writer::copy(const Source &source, int number, std::vector<int> &queue)
{
    const QByteArrayView body = source.object(number);
    QByteArray out;
    out.reserve(256);
    Lexer lex(body);
    int depth = 0;
    bool parent = false; // the next reference is a page's parent
    qint64 length = -1;
    bool lengthNext = false;
    qsizetype streamAt = -1;
    for (;;) {
        const qsizetype at = lex.pos;
        int ref = 0;
        if (lex.reference(ref)) {
            // Keep the blank before the reference, drop its own spelling.
            const int mine = parent ? 2 : mapped(ref, queue);
            if (lengthNext)
                length = source.number(ref);
            out += ' ';
            out += QByteArray::number(mine);
            out += " 0 R";
            parent = lengthNext = false;
            continue;
        }
        lex.pos = at;
        const Token t = lex.next();
        if (t.kind == Kind::End)
            throw Error(QStringLiteral("%1: object %2 has no end").arg(source.fileName()).arg(number));
        if (t.kind == Kind::Keyword && t.text == "endobj")
            break;
        if (t.kind == Kind::Keyword && t.text == "stream") {
            streamAt = lex.pos;
            break;
        }
        if (t.kind == Kind::DictOpen || t.kind == Kind::ArrayOpen)
            ++depth;
        else if (t.kind == Kind::DictClose || t.kind == Kind::ArrayClose)
            --depth;
        if (t.kind != Kind::Space) {
            if (int value = 0; lengthNext && t.kind == Kind::Number && Lexer::Unsigned(t.text, value))
                length = value;
            parent = t.kind == Kind::Name && t.text == "/Parent";
            lengthNext = t.kind == Kind::Name && depth == 1 && t.text == "/Length";
        }
        out += t.text;
    }
    m_offsets[static_cast<size_t>(m_numbers.value(number))] = m_written;
    put(QByteArray::number(m_numbers.value(number)) + " 0 obj");
    put(out);
    if (streamAt >= 0) {
        // After the keyword: an end of line, then exactly /Length bytes.
        qsizetype dataAt = streamAt;
        if (dataAt < body.size() && body[dataAt] == '\r')
            ++dataAt;
        if (dataAt < body.size() && body[dataAt] == '\n')
            ++dataAt;
        if (length < 0 || dataAt + length > body.size())
            throw Error(QStringLiteral("%1: the stream of object %2 has no length").arg(source.fileName()).arg(number));
        put("stream\n");
        put(body.sliced(dataAt, length));
        put("\nendstream\n");
    }
    put("endobj\n");
}

void Writer::finish()
{
    m_offsets[2] = m_written;
    QByteArray tree("2 0 obj\n<<\n/Type /Pages\n/Kids [\n");
    for (const int kid : m_kids)
        tree += QByteArray::number(kid) + " 0 R\n";
    tree += "]\n/Count " + QByteArray::number(static_cast<qsizetype>(m_kids.size())) +
            "\n/ProcSet [/PDF /Text /ImageB /ImageC]\n>>\nendobj\n";
    put(tree);
    m_offsets[1] = m_written;
    put("1 0 obj\n<<\n/Type /Catalog\n/Pages 2 0 R\n>>\nendobj\n");
    m_offsets[3] = m_written;
    put("3 0 obj\n<<\n/Title " + Utf16Text(m_title) + "\n/Creator (IncomeTax)\n/CreationDate (D:" +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z)\n>>\nendobj\n");

    const qint64 xref = m_written;
    QByteArray table =
        "xref\n0 " + QByteArray::number(static_cast<qsizetype>(m_offsets.size())) + "\n0000000000 65535 f \n";
    char entry[24];
    for (size_t i = 1; i < m_offsets.size(); ++i) {
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(m_offsets[i]));
        table += entry;
    }
    table += "trailer\n<<\n/Size " + QByteArray::number(static_cast<qsizetype>(m_offsets.size())) +
             "\n/Info 3 0 R\n/Root 1 0 R\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    put(table);
    if (m_failed)
        throw Error(m_out.errorString());
}

} // namespace PdfCopy
