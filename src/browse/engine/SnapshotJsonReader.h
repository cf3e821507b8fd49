#pragma once

#include <climits>
#include <QString>
#include <QStringView>

// Reads the snapshot's JSON straight from the UTF-16 text the engine hands over. Anything
// unexpected makes it fail (ok = false) rather than guess, and it never reads past the end.
class SnapshotJsonReader {
public:
    explicit SnapshotJsonReader(QStringView text) : m_p(text.data()), m_end(text.data() + text.size()) {}

    bool ok = true;

    bool AtEnd() {
        SkipSpace();
        return m_p >= m_end;
    }
    bool Take(char16_t c) {
        SkipSpace();
        if (m_p < m_end && m_p->unicode() == c) {
            ++m_p;
            return true;
        }
        return false;
    }
    bool Expect(char16_t c) {
        if (Take(c)) return true;
        ok = false;
        return false;
    }

    // A string value; a value of another kind (a page that made a property an object) is
    // skipped and reads as empty, costing that value only.
    QString Text() {
        SkipSpace();
        if (m_p < m_end && m_p->unicode() != u'"') {
            SkipValue();
            return {};
        }
        return String();
    }

    // A member's name: a view of the text itself unless it holds escapes (names are read
    // for every member of every element).
    QStringView Key() {
        SkipSpace();
        if (m_p < m_end && m_p->unicode() == u'"') {
            const QChar* start = m_p + 1;
            const QChar* p = start;
            while (p < m_end && p->unicode() != u'"' && p->unicode() != u'\\')
                ++p;
            if (p < m_end && p->unicode() == u'"') {
                m_p = p + 1;
                return QStringView(start, p - start);
            }
        }
        m_key = String();
        return m_key;
    }

    QString String() {
        if (!Expect(u'"')) return {};
        const QChar* start = m_p;
        while (m_p < m_end && m_p->unicode() != u'"' && m_p->unicode() != u'\\')
            ++m_p;
        if (m_p < m_end && m_p->unicode() == u'"') {
            QString out(start, m_p - start);
            ++m_p;
            return out;
        }
        QString out(start, m_p - start);
        while (m_p < m_end) {
            const char16_t c = (m_p++)->unicode();
            if (c == u'"') return out;
            if (c != u'\\') {
                out.append(QChar(c));
                continue;
            }
            if (m_p >= m_end) break;
            const char16_t e = (m_p++)->unicode();
            switch (e) {
            case u'"':
                out.append(QLatin1Char('"'));
                break;
            case u'\\':
                out.append(QLatin1Char('\\'));
                break;
            case u'/':
                out.append(QLatin1Char('/'));
                break;
            case u'b':
                out.append(QLatin1Char('\b'));
                break;
            case u'f':
                out.append(QLatin1Char('\f'));
                break;
            case u'n':
                out.append(QLatin1Char('\n'));
                break;
            case u'r':
                out.append(QLatin1Char('\r'));
                break;
            case u't':
                out.append(QLatin1Char('\t'));
                break;
            case u'u': {
                if (m_end - m_p < 4) return Fail();
                bool hex = false;
                const uint code = QStringView(m_p, 4).toUInt(&hex, 16);
                if (!hex) return Fail();
                out.append(QChar(char16_t(code)));
                m_p += 4;
                break;
            }
            default:
                return Fail();
            }
        }
        return Fail();
    }

    // A number; integers are what the snapshot holds.
    long long Integer() {
        SkipSpace();
        const QChar* start = m_p;
        // Mostly a small whole number: read at once.
        long long small = 0;
        const QChar* p = m_p;
        while (p < m_end && p - start < 15 && p->unicode() >= u'0' && p->unicode() <= u'9')
            small = small * 10 + (p++->unicode() - u'0');
        if (p > start &&
            (p >= m_end || (p->unicode() != u'.' && p->unicode() != u'e' && p->unicode() != u'E' &&
                            !(p->unicode() >= u'0' && p->unicode() <= u'9')))) {
            m_p = p;
            return small;
        }
        if (m_p < m_end && (m_p->unicode() == u'-' || m_p->unicode() == u'+')) ++m_p;
        while (m_p < m_end && (m_p->isDigit() || m_p->unicode() == u'.' || m_p->unicode() == u'e' ||
                               m_p->unicode() == u'E' || m_p->unicode() == u'-' || m_p->unicode() == u'+'))
            ++m_p;
        bool number = false;
        const double value = QStringView(start, m_p - start).toDouble(&number);
        if (!number) {
            ok = false;
            return 0;
        }
        return value >= -1e15 && value <= 1e15 ? static_cast<long long>(value) : 0;
    }
    int Int() {
        const long long v = Integer();
        return v >= INT_MIN && v <= INT_MAX ? int(v) : -1;
    }

    QList<int> IntArray() {
        QList<int> out;
        Array([&] { out.append(Int()); });
        return out;
    }

    // Calls `member(key)` for each member; it reads (or skips) the value.
    template <typename F> void Object(F&& member) {
        if (!Expect(u'{')) return;
        if (Take(u'}')) return;
        while (ok) {
            const QStringView key = Key();
            if (!ok || !Expect(u':')) return;
            member(key);
            if (Take(u',')) continue;
            Expect(u'}');
            return;
        }
    }
    // Calls `item()` for each item; it reads (or skips) it.
    template <typename F> void Array(F&& item) {
        if (!Expect(u'[')) return;
        if (Take(u']')) return;
        while (ok) {
            item();
            if (Take(u',')) continue;
            Expect(u']');
            return;
        }
    }

    bool IsNull() {
        SkipSpace();
        if (m_end - m_p >= 4 && QStringView(m_p, 4) == QLatin1String("null")) {
            m_p += 4;
            return true;
        }
        return false;
    }

    void SkipValue(int depth = 0) {
        SkipSpace();
        if (m_p >= m_end || depth > 64) {
            ok = false;
            return;
        }
        const char16_t c = m_p->unicode();
        if (c == u'{') return Object([&](QStringView) { SkipValue(depth + 1); });
        if (c == u'[') return Array([&] { SkipValue(depth + 1); });
        if (c == u'"') {
            String();
            return;
        }
        if (IsNull()) return;
        for (const char* word : {"true", "false"}) {
            const qsizetype n = qsizetype(qstrlen(word));
            if (m_end - m_p >= n && QStringView(m_p, n) == QLatin1String(word)) {
                m_p += n;
                return;
            }
        }
        Integer();
    }

private:
    void SkipSpace() {
        while (m_p < m_end) {
            const char16_t c = m_p->unicode();
            if (c != u' ' && c != u'\n' && c != u'\r' && c != u'\t') break;
            ++m_p;
        }
    }
    QString Fail() {
        ok = false;
        return {};
    }

    const QChar* m_p;
    const QChar* m_end;
    QString m_key;
};
