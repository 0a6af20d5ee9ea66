#include "store/jetimport.h"

#include "store/casedb.h"
#include "store/fileroutines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>

#include <mdbtools.h>
#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace veil {

namespace {

// Row offsets on a data page carry two flags in their top bits. A deleted row
// has both. A row that grew and moved keeps a 4-byte pointer (row number, page)
// in its old place, flagged "moved"; its data, at the new place, is flagged
// like a deleted row but with the "moved" bit clear, so a walk over the pages
// must skip it there and read it through the pointer, in the old place's order.
constexpr int kFlagDeleted = 0x8000;
constexpr int kFlagMoved = 0x4000;
constexpr int kOffsetMask = 0x1fff;
constexpr int kMaxPointerHops = 8;

// Long values are read whole: libmdb cuts a value at its bind size, so it is
// set per value from the stored length. Values beyond this are refused rather
// than cut.
constexpr qint64 kMaxStoredValue = qint64(64) << 20;

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

struct GFree {
    void operator()(void* p) const { g_free(p); }
};
using GText = std::unique_ptr<char, GFree>;

// Numbers and dates are written by us, the same under every locale.
template <class T> QString numberText(T value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

QString moneyText(qint64 v) {
    // Currency is a count of ten-thousandths.
    const bool negative = v < 0;
    const quint64 a = negative ? quint64(0) - quint64(v) : quint64(v);
    QString s = QString::number(a / 10000);
    if (const quint64 frac = a % 10000) {
        QString f = QString::number(frac).rightJustified(4, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return negative ? QLatin1Char('-') + s : s;
}

// A Jet date is days since 30 December 1899; the fraction is the time of day,
// counted forward even for days before that date.
QString dateText(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6) return numberText(days);
    double whole = std::trunc(days);
    qint64 ms = std::llround(std::fabs(days - whole) * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        whole += days < 0 ? -1 : 1;
    }
    const QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
    QString s = QString::asprintf("%04d-%02d-%02d", date.year(), date.month(), date.day());
    if (ms) {
        const qint64 secs = (ms + 500) / 1000;
        s += QString::asprintf(" %02d:%02d:%02d", int(secs / 3600), int(secs / 60 % 60),
                               int(secs % 60));
    }
    return s;
}

QString typeName(int type) {
    switch (type) {
    case MDB_BINARY:
        return QStringLiteral("binary");
    case MDB_OLE:
        return QStringLiteral("OLE object");
    default:
        return QStringLiteral("type %1").arg(type);
    }
}

} // namespace

// ------------------------------------------------------------------- JetFile

struct JetFile::Impl {
    QString path;
    QString shown;
    MdbHandle* mdb = nullptr;

    ~Impl() {
        if (mdb) mdb_close(mdb);
    }

    [[noreturn]] void damaged(const QString& table, const QString& what) const {
        throw DbError(
            QStringLiteral("The old case file %1 cannot be read: the table %2 is damaged (%3).")
                .arg(quoted(shown), quoted(table), what));
    }

    // Text must come out as UTF-8 whatever the environment asks libmdb for
    // (MDBICONV), and Jet 4 text is UTF-16, not just UCS-2.
    void useUtf8() {
        QByteArray source("UTF-16LE");
        if (IS_JET3(mdb))
            source = mdb->f->code_page ? "CP" + QByteArray::number(mdb->f->code_page)
                                       : QByteArray("CP1252");
        iconv_t in = iconv_open("UTF-8", source.constData());
        if (in == iconv_t(-1) && IS_JET3(mdb)) {
            source = "CP1252"; // a code page iconv does not know: the old default
            in = iconv_open("UTF-8", source.constData());
        }
        iconv_t out = iconv_open(source.constData(), "UTF-8");
        if (in == iconv_t(-1) || out == iconv_t(-1)) {
            if (in != iconv_t(-1)) iconv_close(in);
            if (out != iconv_t(-1)) iconv_close(out);
            throw DbError(
                QStringLiteral("The old case file %1 cannot be read: its text encoding (%2) "
                               "cannot be converted on this system.")
                    .arg(quoted(shown), QString::fromLatin1(source)));
        }
        if (mdb->iconv_in != iconv_t(-1)) iconv_close(mdb->iconv_in);
        if (mdb->iconv_out != iconv_t(-1)) iconv_close(mdb->iconv_out);
        mdb->iconv_in = in;
        mdb->iconv_out = out;
    }

    MdbCatalogEntry* entry(const QString& name) const {
        for (unsigned i = 0; i < mdb->num_catalog; ++i) {
            auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (e->object_type == MDB_TABLE && mdb_is_user_table(e) &&
                QString::fromUtf8(e->object_name).compare(name, Qt::CaseInsensitive) == 0)
                return e;
        }
        throw DbError(QStringLiteral("The old case file %1 has no table %2.")
                          .arg(quoted(shown), quoted(name)));
    }

    // A table definition with its columns read; freed with the holder.
    struct Table {
        MdbTableDef* def = nullptr;
        ~Table() {
            if (def) mdb_free_tabledef(def);
        }
        MdbColumn* column(unsigned i) const {
            return static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i));
        }
    };

