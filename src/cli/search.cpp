// Full-text search over the case file.
#include "cli/cli.h"

#include "store/casedb.h"
#include "store/searchindex.h"

#include <QFileInfo>

namespace veil::cli {

int searchCommand(Context& c, const QStringList& arguments) {
    QStringList words = arguments;
    int limit = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] != QLatin1String("--limit"))
            continue;
        bool ok = false;
        limit = words.value(i + 1).toInt(&ok);
        if (!ok || limit < 1)
            return c.fail(QStringLiteral("--limit needs a number above 0."));
        words.remove(i, 2);
        break;
    }
    if (words.isEmpty())
        return c.fail(QStringLiteral("search needs a QUERY (see veilcase-cli --help)."));
    if (!QFileInfo::exists(c.database()))
        return c.fail(QStringLiteral("\"%1\" does not exist.").arg(c.database()));
    try {
        auto db = Connection::openFile(c.database());
        const SearchResult r = firstHits(*db, words.join(QLatin1Char(' ')), limit, limit); // no counts printed
        if (!r.error.isEmpty())
            return c.fail(r.error);
        QList<SearchHit> hits = bestFirst(r.hits);
        if (limit > 0 && hits.size() > limit)
            hits.resize(limit);
        for (const SearchHit& h : hits)
            c.out << kindName(h.kind) << '\t' << QString(h.key).replace(QLatin1Char('\t'), QLatin1Char(' ')) << '\t'
                  << h.field << '\t' << markSnippet(h.snippet, QStringLiteral("["), QStringLiteral("]")) << '\n';
        c.out.flush();
        return hits.isEmpty() ? kNo : kOk;
    } catch (const DbError& e) {
        return c.fail(e.text());
    }
}

} // namespace veil::cli
