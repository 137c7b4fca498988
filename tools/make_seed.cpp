// Builds the seed database: the schema, the initial settings rows and the
// stock vocabulary. Writes to a temporary file first so that a failed run
// never leaves half a database behind.
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <sqlite3.h>

static int fail(const QString& message)
{
    std::fprintf(stderr, "make_seed: %s\n", qPrintable(message));
    return 1;
}

static QString trimmedRight(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return fail(QStringLiteral("usage: make_seed schema.sql vocabulary.tsv out.mdb"));

    QFile schemaFile(args[1]);
    if (!schemaFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read ") + args[1]);
    const QByteArray schema = schemaFile.readAll();

    QFile vocabulary(args[2]);
    if (!vocabulary.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read ") + args[2]);

    const QString out = args[3];
    const QString temp = out + QStringLiteral(".tmp");
    QFile::remove(temp);

    sqlite3* db = nullptr;
    if (sqlite3_open(temp.toUtf8().constData(), &db) != SQLITE_OK)
        return fail(QString::fromUtf8(sqlite3_errmsg(db)));
    char* error = nullptr;
    auto run = [&](const char* sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const QString text = QString::fromUtf8(error);
            sqlite3_free(error);
            throw text;
        }
    };

    try {
        run("begin");
        run(schema.constData());
        sqlite3_stmt* insert = nullptr;
        if (sqlite3_prepare_v2(
                db, "insert into foxcjdc (超级单词, 关键字, 中文, 英文) values (?, ?, ?, ?)", -1,
                &insert, nullptr) != SQLITE_OK)
            throw QString::fromUtf8(sqlite3_errmsg(db));
        QTextStream in(&vocabulary);
        in.setEncoding(QStringConverter::Utf8);
        int lineNo = 0;
        int rows = 0;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            if (++lineNo == 1 || line.trimmed().isEmpty()) continue; // header
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f.size() != 3)
                throw QStringLiteral("vocabulary line %1 has %2 fields").arg(lineNo).arg(f.size());
            const QString english = f[0], chinese = f[1], keyword = f[2];
            const QByteArray values[] = {(trimmedRight(english) + trimmedRight(chinese)).toUtf8(),
                                         keyword.toUtf8(), chinese.toUtf8(), english.toUtf8()};
            for (int i = 0; i < 4; ++i)
                if (sqlite3_bind_text(insert, i + 1, values[i].constData(), int(values[i].size()),
                                      SQLITE_TRANSIENT) != SQLITE_OK)
                    throw QString::fromUtf8(sqlite3_errmsg(db));
            if (sqlite3_step(insert) != SQLITE_DONE) throw QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_reset(insert);
            ++rows;
        }
        sqlite3_finalize(insert);
        run("commit");
        std::printf("make_seed: %d vocabulary entries\n", rows);
    } catch (const QString& message) {
        sqlite3_close(db);
        QFile::remove(temp);
        return fail(message);
    }
    sqlite3_close(db);
    QFile::remove(out);
    if (!QFile::rename(temp, out)) return fail(QStringLiteral("cannot write ") + out);
    return 0;
}