    void open(Table& t, const QString& name) const {
        MdbCatalogEntry* e = entry(name);
        t.def = mdb_read_table(e);
        if (!t.def || !mdb_read_columns(t.def))
            damaged(name, QStringLiteral("its definition cannot be read"));
    }

    // libmdb converts what it finds of a long value kept on other pages and
    // stops quietly where a page is missing, so the chain is followed first:
    // it must hold all the bytes the value says it has.
    bool longValueWhole(int at, qint64 stored) const {
        const quint32 head = quint32(mdb_get_int32(mdb->pg_buf, at));
        if (head & 0x80000000u) return true; // kept in the record itself
        int pgRow = int(mdb_get_int32(mdb->pg_buf, at + 4));
        const bool onePage = head & 0x40000000u;
        qint64 found = 0;
        for (int hop = 0; pgRow != 0; ++hop) {
            void* buf = nullptr;
            int off = 0;
            size_t len = 0;
            if (hop > stored / 8 + 1 || mdb_find_pg_row(mdb, pgRow, &buf, &off, &len) != 0 ||
                off < 0 || qint64(off) + qint64(len) > qint64(mdb->fmt->pg_size) ||
                (!onePage && len < 4))
                return false;
            // A page that is not a long-value page (a zeroed one, say) passes
            // libmdb's row check as one row filling the page.
            const auto* page = static_cast<const unsigned char*>(buf);
            if (page[0] != 0x01 || std::memcmp(page + 4, "LVAL", 4) != 0) return false;
            if (onePage) return qint64(len) >= stored;
            pgRow = int(mdb_get_int32(buf, off));
            found += qint64(len) - 4;
        }
        return found >= stored;
    }

    QString text(const MdbField& f, int type, const QString& table, const MdbColumn* col) const {
        qint64 stored = f.siz;
        if (type == MDB_MEMO) {
            if (f.siz < MDB_MEMO_OVERHEAD) return {};
            stored = quint32(mdb_get_int32(mdb->pg_buf, f.start)) & 0x3fffffff;
        }
        if (stored == 0) return {};
        if (type == MDB_MEMO && !longValueWhole(f.start, stored))
            damaged(table, QStringLiteral("a long value of the field %1 cannot be read whole")
                               .arg(quoted(QString::fromUtf8(col->name))));
        if (stored > kMaxStoredValue)
            damaged(table, QStringLiteral("the field %1 holds a value of %2 bytes")
                               .arg(quoted(QString::fromUtf8(col->name)))
                               .arg(stored));
        // UTF-16 takes at most 3 UTF-8 bytes per 2 stored bytes, compressed
        // text at most 2 per stored byte; room for that and the terminator.
        const size_t room = size_t(stored) * 4 + 16;
        mdb_set_bind_size(mdb, room);
        GText s(mdb_col_to_string(mdb, mdb->pg_buf, f.start, type, f.siz));
        const size_t len = s ? std::strlen(s.get()) : 0;
        // A value that has bytes never reads as nothing; libmdb gives empty
        // text when the pages of a long value cannot be read.
        if (len == 0)
            damaged(table, QStringLiteral("a value of the field %1 cannot be read")
                               .arg(quoted(QString::fromUtf8(col->name))));
        if (len + 1 >= room)
            damaged(table, QStringLiteral("a value of the field %1 could not be read whole")
                               .arg(quoted(QString::fromUtf8(col->name))));
        return QString::fromUtf8(s.get(), qsizetype(len));
    }

