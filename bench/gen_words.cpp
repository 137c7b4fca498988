// gen_words DATABASE COUNT
//
// Fills table foxcjdc of DATABASE (a copy of the seed, which holds the stock
// vocabulary) up to COUNT entries, as the window's Add stores them. New
// entries pair stock words into phrases ("apple tree" 苹果 树); every 50th is
// a short English text of a few hundred characters. The same COUNT gives the
// same table.

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::string english, chinese, keyword;
};

std::string column(sqlite3_stmt* statement, int i)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
    return text ? text : "";
}

bool check(int rc, sqlite3* db, const char* what)
{
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return true;
    std::fprintf(stderr, "gen_words: %s: %s\n", what, sqlite3_errmsg(db));
    return false;
}

std::string trimmedRight(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_words DATABASE COUNT\n");
        return 2;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    sqlite3* db = nullptr;
    if (!check(sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr), db, "open")) return 1;

    std::vector<Entry> stock;
    sqlite3_stmt* read = nullptr;
    check(sqlite3_prepare_v2(db, "select 英文, 中文, 关键字 from foxcjdc where 英文 is not null",
                             -1, &read, nullptr),
          db, "read the stock");
    while (sqlite3_step(read) == SQLITE_ROW)
        stock.push_back({column(read, 0), column(read, 1), column(read, 2)});
    sqlite3_finalize(read);
    if (stock.empty()) {
        std::fprintf(stderr, "gen_words: the database holds no stock vocabulary\n");
        return 1;
    }

    sqlite3_stmt* counter = nullptr;
    sqlite3_prepare_v2(db, "select count(*) from foxcjdc", -1, &counter, nullptr);
    sqlite3_step(counter);
    long have = sqlite3_column_int64(counter, 0);
    sqlite3_finalize(counter);

    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    if (!check(sqlite3_prepare_v2(db,
                                  "insert into foxcjdc (超级单词, 关键字, 中文, 英文) "
                                  "values (?, ?, ?, ?)",
                                  -1, &insert, nullptr),
               db, "prepare"))
        return 1;
    const size_t n = stock.size();
    for (long i = 0; have < count; ++i, ++have) {
        const Entry& a = stock[size_t(i) % n];
        const Entry& b = stock[(size_t(i) * 7919 + 13) % n];
        Entry e{a.english + " " + b.english, a.chinese + "；" + b.chinese, a.keyword};
        if (i % 50 == 49) {
            e.english.clear();
            e.chinese.clear();
            for (size_t k = 0; k < 24; ++k) {
                const Entry& w = stock[(size_t(i) + k * 131) % n];
                e.english += w.english + (k % 8 == 7 ? ". " : " ");
                e.chinese += w.chinese;
            }
            e.keyword = "短文";
        }
        const std::string key = trimmedRight(e.english) + trimmedRight(e.chinese);
        sqlite3_bind_text(insert, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, e.keyword.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, e.chinese.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, e.english.c_str(), -1, SQLITE_TRANSIENT);
        if (!check(sqlite3_step(insert), db, "insert")) return 1;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const bool ok = check(sqlite3_exec(db, "commit", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
    return ok ? 0 : 1;
}
