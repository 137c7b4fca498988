// gen_books DATABASE COUNT CATEGORIES [SEED]
//
// Appends COUNT entries spread over CATEGORIES categories to each of the two
// category books of DATABASE (a copy of the seed): file links to wblb and
// named entries (QQ numbers, addresses, telephone numbers, books...) to qqzx.
// Every entry has a Chinese description and most have a keyword. The same
// seed gives the same books.

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

const char* const kTopics[] = {"工作", "学习", "家庭", "旅行", "财务", "健康", "音乐",
                               "电影", "图书", "软件", "照片", "课件", "合同", "朋友"};
const char* const kWords[] = {
    "年度总结报告",   "项目进度安排", "英语听力练习", "孩子的期末成绩", "家庭旅行照片",
    "常用办公软件",   "会议记录整理", "合同扫描件",   "医院体检结果",   "房屋装修预算",
    "老歌精选",       "经典电影收藏", "数学课件",     "银行对账单",     "朋友通讯方式",
    "驾驶证年审材料", "读书笔记",     "网上课程资料", "手机备份",       "单位通知",
};
const char* const kExtensions[] = {".doc", ".xls", ".pdf", ".jpg", ".mp3", ".ppt", ".exe", ".txt"};
const char* const kKinds[] = {"QQ号码", "电子邮件", "电话号码", "图书", "光盘", "杂志"};

void check(int status, sqlite3* db, const char* what)
{
    if (status != SQLITE_OK && status != SQLITE_DONE) {
        std::fprintf(stderr, "gen_books: %s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

void bind(sqlite3_stmt* statement, int slot, const std::string& value)
{
    sqlite3* db = sqlite3_db_handle(statement);
    if (value.empty())
        check(sqlite3_bind_null(statement, slot), db, "bind");
    else
        check(sqlite3_bind_text(statement, slot, value.data(), int(value.size()), SQLITE_TRANSIENT),
              db, "bind");
}

std::string category(long number)
{
    return std::string(kTopics[number % std::size(kTopics)]) + "类" + std::to_string(number + 1);
}

struct Entry {
    std::string name, description, category, keyword;
};

Entry makeEntry(bool file, long i, long categories, std::mt19937& random)
{
    auto pick = [&random](auto& list) { return list[random() % std::size(list)]; };
    Entry e;
    const long c = long(random() % unsigned(categories));
    e.category = category(c);
    const std::string word = pick(kWords);
    e.description = word + "，" + pick(kWords) + "（第" + std::to_string(i + 1) + "份）";
    if (random() % 4 != 0) e.keyword = word.substr(0, 6); // two Chinese characters
    if (file) {
        e.name = "/home/用户/文档/" + e.category + "/" + word + std::to_string(i + 1) +
                 pick(kExtensions);
    } else {
        const std::string kind = pick(kKinds);
        e.name = kind + " " + std::to_string(10000000 + random() % 90000000);
    }
    return e;
}

void fill(sqlite3* db, const char* table, bool files, long count, long categories, unsigned seed)
{
    const std::string sql =
        std::string("insert into ") + table + " (外部, 说明, 分类, 关键字) values (?,?,?,?)";
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr), db, "prepare");
    std::mt19937 random(seed);
    for (long i = 0; i < count; ++i) {
        // The first entries name every category once, so all of them exist.
        Entry e = makeEntry(files, i, categories, random);
        if (i < categories) e.category = category(i);
        bind(insert, 1, e.name);
        bind(insert, 2, e.description);
        bind(insert, 3, e.category);
        bind(insert, 4, e.keyword);
        check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: gen_books DATABASE COUNT CATEGORIES [SEED]\n");
        return 2;
    }
    const long count = std::atol(argv[2]);
    const long categories = std::atol(argv[3]);
    const unsigned seed = argc > 4 ? unsigned(std::atol(argv[4])) : 20261206u;
    if (count < 0 || categories < 1) {
        std::fprintf(stderr, "gen_books: COUNT must be >= 0 and CATEGORIES >= 1\n");
        return 2;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "gen_books: cannot open %s: %s\n", argv[1], sqlite3_errmsg(db));
        return 1;
    }
    check(sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr), db,
          "begin");
    fill(db, "wblb", true, count, categories, seed);
    fill(db, "qqzx", false, count, categories, seed + 1);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
    return 0;
}