    std::optional<QString> value(const MdbField& f, const MdbColumn* col,
                                 const QString& table) const {
        // A yes/no value lives in the null mask: "null" there means no.
        if (col->col_type == MDB_BOOL) return f.is_null ? QStringLiteral("0") : QStringLiteral("1");
        if (f.is_null) return std::nullopt;
        const auto* p = mdb->pg_buf + f.start;
        auto needs = [&](int bytes) {
            if (f.siz < bytes || f.start + bytes > int(sizeof mdb->pg_buf))
                damaged(table, QStringLiteral("a value of the field %1 is cut short")
                                   .arg(quoted(QString::fromUtf8(col->name))));
        };
        switch (col->col_type) {
        case MDB_TEXT:
        case MDB_MEMO:
            return text(f, col->col_type, table, col);
        case MDB_BYTE:
            needs(1);
            return QString::number(p[0]);
        case MDB_INT:
            needs(2);
            return QString::number(qFromLittleEndian<qint16>(p));
        case MDB_LONGINT:
            needs(4);
            return QString::number(qFromLittleEndian<qint32>(p));
        case MDB_MONEY:
            needs(8);
            return moneyText(qFromLittleEndian<qint64>(p));
        case MDB_FLOAT:
            needs(4);
            return numberText(qFromLittleEndian<float>(p));
        case MDB_DOUBLE:
            needs(8);
            return numberText(qFromLittleEndian<double>(p));
        case MDB_DATETIME:
            needs(8);
            return dateText(qFromLittleEndian<double>(p));
        case MDB_REPID: {
            needs(16);
            GText s(mdb_uuid_to_string(mdb->pg_buf, f.start));
            return QString::fromLatin1(s.get());
        }
        case MDB_NUMERIC: {
            needs(17);
            GText s(mdb_numeric_to_string(mdb, f.start, col->col_scale, col->col_prec));
            return QString::fromLatin1(s.get());
        }
        default:
            throw DbError(
                QStringLiteral(
                    "The old case file %1 cannot be imported: the field %2 of the table %3 "
                    "holds %4 data, not text.")
                    .arg(quoted(shown), quoted(QString::fromUtf8(col->name)), quoted(table),
                         typeName(col->col_type)));
        }
    }

    // The row at `start` on the page in pg_buf, for the columns in `wanted`.
    QList<std::optional<QString>> row(const Table& t, int start, size_t len,
                                      const QList<unsigned>& wanted, const QString& table) const {
        std::vector<MdbField> fields(t.def->num_cols + 1);
        const int n = mdb_crack_row(t.def, start, len, fields.data());
        if (n < int(t.def->num_cols)) damaged(table, QStringLiteral("a record cannot be decoded"));
        QList<std::optional<QString>> out;
        out.reserve(wanted.size());
        for (unsigned c : wanted) {
            const MdbField* f = nullptr;
            for (unsigned i = 0; i < t.def->num_cols; ++i)
                if (unsigned(fields[i].colnum) == c) {
                    f = &fields[i];
                    break;
                }
            if (!f) damaged(table, QStringLiteral("a record lacks a field"));
            out << value(*f, t.column(c), table);
        }
        return out;
    }

    int rowsOnPage() const { return mdb_get_int16(mdb->pg_buf, mdb->fmt->row_count_offset); }

    bool pageOf(const Table& t, guint32 page) const {
        return mdb_read_pg(mdb, page) > 0 && mdb->pg_buf[0] == 0x01 &&
               guint32(mdb_get_int32(mdb->pg_buf, 4)) == guint32(t.def->entry->table_pg);
    }
};

JetFile::JetFile(const QString& path) : d(std::make_unique<Impl>()) {
    d->path = path;
    d->shown = QFileInfo(path).absoluteFilePath();
    if (fileKind(path) != FileKind::Jet)
        throw DbError(
            QStringLiteral("The file %1 is not a Microsoft Jet database.").arg(quoted(d->shown)));
    const QByteArray name = QFile::encodeName(path);
    d->mdb = mdb_open(name.constData(), MDB_NOFLAGS);
    if (!d->mdb)
        throw DbError(QStringLiteral("The old case file %1 cannot be opened as a Jet database.")
                          .arg(quoted(d->shown)));
    if (d->mdb->f->jet_version != MDB_VER_JET3 && d->mdb->f->jet_version != MDB_VER_JET4)
        throw DbError(
            QStringLiteral("The file %1 is a newer Access database, not a case file of the older "
                           "Windows version.")
                .arg(quoted(d->shown)));
    d->useUtf8();
    if (!mdb_read_catalog(d->mdb, MDB_TABLE))
        throw DbError(
            QStringLiteral("The old case file %1 cannot be read: its list of tables is damaged.")
                .arg(quoted(d->shown)));
}

JetFile::~JetFile() = default;

const QString& JetFile::path() const {
    return d->path;
}

QStringList JetFile::tableNames() const {
    QStringList names;
    for (unsigned i = 0; i < d->mdb->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(d->mdb->catalog, i));
        if (e->object_type == MDB_TABLE && mdb_is_user_table(e))
            names << QString::fromUtf8(e->object_name);
    }
    return names;
}

QString JetFile::findTable(const QString& name) const {
    for (const QString& t : tableNames())
        if (t.compare(name, Qt::CaseInsensitive) == 0) return t;
    return {};
}

QStringList JetFile::columns(const QString& table) const {
    Impl::Table t;
    d->open(t, table);
    QStringList names;
    for (unsigned i = 0; i < t.def->num_cols; ++i)
        names << QString::fromUtf8(t.column(i)->name);
    return names;
}

JetTable JetFile::read(const QString& table, const QStringList& columns) const {
    Impl::Table t;
    d->open(t, table);
    MdbHandle* mdb = d->mdb;
    JetTable out;
    out.name = QString::fromUtf8(t.def->name);

    QList<unsigned> wanted;
    bool hasAutoNumber = false;
    for (unsigned i = 0; i < t.def->num_cols; ++i)
        hasAutoNumber = hasAutoNumber || t.column(i)->is_long_auto;
    if (columns.isEmpty()) {
        for (unsigned i = 0; i < t.def->num_cols; ++i) {
            wanted << i;
            out.columns << QString::fromUtf8(t.column(i)->name);
        }
    } else {
        for (const QString& c : columns) {
            unsigned i = 0;
            while (i < t.def->num_cols &&
                   QString::fromUtf8(t.column(i)->name).compare(c, Qt::CaseInsensitive) != 0)
                ++i;
            if (i == t.def->num_cols)
                throw DbError(
                    QStringLiteral("The old case file %1 has no field %2 in the table %3.")
                        .arg(quoted(d->shown), quoted(c), quoted(out.name)));
            wanted << i;
            out.columns << QString::fromUtf8(t.column(i)->name);
        }
    }

    // The table definition page holds the auto number counter.
    if (hasAutoNumber && mdb_read_pg(mdb, t.def->entry->table_pg) > 0) {
        const qint64 counter = mdb_get_int32(mdb->pg_buf, IS_JET3(mdb) ? 16 : 20);
        if (counter > 0 && counter < 0x7fffffff) out.autoNumberCounter = counter;
    }

    mdb_rewind_table(t.def);
    while (mdb_read_next_dpg(t.def)) {
        const guint32 page = t.def->cur_phys_pg;
        const int count = d->rowsOnPage();
        for (int r = 0; r < count; ++r) {
            int start = 0;
            size_t len = 0;
            if (mdb_find_row(mdb, r, &start, &len) != 0)
                d->damaged(out.name, QStringLiteral("a record lies outside its page"));
            if (start & kFlagDeleted) continue;
            if (!(start & kFlagMoved)) {
                out.rows << d->row(t, start & kOffsetMask, len, wanted, out.name);
                continue;
            }
            // Moved: follow the pointer (perhaps more than once) to the data.
            int at = start & kOffsetMask;
            for (int hop = 0;; ++hop) {
                if (hop == kMaxPointerHops || at + 4 > int(mdb->fmt->pg_size))
                    d->damaged(out.name, QStringLiteral("a moved record cannot be found"));
                const int row = mdb->pg_buf[at];
                const guint32 target =
                    mdb->pg_buf[at + 1] | (mdb->pg_buf[at + 2] << 8) | (mdb->pg_buf[at + 3] << 16);
                if (!d->pageOf(t, target) || row >= d->rowsOnPage() ||
                    mdb_find_row(mdb, row, &start, &len) != 0)
                    d->damaged(out.name, QStringLiteral("a moved record cannot be found"));
                at = start & kOffsetMask;
                if ((start & (kFlagDeleted | kFlagMoved)) == kFlagMoved) continue;
                if ((start & (kFlagDeleted | kFlagMoved)) == (kFlagDeleted | kFlagMoved))
                    d->damaged(out.name, QStringLiteral("a moved record points to a deleted one"));
                out.rows << d->row(t, at, len, wanted, out.name);
                break;
            }
            if (!d->pageOf(t, page))
                d->damaged(out.name, QStringLiteral("a data page cannot be read again"));
        }
    }
    // The walk skips pages it cannot read or that belong elsewhere, so only
    // the table's own count shows that records were lost.
    if (qint64(out.rows.size()) != qint64(t.def->num_rows))
        d->damaged(out.name, QStringLiteral("it holds %1 records, but %2 could be read")
                                 .arg(t.def->num_rows)
                                 .arg(out.rows.size()));
    return out;
}

// -------------------------------------------------------------------- Import

namespace {

QString sqliteError(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

class Sqlite {
  public:
    explicit Sqlite(const QString& path) {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            fail(QStringLiteral("opening"));
        exec("PRAGMA journal_mode=DELETE");
        exec("PRAGMA synchronous=FULL");
    }
    ~Sqlite() {
        if (m_db) sqlite3_close_v2(m_db);
    }
    sqlite3* handle() const { return m_db; }
    void exec(const QString& sql) {
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(QStringLiteral("writing"));
    }
    void exec(const char* sql) { exec(QString::fromLatin1(sql)); }
    [[noreturn]] void fail(const QString& doing) const {
        throw DbError(QStringLiteral("The new case database failed while %1: %2")
                          .arg(doing, m_db ? sqliteError(m_db) : QStringLiteral("out of memory")));
    }

  private:
    sqlite3* m_db = nullptr;
};

QString q(const QString& ident) {
    return QLatin1Char('"') + ident + QLatin1Char('"');
}

// Everything the six tables need, checked before anything is written, so one
// message names all that is missing.
void checkSchema(const JetFile& jet, const QString& shown) {
    QStringList missing;
    for (const TableDef& t : caseTables()) {
        const QString name = jet.findTable(t.name);
        if (name.isEmpty()) {
            missing << QStringLiteral("the table %1 is missing").arg(quoted(t.name));
            continue;
        }
        const QStringList have = jet.columns(name);
        for (const QString& f : t.fields)
            if (!have.contains(f, Qt::CaseInsensitive))
                missing << QStringLiteral("the table %1 has no field %2")
                               .arg(quoted(t.name), quoted(f));
    }
    if (!missing.isEmpty())
        throw DbError(QStringLiteral("The old case file %1 cannot be imported: %2.")
                          .arg(quoted(shown), missing.join(QLatin1String("; "))));
}

int copyTable(const JetFile& jet, Sqlite& db, const TableDef& def) {
    const JetTable t = jet.read(jet.findTable(def.name), def.fields);
    QStringList cols, marks;
    for (int i = 0; i < def.fields.size(); ++i) {
        cols << q(def.fields[i]);
        marks << QStringLiteral("?%1").arg(i + 1);
    }
    const QByteArray sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(q(def.name), cols.join(QLatin1String(", ")), marks.join(QLatin1String(", ")))
            .toUtf8();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql.constData(), -1, &st, nullptr) != SQLITE_OK)
        db.fail(QStringLiteral("preparing the table %1").arg(quoted(def.name)));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(st, sqlite3_finalize);

    const QString shown = QFileInfo(jet.path()).absoluteFilePath();
    QSet<qint64> ids;
    qint64 highest = 0;
    for (const auto& row : t.rows) {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        for (int i = 0; i < row.size(); ++i) {
            if (def.autoNumber && i == 0) {
                bool ok = false;
                const qint64 id = row[0] ? row[0]->toLongLong(&ok) : 0;
                if (!ok || id <= 0)
                    throw DbError(
                        QStringLiteral(
                            "The old case file %1 cannot be imported: a record of the table %2 "
                            "has the ID \"%3\", which is not a record number.")
                            .arg(quoted(shown), quoted(def.name), row[0].value_or(QString())));
                if (ids.contains(id))
                    throw DbError(
                        QStringLiteral(
                            "The old case file %1 cannot be imported: the table %2 holds the ID "
                            "%3 twice.")
                            .arg(quoted(shown), quoted(def.name))
                            .arg(id));
                ids.insert(id);
                highest = std::max(highest, id);
                sqlite3_bind_int64(st, 1, id);
                continue;
            }
            if (!row[i]) {
                sqlite3_bind_null(st, i + 1);
                continue;
            }
            const QByteArray v = row[i]->toUtf8();
            sqlite3_bind_text(st, i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        if (sqlite3_step(st) != SQLITE_DONE)
            db.fail(QStringLiteral("storing a record of the table %1").arg(quoted(def.name)));
    }

    if (def.autoNumber) {
        // The next number goes above every imported one and above the old
        // file's own counter, so no number it ever gave out comes back.
        const qint64 seq = std::max(highest, t.autoNumberCounter);
        db.exec(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = '%1'").arg(def.name));
        if (seq > 0)
            db.exec(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES ('%1', %2)")
                        .arg(def.name)
                        .arg(seq));
    }
    return int(t.rows.size());
}

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

} // namespace

QString keptJetPath(const QString& jetPath) {
    const QFileInfo info(jetPath);
    const QString base =
        info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() || info.completeBaseName().isEmpty()
                               ? QString()
                               : QLatin1Char('.') + info.suffix();
    for (int n = 1;; ++n) {
        const QString label = n == 1 ? QStringLiteral("Windows version")
                                     : QStringLiteral("Windows version %1").arg(n);
        const QString candidate =
            info.dir().filePath(QStringLiteral("%1 (%2)%3").arg(base, label, suffix));
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink()) return candidate;
    }
}

ImportResult importJet(const QString& jetPath, const QString& cleanDbPath, const QString& outPath) {
    ImportResult result;
    const QString shown = QFileInfo(jetPath).absoluteFilePath();
    try {
        const QString cleanProblem = Connection::problemWith(cleanDbPath);
        if (!cleanProblem.isEmpty())
            throw DbError(
                QStringLiteral("The old case file cannot be imported without a clean database: %1")
                    .arg(cleanProblem));
        if (QFileInfo(outPath).isDir())
            throw DbError(
                QStringLiteral(
                    "The case database %1 cannot be written: a folder of that name is in the way.")
                    .arg(quoted(QFileInfo(outPath).absoluteFilePath())));

        JetFile jet(jetPath);
        checkSchema(jet, shown);

        // The new database is built beside its place and only renamed into it whole.
        ScratchFile work(outPath);
        if (!work.isValid())
            throw DbError(
                QStringLiteral("No room for the new case database: %1").arg(work.errorString()));
        const QString built = work.path();
        QString error;
        if (!copyFileAtomically(cleanDbPath, built, &error))
            throw DbError(QStringLiteral("The clean database %1 cannot be copied: %2")
                              .arg(quoted(cleanDbPath), error));
        {
            Sqlite db(built);
            db.exec("BEGIN");
            for (const TableDef& t : caseTables())
                db.exec(QStringLiteral("DELETE FROM %1").arg(q(t.name)));
            db.exec("DELETE FROM sqlite_sequence");
            for (const TableDef& t : caseTables())
                result.records.append({t.name, copyTable(jet, db, t)});
            db.exec("COMMIT");
        }
        // Read back what was written before anything is replaced.
        {
            auto check = Connection::openFile(built);
            for (const auto& [table, n] : result.records)
                if (check->count(table) != n)
                    throw DbError(
                        QStringLiteral("The new case database lost records of the table %1.")
                            .arg(quoted(table)));
        }

        const bool inPlace = sameFile(jetPath, outPath);
        if (inPlace) {
            // The old file keeps its bytes under a new name: a second link to
            // it where the file system allows one, a copy otherwise.
            const QString kept = keptJetPath(jetPath);
            const QByteArray from = QFile::encodeName(QFileInfo(jetPath).absoluteFilePath());
            const QByteArray to = QFile::encodeName(kept);
            if (::link(from.constData(), to.constData()) != 0 &&
                !copyFileAtomically(jetPath, kept, &error))
                throw DbError(QStringLiteral("The old case file cannot be kept as %1: %2")
                                  .arg(quoted(kept), error));
            result.keptAs = kept;
        }
        if (!work.moveTo(outPath, &error)) {
            if (inPlace) QFile::remove(result.keptAs); // the old file is still in its place
            result.keptAs.clear();
            throw DbError(QStringLiteral("The case database %1 cannot be written: %2")
                              .arg(quoted(QFileInfo(outPath).absoluteFilePath()), error));
        }
        result.ok = true;
    } catch (const DbError& e) {
        result.ok = false;
        result.error = e.text() + QStringLiteral(" Nothing was changed.");
        result.records.clear();
    }
    return result;
}

} // namespace veil
